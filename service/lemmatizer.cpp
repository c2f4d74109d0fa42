#include "service/lemmatizer.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char16_t SmallYo = 0x0451;
constexpr char16_t SmallYe = 0x0435;

template <bool Fold>
std::uint64_t hashOf(QStringView word)
{
    std::uint64_t h = 14695981039346656037ull;
    for (QChar c : word) {
        char16_t unit = c.unicode();
        if (Fold && unit == SmallYo)
            unit = SmallYe;
        h = (h ^ unit) * 1099511628211ull;
    }
    // The multiplications only carry low bits upwards, and the tables index by the low bits: mix
    // the high ones back down, or Cyrillic words crowd into few slots.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return h;
}

bool equalFolded(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode() == SmallYo ? SmallYe : a[i].unicode();
        const char16_t y = b[i].unicode() == SmallYo ? SmallYe : b[i].unicode();
        if (x != y)
            return false;
    }
    return true;
}

// Width in UTF-16 units of the letter at i, or 0: letters outside the BMP come as pairs.
qsizetype letterWidth(QStringView text, qsizetype i)
{
    // ASCII and the Russian alphabet answer without a table.
    const char16_t unit = text[i].unicode();
    if (unit < 0x80)
        return (unit | 0x20) >= u'a' && (unit | 0x20) <= u'z' ? 1 : 0;
    if ((unit >= 0x0410 && unit <= 0x044f) || unit == 0x0401 || unit == 0x0451)
        return 1;
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::isLetter(QChar::surrogateToUcs4(c, text[i + 1])) ? 2 : 0;
    return c.isLetter() ? 1 : 0;
}

bool isHyphen(QChar c)
{
    return c == u'-' || c == QChar(0x2010);
}

// Where the word that starts with a letter at start ends. Combining marks (a stress mark, a
// decomposed breve) belong to the word they follow; a hyphen only between two letters.
qsizetype wordEnd(QStringView text, qsizetype start)
{
    qsizetype j = start;
    while (j < text.size()) {
        if (const qsizetype width = letterWidth(text, j)) {
            j += width;
        } else if (text[j].category() == QChar::Mark_NonSpacing) {
            ++j;
        } else if (isHyphen(text[j]) && j + 1 < text.size() && letterWidth(text, j + 1) > 0) {
            ++j;
        } else {
            break;
        }
    }
    return j;
}

// Appends word to keys in lower case when it is all ASCII or Russian letters and hyphens, the
// common case, which needs no tables and is its own key; else leaves keys as it was.
bool appendPlainLower(QStringView word, std::vector<char16_t> &keys)
{
    const std::size_t before = keys.size();
    for (const QChar c : word) {
        char16_t unit = c.unicode();
        if ((unit >= u'A' && unit <= u'Z') || (unit >= 0x0410 && unit <= 0x042f)) {
            unit += 0x20;
        } else if (unit == 0x0401) {
            unit = SmallYo;
        } else if (!((unit >= u'a' && unit <= u'z') || (unit >= 0x0430 && unit <= 0x044f)
                     || unit == SmallYo || unit == u'-' || unit == 0x2010)) {
            keys.resize(before);
            return false;
        }
        keys.push_back(unit);
    }
    return true;
}

// The dictionary key of a lower-cased word: composed, without leftover marks (stress).
QString keyOf(const QString &lower)
{
    const bool hasMark = std::any_of(lower.cbegin(), lower.cend(), [](QChar c) {
        return c.category() == QChar::Mark_NonSpacing;
    });
    if (!hasMark)
        return lower;
    QString key = lower.normalized(QString::NormalizationForm_C);
    key.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return key;
}

std::size_t capacityFor(std::size_t count)
{
    std::size_t capacity = 16;
    while (capacity < count * 2)
        capacity *= 2;
    return capacity;
}

inline void prefetch(const void *address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

constexpr std::uint32_t NoEntry = 0xffffffffu;

// The forms while the table is read: each distinct form once, in the order of its lowest row id.
class FormCollector
{
public:
    struct Entry
    {
        std::uint32_t start;  // into chars
        std::uint32_t length;
        std::uint32_t initial;  // index of the entry of the initial form
        std::uint64_t hash;
    };

    FormCollector() { rehash(1 << 16); }

    QStringView text(const Entry &entry) const
    {
        return QStringView(chars).sliced(entry.start, entry.length);
    }

    // Starts fetching the index slot where a word of that hash goes.
    void prefetchSlot(std::uint64_t hash) const
    {
        prefetch(m_index.data() + (hash & (m_index.size() - 1)));
    }

    // The entry of word, whose hashOf<false> is hash, added when it is new. The index keeps
    // half of each hash beside the entry, so that a new word, the common case, is placed
    // without reading other words.
    std::uint32_t insert(QStringView word, std::uint64_t hash)
    {
        if ((entries.size() + 1) * 2 > m_index.size())
            rehash(m_index.size() * 2);
        const auto check = std::uint32_t(hash >> 32);
        const std::size_t mask = m_index.size() - 1;
        std::size_t slot = hash & mask;
        for (; m_index[slot].entry != NoEntry; slot = (slot + 1) & mask) {
            if (m_index[slot].check == check && text(entries[m_index[slot].entry]) == word)
                return m_index[slot].entry;
        }
        const auto entry = std::uint32_t(entries.size());
        entries.push_back({std::uint32_t(chars.size()), std::uint32_t(word.size()), entry, hash});
        chars += word;
        m_index[slot] = {entry, check};
        return entry;
    }

    QString chars;
    std::vector<Entry> entries;

private:
    struct IndexSlot
    {
        std::uint32_t entry;
        std::uint32_t check;  // the high half of the entry's hash
    };

    void rehash(std::size_t capacity)
    {
        m_index.assign(capacity, {NoEntry, 0});
        const std::size_t mask = capacity - 1;
        for (std::uint32_t e = 0; e < entries.size(); ++e) {
            std::size_t slot = entries[e].hash & mask;
            while (m_index[slot].entry != NoEntry)
                slot = (slot + 1) & mask;
            m_index[slot] = {e, std::uint32_t(entries[e].hash >> 32)};
        }
    }

    std::vector<IndexSlot> m_index;  // open addressing over entries
};

} // namespace

TableMemory::TableMemory(std::size_t bytes)
{
    if (bytes == 0)
        return;
#ifdef Q_OS_LINUX
    constexpr std::size_t HugePage = 2 * 1024 * 1024;
    const bool huge = bytes >= HugePage;
    const std::size_t size = huge ? (bytes + HugePage - 1) / HugePage * HugePage : bytes;
    void *data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED)
        throw std::bad_alloc();
    if (huge)
        ::madvise(data, size, MADV_HUGEPAGE);  // a refusal only costs speed
#else
    const std::size_t size = bytes;
    void *data = std::calloc(size, 1);
    if (data == nullptr)
        throw std::bad_alloc();
#endif
    m_data = data;
    m_size = size;
}

TableMemory::~TableMemory()
{
    if (m_data == nullptr)
        return;
#ifdef Q_OS_LINUX
    ::munmap(m_data, m_size);
#else
    std::free(m_data);
#endif
}

TableMemory::TableMemory(TableMemory &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
{
}

TableMemory &TableMemory::operator=(TableMemory &&other) noexcept
{
    TableMemory old(std::move(*this));
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
    return *this;
}

// A word of a text being converted: where it stands, its key and what it turns into.
struct Lemmatizer::Word
{
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype keyAt = -1;  // where the batch's buffer holds the key, or -1
    QString slowLower;     // else the key and the lower case from the Unicode tables
    QString slowKey;
    QStringView lower;  // what an unknown word becomes
    QStringView key;
    std::uint64_t hash = 0;
    const Slot *slot = nullptr;  // a likely match in m_exact, then the match
};

bool Lemmatizer::load(const QString &path, QString *error, const std::atomic<bool> *cancel)
{
    *this = Lemmatizer();
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    const auto fail = [&](const QString &reason) {
        *error = QDir::toNativeSeparators(path) + u": "_s + reason;
        sqlite3_finalize(statement);
        sqlite3_close(db);
        *this = Lemmatizer();
        return false;
    };
    const auto sqliteError = [&] { return QString::fromUtf8(sqlite3_errmsg(db)); };
    // Read-only: a missing file must fail here instead of turning up as an empty database.
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        != SQLITE_OK)
        return fail(sqliteError());
    sqlite3_busy_timeout(db, 5000);  // the builder may be writing it just now
    if (sqlite3_prepare_v2(db, "select id, word, initform_id from forms order by id", -1,
                           &statement, nullptr)
        != SQLITE_OK)
        return fail(sqliteError());

    FormCollector forms;
    std::vector<sqlite3_int64> rowIds;      // ascending, from the order by
    std::vector<std::uint32_t> rowEntries;  // the entry of each row's word
    std::vector<sqlite3_int64> initialIds;  // per entry: initform_id of its lowest-id row
    // Rows go in batches, their index slots fetched ahead, as convert() does with words.
    struct Row
    {
        sqlite3_int64 id;
        sqlite3_int64 initialId;
        QString word;
        std::uint64_t hash;
    };
    std::vector<Row> batch;
    const auto insertBatch = [&] {
        for (const Row &row : batch) {
            if (std::size_t(forms.chars.size()) + std::size_t(row.word.size())
                > std::numeric_limits<std::uint32_t>::max())
                return false;
            const std::size_t before = forms.entries.size();
            const std::uint32_t entry = forms.insert(row.word, row.hash);
            if (forms.entries.size() > before)
                initialIds.push_back(row.initialId);
            rowIds.push_back(row.id);
            rowEntries.push_back(entry);
        }
        batch.clear();
        return true;
    };
    int status;
    std::size_t rows = 0;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        if (cancel && (rows++ & 0xffff) == 0 && cancel->load())
            return fail(QStringLiteral("reading was cancelled"));
        const sqlite3_int64 id = sqlite3_column_int64(statement, 0);
        const auto *units = static_cast<const char16_t *>(sqlite3_column_text16(statement, 1));
        const qsizetype length = sqlite3_column_bytes16(statement, 1) / 2;
        if (units == nullptr || length == 0)
            continue;
        QString word = keyOf(QString(reinterpret_cast<const QChar *>(units), length).toLower());
        if (word.isEmpty() || word.size() > 0xff)
            continue;
        const std::uint64_t hash = hashOf<false>(word);
        forms.prefetchSlot(hash);
        batch.push_back({id,
                         sqlite3_column_type(statement, 2) == SQLITE_NULL
                             ? id
                             : sqlite3_column_int64(statement, 2),
                         std::move(word), hash});
        if (batch.size() == 32 && !insertBatch())
            return fail(QStringLiteral("the forms table is too large to hold"));
    }
    if (!insertBatch())
        return fail(QStringLiteral("the forms table is too large to hold"));
    if (status != SQLITE_DONE)
        return fail(sqliteError());
    if (forms.entries.empty())
        return fail(QStringLiteral("the forms table holds no words"));
    sqlite3_finalize(statement);
    statement = nullptr;
    sqlite3_close(db);
    db = nullptr;

    // An initform_id that names no row leaves the word as its own initial form.
    std::vector<FormCollector::Entry> &entries = forms.entries;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const auto row = std::lower_bound(rowIds.cbegin(), rowIds.cend(), initialIds[e]);
        const bool found = row != rowIds.cend() && *row == initialIds[e];
        entries[e].initial = found ? rowEntries[std::size_t(row - rowIds.cbegin())]
                                   : std::uint32_t(e);
    }
    std::vector<sqlite3_int64>().swap(rowIds);
    std::vector<std::uint32_t>().swap(rowEntries);
    std::vector<sqlite3_int64>().swap(initialIds);

    m_chars = TableMemory(std::size_t(forms.chars.size()) * sizeof(char16_t));
    std::copy_n(reinterpret_cast<const char16_t *>(forms.chars.constData()), forms.chars.size(),
                static_cast<char16_t *>(m_chars.data()));
    const auto slotOf = [&](const FormCollector::Entry &entry, std::uint64_t hash) {
        const FormCollector::Entry &initial = entries[entry.initial];
        return Slot{entry.start, initial.start, std::uint8_t(entry.length),
                    std::uint8_t(initial.length), std::uint16_t(hash >> 48)};
    };
    const auto allocate = [](Table &table, std::size_t count) {
        const std::size_t capacity = capacityFor(count);
        table.memory = TableMemory(capacity * sizeof(Slot));
        table.mask = capacity - 1;
        return static_cast<Slot *>(table.memory.data());
    };

    Slot *exact = allocate(m_exact, entries.size());
    for (const FormCollector::Entry &entry : entries) {
        std::size_t slot = entry.hash & m_exact.mask;
        while (exact[slot].length != 0)
            slot = (slot + 1) & m_exact.mask;
        exact[slot] = slotOf(entry, entry.hash);
    }

    // Entries come in the order of their lowest row id, so the first one in keeps the slot.
    std::vector<std::uint32_t> withYo;
    for (std::uint32_t e = 0; e < entries.size(); ++e)
        if (forms.text(entries[e]).contains(QChar(SmallYo)))
            withYo.push_back(e);
    if (!withYo.empty()) {
        Slot *folded = allocate(m_folded, withYo.size());
        for (const std::uint32_t e : withYo) {
            const QStringView word = forms.text(entries[e]);
            const std::uint64_t hash = hashOf<true>(word);
            std::size_t slot = hash & m_folded.mask;
            while (folded[slot].length != 0
                   && !equalFolded(text(folded[slot].start, folded[slot].length), word))
                slot = (slot + 1) & m_folded.mask;
            if (folded[slot].length == 0)
                folded[slot] = slotOf(entries[e], hash);
        }
    }
    m_formCount = qsizetype(entries.size());
    return true;
}

QString Lemmatizer::initialForm(QStringView word) const
{
    const QString lower = word.toString().toLower();
    const Slot *slot = find(keyOf(lower));
    if (slot == nullptr)
        return lower;
    return text(slot->initialStart, slot->initialLength).toString();
}

QString Lemmatizer::convert(QStringView text, qsizetype *lines) const
{
    // The answer is written through a pointer into a string grown by doubling: appending to a
    // QString piece by piece cost more than the lookups.
    QString out;
    out.resize(text.size() + text.size() / 4 + 16);
    qsizetype used = 0;
    const auto put = [&](QStringView piece) {
        if (used + piece.size() > out.size())
            out.resize(std::max(out.size() * 2, used + piece.size()));
        std::copy_n(piece.utf16(), piece.size(), reinterpret_cast<char16_t *>(out.data()) + used);
        used += piece.size();
    };
    qsizetype breaks = 0;
    // Copies what stands between words, each line break as LF. A CR LF pair never straddles two
    // calls: a stretch always runs from the end of a word to the start of the next.
    const auto copyBetween = [&](qsizetype from, qsizetype to) {
        qsizetype run = from;
        for (qsizetype i = from; i < to; ++i) {
            const QChar c = text[i];
            if (c != u'\r' && c != u'\n')
                continue;
            put(text.sliced(run, i - run));
            put(u"\n");
            ++breaks;
            if (c == u'\r' && i + 1 < to && text[i + 1] == u'\n')
                ++i;
            run = i + 1;
        }
        put(text.sliced(run, to - run));
    };

    // Words go in batches: every lookup of a batch is under way in the memory system at once,
    // where one after another each would wait for its own cache misses.
    constexpr std::size_t Batch = 32;
    Word words[Batch];
    std::vector<char16_t> keys;  // the keys of a batch's plain words, one after another
    qsizetype copied = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        std::size_t count = 0;
        keys.clear();
        while (i < text.size() && count < Batch) {
            if (letterWidth(text, i) == 0) {
                ++i;
                continue;
            }
            Word &word = words[count++];
            word.start = i;
            word.end = wordEnd(text, i);
            const QStringView original = text.sliced(i, word.end - i);
            if (appendPlainLower(original, keys)) {
                word.keyAt = qsizetype(keys.size()) - original.size();
                word.hash = hashOf<false>(QStringView(keys.data() + word.keyAt, original.size()));
            } else {
                word.keyAt = -1;
                word.slowLower = original.toString().toLower();
                word.slowKey = keyOf(word.slowLower);
                word.hash = hashOf<false>(word.slowKey);
            }
            prefetch(m_exact.cells() + (word.hash & m_exact.mask));
            i = word.end;
        }
        for (std::size_t w = 0; w < count; ++w) {
            Word &word = words[w];
            if (word.keyAt >= 0) {
                word.key = word.lower =
                    QStringView(keys.data() + word.keyAt, word.end - word.start);
            } else {
                word.lower = word.slowLower;
                word.key = word.slowKey;
            }
        }
        lookUpBatch(words, count);
        for (std::size_t w = 0; w < count; ++w) {
            copyBetween(copied, words[w].start);
            if (const Slot *slot = words[w].slot)
                put(this->text(slot->initialStart, slot->initialLength));
            else
                put(words[w].lower);
            copied = words[w].end;
        }
    }
    copyBetween(copied, text.size());
    out.resize(used);
    if (lines) {
        const bool openLast = !text.isEmpty() && text.back() != u'\n' && text.back() != u'\r';
        *lines = breaks + (openLast ? 1 : 0);
    }
    return out;
}

// Finds the slot of each word: first the likely match of each, fetching the texts it names, then
// each match made sure of; a word without one goes the long way (its «ё» read either way).
void Lemmatizer::lookUpBatch(Word *words, std::size_t count) const
{
    const Slot *cells = m_exact.cells();
    if (cells == nullptr) {  // nothing loaded
        for (std::size_t w = 0; w < count; ++w)
            words[w].slot = nullptr;
        return;
    }
    for (std::size_t w = 0; w < count; ++w) {
        Word &word = words[w];
        const auto tag = std::uint16_t(word.hash >> 48);
        word.slot = nullptr;
        for (std::size_t s = word.hash & m_exact.mask; cells[s].length != 0;
             s = (s + 1) & m_exact.mask) {
            if (cells[s].tag == tag && cells[s].length == word.key.size()) {
                word.slot = &cells[s];
                prefetch(static_cast<const char16_t *>(m_chars.data()) + cells[s].start);
                prefetch(static_cast<const char16_t *>(m_chars.data()) + cells[s].initialStart);
                break;
            }
        }
    }
    for (std::size_t w = 0; w < count; ++w) {
        Word &word = words[w];
        if (word.slot == nullptr || text(word.slot->start, word.slot->length) != word.key)
            word.slot = find(word.key);
    }
}

qsizetype Lemmatizer::memoryUse() const
{
    return qsizetype(m_chars.size() + m_exact.memory.size() + m_folded.memory.size());
}

QStringView Lemmatizer::text(std::uint32_t start, std::uint8_t length) const
{
    return QStringView(static_cast<const char16_t *>(m_chars.data()) + start, length);
}

const Lemmatizer::Slot *Lemmatizer::findIn(const Table &table, QStringView key,
                                           std::uint64_t hash) const
{
    if (table.memory.data() == nullptr)
        return nullptr;
    const Slot *cells = table.cells();
    const auto tag = std::uint16_t(hash >> 48);
    const bool folded = &table == &m_folded;
    for (std::size_t s = hash & table.mask; cells[s].length != 0; s = (s + 1) & table.mask) {
        if (cells[s].tag != tag || cells[s].length != key.size())
            continue;
        const QStringView form = text(cells[s].start, cells[s].length);
        if (folded ? equalFolded(form, key) : form == key)
            return &cells[s];
    }
    return nullptr;
}

const Lemmatizer::Slot *Lemmatizer::find(QStringView key) const
{
    if (key.isEmpty() || key.size() > 0xff)
        return nullptr;
    if (const Slot *slot = findIn(m_exact, key, hashOf<false>(key)))
        return slot;
    if (key.contains(QChar(SmallYo))) {
        QString plain = key.toString();
        plain.replace(QChar(SmallYo), QChar(SmallYe));
        if (const Slot *slot = findIn(m_exact, plain, hashOf<false>(plain)))
            return slot;
    }
    return findIn(m_folded, key, hashOf<true>(key));
}
