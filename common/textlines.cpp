#include "common/textlines.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <vector>

part_word PartWord;

namespace {

// Calls line(begin, length) for every line of text, by the rules of splitLines.
template <typename Line>
void forEachLine(const QString &text, Line line)
{
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    qsizetype begin = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        line(begin, i - begin);
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        begin = i + 1;
    }
    if (begin < size)
        line(begin, size - begin);
}

} // namespace

QStringList splitLines(const QString &text)
{
    QStringList lines;
    forEachLine(text, [&](qsizetype begin, qsizetype length) {
        lines.append(text.mid(begin, length));
    });
    return lines;
}

QString joinLines(const QStringList &lines)
{
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString &line : lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

int lineCount(const QString &text)
{
    int count = 0;
    forEachLine(text, [&count](qsizetype, qsizetype) { ++count; });
    return count;
}

QString normalizeBreaks(const QString &text)
{
    // Counted first, so that the text is written once into a buffer of its final size.
    const char16_t *data = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    qsizetype lone = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == u'\r') {
            if (i + 1 < size && data[i + 1] == u'\n')
                ++i;
            else
                ++lone;
        } else if (data[i] == u'\n') {
            ++lone;
        }
    }
    if (lone == 0)
        return text;
    QString out(size + lone, Qt::Uninitialized);
    auto *o = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (c != u'\r' && c != u'\n') {
            *o++ = c;
            continue;
        }
        *o++ = u'\r';
        *o++ = u'\n';
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
    }
    return out;
}

bool ordinalLess(const QString &a, const QString &b)
{
    // Qt compares UTF-16 code units, vectorised; a supplementary character thus
    // sorts by its surrogates, below U+E000, as ordinal order wants.
    return a < b;
}

namespace {

using CaseTable = std::array<char16_t, 0x10000>;

// Maps of the whole BMP, built once from ICU: a look-up per code unit instead
// of a call. A BMP character whose mapping would leave the BMP keeps itself.
template <typename Map>
CaseTable buildTable(Map map)
{
    CaseTable table{};
    for (char32_t c = 0; c < 0x10000; ++c) {
        const char32_t mapped = map(c);
        table[c] = char16_t(QChar::requiresSurrogates(mapped) ? c : mapped);
    }
    return table;
}

template <typename Map>
QString mapCase(QString out, const CaseTable &table, Map map)
{
    // A text that only this call holds is mapped where it lies.
    QChar *data = out.data();
    const qsizetype size = out.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = data[i];
        if (c.isHighSurrogate() && i + 1 < size && data[i + 1].isLowSurrogate()) {
            const char32_t mapped = map(QChar::surrogateToUcs4(c, data[i + 1]));
            // The simple mapping keeps a supplementary character supplementary.
            if (QChar::requiresSurrogates(mapped)) {
                data[i] = QChar(QChar::highSurrogate(mapped));
                data[i + 1] = QChar(QChar::lowSurrogate(mapped));
            }
            ++i;
        } else {
            data[i] = QChar(table[c.unicode()]);
        }
    }
    return out;
}

char32_t upper(char32_t c)
{
    return char32_t(u_toupper(UChar32(c)));
}

char32_t lower(char32_t c)
{
    return char32_t(u_tolower(UChar32(c)));
}

} // namespace

// Map one character at a time by ICU's simple mapping: QString::toUpper turns ß
// into SS and shifts offsets, and QChar leaves İ alone where the simple mapping
// lowers it to i.
QString toUpperSimple(const QString &text)
{
    return toUpperSimple(QString(text));
}

QString toUpperSimple(QString &&text)
{
    static const CaseTable table = buildTable(upper);
    return mapCase(std::move(text), table, upper);
}

QString toLowerSimple(const QString &text)
{
    return toLowerSimple(QString(text));
}

QString toLowerSimple(QString &&text)
{
    static const CaseTable table = buildTable(lower);
    return mapCase(std::move(text), table, lower);
}

void qSortI(QStringList &items)
{
    // Sort on the first four code units packed into an integer, falling back to the
    // whole strings on a tie: most comparisons then never touch the string data.
    // An absent unit packs as 0, so the key order never contradicts ordinal order.
    struct Key
    {
        quint64 prefix;
        qsizetype index;
    };
    std::vector<Key> keys(size_t(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString &item = items.at(i);
        quint64 prefix = 0;
        for (qsizetype k = 0; k < 4; ++k)
            prefix = (prefix << 16) | (k < item.size() ? item.at(k).unicode() : 0u);
        keys[size_t(i)] = {prefix, i};
    }
    std::sort(keys.begin(), keys.end(), [&items](const Key &a, const Key &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return ordinalLess(items.at(a.index), items.at(b.index));
    });
    QStringList sorted;
    sorted.reserve(items.size());
    for (const Key &key : keys)
        sorted.append(std::move(items[key.index]));
    items = std::move(sorted);
}

QString getFieldFromString(int n, const QString &s, const QString &d)
{
    if (s.isEmpty() || n < 0)
        return QString();
    if (d.isEmpty())
        return n == 0 ? s : QString();
    qsizetype begin = 0;
    for (int field = 0;; ++field) {
        const qsizetype end = s.indexOf(d, begin);
        if (field == n)
            return end < 0 ? s.mid(begin) : s.mid(begin, end - begin);
        if (end < 0)
            return QString();
        begin = end + d.size();
    }
}

const std::array<QString, PartOfSpeechCount> &partOfSpeechTags()
{
    static const std::array<QString, PartOfSpeechCount> tags = {
        QStringLiteral("NOUN"), QStringLiteral("ADJF"), QStringLiteral("ADJS"),
        QStringLiteral("COMP"), QStringLiteral("VERB"), QStringLiteral("INFN"),
        QStringLiteral("PRTF"), QStringLiteral("PRTS"), QStringLiteral("GRND"),
        QStringLiteral("NUMR"), QStringLiteral("ADVB"), QStringLiteral("NPRO"),
        QStringLiteral("PRED"), QStringLiteral("PREP"), QStringLiteral("CONJ"),
        QStringLiteral("PRCL"), QStringLiteral("INTJ")};
    return tags;
}

int partOfSpeechIndex(const QString &tag)
{
    const auto &tags = partOfSpeechTags();
    for (int i = 0; i < PartOfSpeechCount; ++i)
        if (tags[i] == tag)
            return i;
    return -1;
}

bool checkPartWord(const QString &props, const part_word &filter)
{
    const qsizetype comma = props.indexOf(u',');
    const int index = partOfSpeechIndex(comma < 0 ? props : props.left(comma));
    return index >= 0 && filter.allows(index);
}
