#include "dictionary/ngramcounter.h"

#include "dictionary/corpusreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>
#include <queue>

namespace {

bool isCyrillicLetter(char32_t c)
{
    if (c >= 0x0400 && c <= 0x045F)
        return true;
    return c >= 0x0460 && c <= 0x052F && QChar::isLetter(c);
}

bool isInnerHyphen(char32_t c)
{
    return c == u'-' || c == 0x2010 || c == 0x2011;
}

bool isIgnorable(char32_t c)
{
    return c == 0x00AD || c == 0x0300 || c == 0x0301;  // soft hyphen, stress marks
}

char32_t lowerCyrillic(char32_t c)
{
    if (c >= 0x0410 && c <= 0x042F)
        return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F)
        return c + 0x50;
    if (c < 0x0460)
        return c;
    return QChar::toLower(c);
}

void appendUtf8(char32_t c, std::string *out)
{
    if (c < 0x80) {
        out->push_back(char(c));
    } else if (c < 0x800) {
        out->push_back(char(0xC0 | (c >> 6)));
        out->push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(char(0xE0 | (c >> 12)));
        out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(char(0x80 | (c & 0x3F)));
    }
}

// Decodes the code point at text[*at] and advances; malformed bytes give U+FFFD.
char32_t nextCodePoint(std::string_view text, std::size_t *at)
{
    const auto b = std::uint8_t(text[*at]);
    if (b < 0x80) {
        ++*at;
        return b;
    }
    int length = 0;
    char32_t c = 0;
    if ((b & 0xE0) == 0xC0) {
        length = 2;
        c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3;
        c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4;
        c = b & 0x07;
    } else {
        ++*at;
        return 0xFFFD;
    }
    if (*at + length > text.size()) {
        *at = text.size();
        return 0xFFFD;
    }
    for (int k = 1; k < length; ++k) {
        const auto next = std::uint8_t(text[*at + k]);
        if ((next & 0xC0) != 0x80) {
            *at += k;
            return 0xFFFD;
        }
        c = c << 6 | (next & 0x3F);
    }
    *at += length;
    return c;
}

} // namespace

void tokenizeLine(std::string_view utf8, const std::function<void(std::string_view)> &token,
                  const std::function<void()> &runEnd)
{
    std::string word;
    bool inRun = false;
    const auto endWord = [&] {
        if (!word.empty()) {
            token(word);
            word.clear();
            inRun = true;
        }
    };
    const auto endRun = [&] {
        endWord();
        if (inRun)
            runEnd();
        inRun = false;
    };
    std::size_t at = 0;
    while (at < utf8.size()) {
        const char32_t c = nextCodePoint(utf8, &at);
        if (isCyrillicLetter(c)) {
            appendUtf8(lowerCyrillic(c), &word);
        } else if (isIgnorable(c)) {
            continue;
        } else if (isInnerHyphen(c) && !word.empty() && at < utf8.size()) {
            std::size_t peek = at;
            if (isCyrillicLetter(nextCodePoint(utf8, &peek)))
                word.push_back('-');
            else
                endRun();
        } else if (c < 0x10000 && QChar::isSpace(c)) {
            endWord();
        } else {
            endRun();
        }
    }
    endRun();
}

template<int N>
typename NgramTable<N>::Slot &NgramTable<N>::slotFor(const Key &key)
{
    std::uint64_t h = 0;
    for (const std::uint32_t id : key)
        h = (h + id + 1) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = std::size_t(h) & mask;; i = (i + 1) & mask) {
        Slot &s = m_slots[i];
        if (s.key[0] == Empty || s.key == key)
            return s;
    }
}

template<int N>
void NgramTable<N>::add(const Key &key, std::uint32_t count)
{
    // Three quarters full at most: with a mixed hash, linear probing stays short, and the
    // table holds little more than its n-grams.
    if (4 * (m_used + 1) > 3 * m_slots.size())
        grow();
    Slot &s = slotFor(key);
    if (s.key[0] == Empty) {
        s.key = key;
        s.count = 0;
        ++m_used;
    }
    // A count that would pass 32 bits stays at the top; only merged counts are wider.
    s.count = std::uint32_t(std::min<std::uint64_t>(std::uint64_t(s.count) + count, 0xFFFFFFFFu));
}

template<int N>
void NgramTable<N>::grow()
{
    std::vector<Slot> old = std::move(m_slots);
    Slot empty;
    empty.key.fill(Empty);
    empty.count = 0;
    m_slots.assign(std::max<std::size_t>(1024, old.size() * 2), empty);
    for (const Slot &s : old)
        if (s.key[0] != Empty)
            slotFor(s.key) = s;
}

template class NgramTable<2>;
template class NgramTable<3>;

std::uint32_t NgramCounter::intern(std::string_view token)
{
    if (4 * (m_tokens.size() + 1) > 3 * m_idSlots.size())
        growIds();
    const auto hash = std::uint32_t(std::hash<std::string_view>()(token));
    const std::size_t mask = m_idSlots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        IdSlot &slot = m_idSlots[i];
        if (slot.idPlusOne == 0) {
            const auto id = std::uint32_t(m_tokens.size());
            m_tokens.emplace_back(token);
            m_tokenCounts.push_back(0);
            slot = IdSlot{id + 1, hash};
            return id;
        }
        if (slot.hash == hash && m_tokens[slot.idPlusOne - 1] == token)
            return slot.idPlusOne - 1;
    }
}

void NgramCounter::growIds()
{
    std::vector<IdSlot> old = std::move(m_idSlots);
    m_idSlots.assign(std::max<std::size_t>(1024, old.size() * 2), IdSlot());
    const std::size_t mask = m_idSlots.size() - 1;
    for (const IdSlot &slot : old) {
        if (slot.idPlusOne == 0)
            continue;
        std::size_t i = slot.hash & mask;
        while (m_idSlots[i].idPlusOne != 0)
            i = (i + 1) & mask;
        m_idSlots[i] = slot;
    }
}


// A sorted run of n-gram counts on disk: fixed records of N ids and a 32-bit count.
struct NgramCounter::Run
{
    QTemporaryFile file;
};

NgramCounter::NgramCounter() = default;
NgramCounter::~NgramCounter() = default;

QString NgramCounter::cancelledMessage()
{
    return QStringLiteral("cancelled");
}

QString NgramCounter::runPrefix()
{
    return QStringLiteral("lexorum-counts-%1-").arg(QCoreApplication::applicationPid());
}

QString NgramCounter::runSuffix()
{
    return QStringLiteral(".run");
}

void NgramCounter::setMemoryBudget(std::size_t bytes, const QString &folder)
{
    m_budget = bytes;
    m_spillFolder = folder;
}

void NgramCounter::addToken(std::uint32_t id, std::uint64_t count)
{
    m_tokenCounts[id] += count;
    m_totalTokens += count;
    if (m_totalTokens >= m_nextProgress) {
        m_nextProgress = m_totalTokens + (1 << 20);
        if (tokens)
            tokens(m_totalTokens);
    }
}

bool NgramCounter::fitBudget(QString *error)
{
    // The tables together, with the larger growth one of them may need next.
    const std::size_t ahead = std::max(m_bigrams.growthBytes(), m_trigrams.growthBytes());
    if (m_budget == 0 || m_bigrams.bytes() + m_trigrams.bytes() + ahead <= m_budget)
        return true;
    return spill(m_bigrams, m_runs2, error) && spill(m_trigrams, m_runs3, error);
}

void NgramCounter::addLine(std::string_view utf8)
{
    m_run.clear();
    tokenizeLine(
        utf8,
        [this](std::string_view token) {
            const std::uint32_t id = intern(token);
            addToken(id, 1);
            m_run.push_back(id);
            const std::size_t n = m_run.size();
            if (n >= 2 && m_spillError.isEmpty() && !fitBudget(&m_spillError))
                return;
            if (n >= 2)
                m_bigrams.add({m_run[n - 2], m_run[n - 1]});
            if (n >= 3)
                m_trigrams.add({m_run[n - 3], m_run[n - 2], m_run[n - 1]});
        },
        [this] { m_run.clear(); });
}

bool NgramCounter::addPath(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("%1: no such file or folder").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!info.isDir())
        return addFile(path, error);
    QStringList files;
    QDirIterator it(path, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    for (const QString &file : files)
        if (!addFile(file, error))
            return false;
    return true;
}

bool NgramCounter::addFile(const QString &path, QString *error)
{
    bool stopped = false;
    std::uint64_t lines = 0;
    QString problem;
    const bool read = readCorpusFile(
        path,
        [&](std::string_view line) {
            // Asking every line would cost more than the counting of a short one.
            if ((++lines & 1023) == 0 && cancelled && cancelled()) {
                stopped = true;
                return false;
            }
            addLine(line);
            return m_spillError.isEmpty();
        },
        &problem);
    if (!m_spillError.isEmpty()) {
        *error = m_spillError;
        return false;
    }
    if (stopped || (cancelled && cancelled())) {
        *error = cancelledMessage();
        return false;
    }
    if (!read) {
        m_skipped.append(problem);
        if (skipped)
            skipped(problem);
        return true;
    }
    ++m_files;
    if (tokens)
        tokens(m_totalTokens);
    return true;
}

namespace {

constexpr char CountsMagic[] = "lexorum counts 1\n";
constexpr std::uint32_t EndOfSection = 0xFFFFFFFFu;

// Buffered writing and reading of plain numbers and bytes.
class Writer
{
public:
    explicit Writer(QFileDevice *file) : m_file(file) { m_buffer.reserve(1 << 20); }
    void bytes(const void *data, std::size_t size)
    {
        m_buffer.append(static_cast<const char *>(data), size);
        if (m_buffer.size() >= (1 << 20))
            flush();
    }
    template<typename T>
    void number(T value)
    {
        bytes(&value, sizeof value);
    }
    bool flush()
    {
        if (!m_buffer.empty() && m_file->write(m_buffer.data(), qint64(m_buffer.size()))
                                     != qint64(m_buffer.size()))
            m_failed = true;
        m_buffer.clear();
        return !m_failed;
    }

private:
    QFileDevice *m_file;
    std::string m_buffer;
    bool m_failed = false;
};

class Reader
{
public:
    explicit Reader(QIODevice *file) : m_file(file) {}
    bool bytes(void *data, std::size_t size)
    {
        auto *out = static_cast<char *>(data);
        while (size > 0) {
            if (m_at == m_buffer.size()) {
                m_buffer.resize(256 << 10);
                const qint64 got = m_file->read(m_buffer.data(), qint64(m_buffer.size()));
                m_buffer.resize(std::size_t(std::max<qint64>(got, 0)));
                m_at = 0;
                if (got <= 0)
                    return false;
            }
            const std::size_t n = std::min(size, m_buffer.size() - m_at);
            std::memcpy(out, m_buffer.data() + m_at, n);
            m_at += n;
            out += n;
            size -= n;
        }
        return true;
    }
    template<typename T>
    bool number(T *value)
    {
        return bytes(value, sizeof *value);
    }

private:
    QIODevice *m_file;
    std::string m_buffer;
    std::size_t m_at = 0;
};

QString fileError(const QFileDevice &file)
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file.fileName()),
                                        file.errorString());
}

} // namespace

template<int N>
bool NgramCounter::spill(NgramTable<N> &table, std::vector<std::unique_ptr<Run>> &runs,
                         QString *error)
{
    if (table.size() == 0)
        return true;
    auto run = std::make_unique<Run>();
    const QString folder = m_spillFolder.isEmpty() ? QDir::tempPath() : m_spillFolder;
    run->file.setFileTemplate(QDir(folder).filePath(runPrefix() + QStringLiteral("XXXXXX")
                                                    + runSuffix()));
    if (!run->file.open()) {
        *error = fileError(run->file);
        return false;
    }
    if (runCreated)
        runCreated(run->file.fileName());
    Writer out(&run->file);
    table.drainSorted([&](const typename NgramTable<N>::Key &key, std::uint32_t count) {
        out.bytes(key.data(), sizeof key);
        out.number(count);
    });
    if (!out.flush() || !run->file.flush()) {
        *error = fileError(run->file);
        return false;
    }
    runs.push_back(std::move(run));
    return true;
}

template<int N, typename Visit>
bool NgramCounter::merge(NgramTable<N> &table, std::vector<std::unique_ptr<Run>> &runs,
                         Visit visit, QString *error)
{
    if (runs.empty()) {
        table.forEach(visit);
        return true;
    }
    if (!spill(table, runs, error))
        return false;
    using Key = typename NgramTable<N>::Key;
    struct Head
    {
        Key key;
        std::uint32_t count;
        std::size_t run;
        bool operator>(const Head &other) const
        {
            return std::tie(key, run) > std::tie(other.key, other.run);
        }
    };
    std::vector<Reader> readers;
    std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads;
    const auto next = [&](std::size_t r) {
        Head head;
        head.run = r;
        if (readers[r].bytes(head.key.data(), sizeof head.key) && readers[r].number(&head.count))
            heads.push(head);
    };
    for (const auto &run : runs) {
        if (!run->file.seek(0)) {
            *error = fileError(run->file);
            return false;
        }
        readers.emplace_back(&run->file);
    }
    for (std::size_t r = 0; r < runs.size(); ++r)
        next(r);
    while (!heads.empty()) {
        const Key key = heads.top().key;
        std::uint64_t count = 0;
        while (!heads.empty() && heads.top().key == key) {
            const std::size_t r = heads.top().run;
            count += heads.top().count;
            heads.pop();
            next(r);
        }
        visit(key, count);
    }
    for (const auto &run : runs)
        if (run->file.error() != QFileDevice::NoError) {
            *error = fileError(run->file);
            return false;
        }
    return true;
}

bool NgramCounter::forEachPair(const PairVisit &visit, QString *error)
{
    return merge(m_bigrams, m_runs2, visit, error);
}

bool NgramCounter::forEachTriple(const TripleVisit &visit, QString *error)
{
    return merge(m_trigrams, m_runs3, visit, error);
}

bool NgramCounter::writeCounts(const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = fileError(file);
        return false;
    }
    Writer out(&file);
    out.bytes(CountsMagic, sizeof CountsMagic - 1);
    out.number(std::uint64_t(m_files));
    out.number(std::uint64_t(m_tokens.size()));
    for (std::size_t t = 0; t < m_tokens.size(); ++t) {
        out.number(std::uint32_t(m_tokens[t].size()));
        out.bytes(m_tokens[t].data(), m_tokens[t].size());
        out.number(m_tokenCounts[t]);
    }
    const auto record = [&](const auto &key, std::uint64_t count) {
        out.bytes(key.data(), sizeof key);
        out.number(count);
    };
    if (!forEachPair(record, error))
        return false;
    out.number(EndOfSection);
    out.number(EndOfSection);
    out.number(std::uint64_t(0));
    if (!forEachTriple(record, error))
        return false;
    for (int k = 0; k < 3; ++k)
        out.number(EndOfSection);
    out.number(std::uint64_t(0));
    if (!out.flush() || !file.commit()) {
        *error = fileError(file);
        return false;
    }
    return true;
}

bool NgramCounter::addCounts(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = fileError(file);
        return false;
    }
    const QString broken = QStringLiteral("%1: not a complete counts file of lexorum-cli dict "
                                          "count")
                               .arg(QDir::toNativeSeparators(path));
    Reader in(&file);
    char magic[sizeof CountsMagic - 1];
    std::uint64_t files = 0;
    std::uint64_t types = 0;
    if (!in.bytes(magic, sizeof magic) || std::memcmp(magic, CountsMagic, sizeof magic) != 0
        || !in.number(&files) || !in.number(&types)) {
        *error = broken;
        return false;
    }
    std::vector<std::uint32_t> ids;
    std::string text;
    for (std::uint64_t t = 0; t < types; ++t) {
        std::uint32_t length = 0;
        std::uint64_t count = 0;
        if (!in.number(&length) || length > (1 << 16)) {
            *error = broken;
            return false;
        }
        text.resize(length);
        if (!in.bytes(text.data(), length) || !in.number(&count)) {
            *error = broken;
            return false;
        }
        ids.push_back(intern(text));
        addToken(ids.back(), count);
    }
    // Pairs, then triples, each ended by a record of EndOfSection ids.
    for (;;) {
        std::array<std::uint32_t, 2> key;
        std::uint64_t count;
        if (!in.bytes(key.data(), sizeof key) || !in.number(&count)) {
            *error = broken;
            return false;
        }
        if (key[0] == EndOfSection)
            break;
        if (key[0] >= ids.size() || key[1] >= ids.size()) {
            *error = broken;
            return false;
        }
        if (!fitBudget(error))
            return false;
        m_bigrams.add({ids[key[0]], ids[key[1]]},
                      std::uint32_t(std::min<std::uint64_t>(count, 0xFFFFFFFFu)));
    }
    for (std::uint64_t k = 0;; ++k) {
        std::array<std::uint32_t, 3> key;
        std::uint64_t count;
        if (!in.bytes(key.data(), sizeof key) || !in.number(&count)) {
            *error = broken;
            return false;
        }
        if (key[0] == EndOfSection)
            break;
        if (key[0] >= ids.size() || key[1] >= ids.size() || key[2] >= ids.size()) {
            *error = broken;
            return false;
        }
        if (!fitBudget(error))
            return false;
        if ((k & 0xFFFF) == 0 && cancelled && cancelled()) {
            *error = cancelledMessage();
            return false;
        }
        m_trigrams.add({ids[key[0]], ids[key[1]], ids[key[2]]},
                       std::uint32_t(std::min<std::uint64_t>(count, 0xFFFFFFFFu)));
    }
    m_files += int(files);
    return true;
}
