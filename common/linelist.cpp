#include "common/linelist.h"

#include "common/textlines.h"

#include <algorithm>

QStringList SortList(const QStringList &lines)
{
    QStringList sorted = lines;
    qSortI(sorted);
    return sorted;
}

QStringList ReverseList(const QStringList &lines)
{
    QStringList reversed = lines;
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

QStringList DeleteRepeatedLines(const QStringList &lines)
{
    QStringList kept;
    kept.reserve(lines.size());
    const QString empty;
    const QString *previous = &empty;
    for (const QString &line : lines) {
        if (line != *previous)
            kept.append(line);
        previous = &line;
    }
    return kept;
}

QStringList DeleteEmptyLines(const QStringList &lines)
{
    QStringList kept;
    kept.reserve(lines.size());
    for (const QString &line : lines)
        if (!line.isEmpty())
            kept.append(line);
    return kept;
}

QString LowerCaseText(const QString &text)
{
    return toLowerSimple(text);
}

QString UpperCaseText(const QString &text)
{
    return toUpperSimple(text);
}

QStringList CapitalizeLines(const QStringList &lines)
{
    QStringList out;
    out.reserve(lines.size());
    for (const QString &line : lines) {
        if (line.isEmpty())
            out.append(line);
        else
            out.append(toUpperSimple(line.left(1)) + toLowerSimple(line.mid(1)));
    }
    return out;
}

bool isDelimeter(QChar c)
{
    switch (c.unicode()) {
    case 0x09: case 0x0A: case 0x0D: case 0x20: case 0x21: case 0x22: case 0x27:
    case 0x28: case 0x29: case 0x2B: case 0x2C: case 0x2E: case 0x2F: case 0x3A:
    case 0x3B: case 0x3C: case 0x3D: case 0x3E: case 0x3F: case 0x5B: case 0x5C:
    case 0x5D: case 0x7B: case 0x7C: case 0x7D: case 0xAB: case 0xBB:
    case 0x201C: case 0x201D: case 0x2026: case 0x2014:
        return true;
    default:
        return false;
    }
}

bool isDelimeter(const QString &c)
{
    return c.size() == 1 && isDelimeter(c.at(0));
}

namespace {

// Both sides mapped once: the simple mapping keeps offsets, so a match in the
// mapped text is a match of the mapped pieces at the same place.
struct Haystack
{
    QString text;
    QString pattern;
    Haystack(const QString &t, const QString &p, bool matchCase)
        : text(matchCase ? t : toUpperSimple(t)), pattern(matchCase ? p : toUpperSimple(p))
    {
    }
};

// Whole-word test of a match at index i (from 0) of length m.
bool standsAlone(const QString &text, qsizetype i, qsizetype m)
{
    const bool before = i == 0 || isDelimeter(text.at(i - 1));
    const bool after = i + m == text.size() || isDelimeter(text.at(i + m));
    return before && after;
}

// First match at an index in [from, to] scanning forward, or -1.
qsizetype forward(const Haystack &h, qsizetype from, qsizetype to, bool wholeWord)
{
    const qsizetype m = h.pattern.size();
    while (from <= to) {
        const qsizetype i = h.text.indexOf(h.pattern, from);
        if (i < 0 || i > to)
            return -1;
        if (!wholeWord || standsAlone(h.text, i, m))
            return i;
        from = i + 1;
    }
    return -1;
}

// First match at an index in [to, from] scanning backward, or -1.
qsizetype backward(const Haystack &h, qsizetype from, qsizetype to, bool wholeWord)
{
    const qsizetype m = h.pattern.size();
    while (from >= to) {
        const qsizetype i = h.text.lastIndexOf(h.pattern, from);
        if (i < 0 || i < to)
            return -1;
        if (!wholeWord || standsAlone(h.text, i, m))
            return i;
        from = i - 1;
    }
    return -1;
}

} // namespace

int FindPos(const QString &text, const QString &pattern, int start, bool down, bool matchCase,
            bool wholeWord)
{
    const qsizetype L = text.size();
    if (L == 0 || pattern.isEmpty() || pattern.size() > L)
        return -1;
    const Haystack h(text, pattern, matchCase);
    const qsizetype s = std::max(start, 0);
    qsizetype found;
    if (down) {
        const qsizetype first = std::min(L, s + 1) - 1;  // index of the first candidate
        found = forward(h, first, L - 1, wholeWord);
        if (found < 0)
            found = forward(h, 0, first - 1, wholeWord);
    } else {
        const qsizetype first = std::min(s, L - 1);  // position from 1; 0 means start at L
        if (first == 0) {
            found = backward(h, L - 1, 0, wholeWord);
        } else {
            found = backward(h, first - 1, 0, wholeWord);
            if (found < 0)
                found = backward(h, L - 1, first, wholeWord);
        }
    }
    return found < 0 ? -1 : int(found + 1);
}

Replaced ReplaceAll(const QString &text, const QString &find, const QString &with, bool matchCase,
                    bool wholeWord)
{
    Replaced result;
    if (find.isEmpty() || find.size() > text.size()) {
        result.text = text;
        return result;
    }
    const Haystack h(text, find, matchCase);
    const qsizetype m = find.size();
    qsizetype copied = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype i = forward(h, from, text.size() - m, wholeWord);
        if (i < 0)
            break;
        if (result.count == 0)
            result.text.reserve(text.size() + std::max<qsizetype>(0, with.size() - m) * 64);
        result.text += QStringView(text).mid(copied, i - copied);
        result.text += with;
        ++result.count;
        copied = from = i + m;
    }
    if (result.count == 0) {
        result.text = text;
        return result;
    }
    result.text += QStringView(text).mid(copied);
    return result;
}
