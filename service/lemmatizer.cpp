#include "service/lemmatizer.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char16_t SmallYo = 0x0451;
constexpr char16_t SmallYe = 0x0435;

template <bool Fold>
std::size_t hashOf(QStringView word)
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
    return std::size_t(h);
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

} // namespace

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

    std::vector<sqlite3_int64> rowIds;      // ascending, from the order by
    std::vector<std::uint32_t> rowEntries;  // the entry of each row's word
    std::vector<sqlite3_int64> initialIds;  // per entry: initform_id of its lowest-id row
    rehashExact(1 << 16);
    int status;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        if (cancel && (rowIds.size() & 0xffff) == 0 && cancel->load())
            return fail(QStringLiteral("reading was cancelled"));
        const sqlite3_int64 id = sqlite3_column_int64(statement, 0);
        const auto *units = static_cast<const char16_t *>(sqlite3_column_text16(statement, 1));
        const qsizetype length = sqlite3_column_bytes16(statement, 1) / 2;
        if (units == nullptr || length == 0)
            continue;
        const QString word =
            keyOf(QString(reinterpret_cast<const QChar *>(units), length).toLower());
        if (std::size_t(m_chars.size()) + std::size_t(word.size())
            > std::numeric_limits<std::uint32_t>::max())
            return fail(QStringLiteral("the forms table is too large to hold"));
        const std::size_t before = m_entries.size();
        const std::uint32_t entry = insertExact(word);
        if (m_entries.size() > before)
            initialIds.push_back(sqlite3_column_type(statement, 2) == SQLITE_NULL
                                     ? id
                                     : sqlite3_column_int64(statement, 2));
        rowIds.push_back(id);
        rowEntries.push_back(entry);
    }
    if (status != SQLITE_DONE)
        return fail(sqliteError());
    if (m_entries.empty())
        return fail(QStringLiteral("the forms table holds no words"));
    sqlite3_finalize(statement);
    statement = nullptr;
    sqlite3_close(db);
    db = nullptr;

    // An initform_id that names no row leaves the word as its own initial form.
    for (std::size_t e = 0; e < m_entries.size(); ++e) {
        const auto row = std::lower_bound(rowIds.cbegin(), rowIds.cend(), initialIds[e]);
        const bool found = row != rowIds.cend() && *row == initialIds[e];
        m_entries[e].initial =
            found ? rowEntries[std::size_t(row - rowIds.cbegin())] : std::uint32_t(e);
    }
    buildFolded();
    m_chars.squeeze();
    m_entries.shrink_to_fit();
    return true;
}

QString Lemmatizer::initialForm(QStringView word) const
{
    const QString lower = word.toString().toLower();
    const std::uint32_t entry = find(keyOf(lower));
    if (entry == NoEntry)
        return lower;
    return text(m_entries[m_entries[entry].initial]).toString();
}

QString Lemmatizer::convert(QStringView text, qsizetype *lines) const
{
    QString out;
    out.reserve(text.size() + text.size() / 4);
    qsizetype breaks = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += u'\n';
            ++breaks;
            i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        } else if (letterWidth(text, i) > 0) {
            const qsizetype end = wordEnd(text, i);
            const QString lower = text.sliced(i, end - i).toString().toLower();
            const std::uint32_t entry = find(keyOf(lower));
            if (entry == NoEntry)
                out += lower;
            else
                out += this->text(m_entries[m_entries[entry].initial]);
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    if (lines) {
        const bool openLast = !text.isEmpty() && text.back() != u'\n' && text.back() != u'\r';
        *lines = breaks + (openLast ? 1 : 0);
    }
    return out;
}

qsizetype Lemmatizer::memoryUse() const
{
    return m_chars.capacity() * qsizetype(sizeof(QChar))
           + qsizetype(m_entries.capacity() * sizeof(Entry)
                       + (m_exact.capacity() + m_folded.capacity()) * sizeof(std::uint32_t));
}

QStringView Lemmatizer::text(const Entry &entry) const
{
    return QStringView(m_chars).sliced(entry.start, entry.length);
}

std::uint32_t Lemmatizer::find(QStringView word) const
{
    std::uint32_t entry = findExact(word);
    if (entry != NoEntry)
        return entry;
    if (word.contains(QChar(SmallYo))) {
        QString plain = word.toString();
        plain.replace(QChar(SmallYo), QChar(SmallYe));
        entry = findExact(plain);
        if (entry != NoEntry)
            return entry;
    }
    return findFolded(word);
}

std::uint32_t Lemmatizer::findExact(QStringView word) const
{
    if (m_exact.empty())
        return NoEntry;
    const std::size_t mask = m_exact.size() - 1;
    for (std::size_t slot = hashOf<false>(word) & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = m_exact[slot];
        if (entry == NoEntry
            || (m_entries[entry].length == std::size_t(word.size())
                && text(m_entries[entry]) == word))
            return entry;
    }
}

std::uint32_t Lemmatizer::findFolded(QStringView word) const
{
    if (m_folded.empty())
        return NoEntry;
    const std::size_t mask = m_folded.size() - 1;
    for (std::size_t slot = hashOf<true>(word) & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = m_folded[slot];
        if (entry == NoEntry || equalFolded(text(m_entries[entry]), word))
            return entry;
    }
}

std::uint32_t Lemmatizer::insertExact(QStringView word)
{
    if ((m_entries.size() + 1) * 2 > m_exact.size())
        rehashExact(m_exact.size() * 2);
    const std::size_t mask = m_exact.size() - 1;
    std::size_t slot = hashOf<false>(word) & mask;
    for (; m_exact[slot] != NoEntry; slot = (slot + 1) & mask) {
        if (text(m_entries[m_exact[slot]]) == word)
            return m_exact[slot];
    }
    const auto entry = std::uint32_t(m_entries.size());
    m_entries.push_back({std::uint32_t(m_chars.size()), std::uint32_t(word.size()), entry});
    m_chars += word;
    m_exact[slot] = entry;
    return entry;
}

void Lemmatizer::rehashExact(std::size_t capacity)
{
    m_exact.assign(capacity, NoEntry);
    const std::size_t mask = capacity - 1;
    for (std::uint32_t e = 0; e < m_entries.size(); ++e) {
        std::size_t slot = hashOf<false>(text(m_entries[e])) & mask;
        while (m_exact[slot] != NoEntry)
            slot = (slot + 1) & mask;
        m_exact[slot] = e;
    }
}

void Lemmatizer::buildFolded()
{
    std::vector<std::uint32_t> withYo;
    for (std::uint32_t e = 0; e < m_entries.size(); ++e)
        if (text(m_entries[e]).contains(QChar(SmallYo)))
            withYo.push_back(e);
    m_folded.clear();
    if (withYo.empty())
        return;
    m_folded.assign(capacityFor(withYo.size()), NoEntry);
    const std::size_t mask = m_folded.size() - 1;
    // Entries come in the order of their lowest row id, so the first one in keeps the slot.
    for (const std::uint32_t e : withYo) {
        const QStringView word = text(m_entries[e]);
        std::size_t slot = hashOf<true>(word) & mask;
        while (m_folded[slot] != NoEntry && !equalFolded(text(m_entries[m_folded[slot]]), word))
            slot = (slot + 1) & mask;
        if (m_folded[slot] == NoEntry)
            m_folded[slot] = e;
    }
}
