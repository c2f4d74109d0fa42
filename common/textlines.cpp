#include "common/textlines.h"

#include <unicode/uchar.h>

#include <algorithm>

part_word PartWord;

QStringList splitLines(const QString &text)
{
    QStringList lines;
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    qsizetype begin = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(QString(data + begin, i - begin));
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        begin = i + 1;
    }
    if (begin < size)
        lines.append(QString(data + begin, size - begin));
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
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    qsizetype begin = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        ++count;
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        begin = i + 1;
    }
    return begin < size ? count + 1 : count;
}

QString normalizeBreaks(const QString &text)
{
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    bool clean = true;
    for (qsizetype i = 0; i < size && clean; ++i) {
        if (data[i] == u'\r')
            clean = i + 1 < size && data[i + 1] == u'\n' && (++i, true);
        else if (data[i] == u'\n')
            clean = false;
    }
    if (clean)
        return text;
    QString out;
    out.reserve(size + size / 16);
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c == u'\r') {
            out += u"\r\n";
            if (i + 1 < size && data[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += u"\r\n";
        } else {
            out += data[i];
        }
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

template <typename Map>
QString mapCase(const QString &text, Map map)
{
    QString out = text;
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
        } else if (c.unicode() >= 0x41) {
            const char32_t mapped = map(char32_t(c.unicode()));
            if (!QChar::requiresSurrogates(mapped))
                data[i] = QChar(char16_t(mapped));
        }
    }
    return out;
}

} // namespace

// Map one character at a time by ICU's simple mapping: QString::toUpper turns ß
// into SS and shifts offsets, and QChar leaves İ alone where the simple mapping
// lowers it to i.
QString toUpperSimple(const QString &text)
{
    return mapCase(text, [](char32_t c) { return char32_t(u_toupper(UChar32(c))); });
}

QString toLowerSimple(const QString &text)
{
    return mapCase(text, [](char32_t c) { return char32_t(u_tolower(UChar32(c))); });
}

void qSortI(QStringList &items)
{
    std::sort(items.begin(), items.end(), ordinalLess);
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
