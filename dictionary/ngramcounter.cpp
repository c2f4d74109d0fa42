#include "dictionary/ngramcounter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

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
void NgramTable<N>::add(const Key &key)
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
    ++s.count;
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

void NgramCounter::addLine(std::string_view utf8)
{
    m_run.clear();
    tokenizeLine(
        utf8,
        [this](std::string_view token) {
            const std::uint32_t id = intern(token);
            ++m_tokenCounts[id];
            ++m_totalTokens;
            m_run.push_back(id);
            const std::size_t n = m_run.size();
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    ++m_files;
    // Read in blocks and hand over whole lines, so a large corpus needs little memory.
    constexpr qint64 BlockSize = 8 << 20;
    QByteArray pending;
    bool start = true;
    for (;;) {
        const QByteArray block = file.read(BlockSize);
        if (block.isEmpty()) {
            if (file.error() != QFileDevice::NoError) {
                *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                                      file.errorString());
                return false;
            }
            break;
        }
        pending += block;
        std::string_view text(pending.constData(), std::size_t(pending.size()));
        if (start && text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        start = false;
        std::size_t lineStart = 0;
        for (std::size_t nl = text.find('\n'); nl != std::string_view::npos;
             nl = text.find('\n', lineStart)) {
            addLine(text.substr(lineStart, nl - lineStart));
            lineStart = nl + 1;
        }
        pending = QByteArray(text.data() + lineStart, qsizetype(text.size() - lineStart));
    }
    if (!pending.isEmpty())
        addLine(std::string_view(pending.constData(), std::size_t(pending.size())));
    return true;
}
