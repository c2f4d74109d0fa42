#include "sorter/listtext.h"

#include "common/linelist.h"
#include "common/pane.h"
#include "common/textlines.h"

#include <QList>

using namespace Qt::Literals::StringLiterals;

namespace {

/// A line as a piece of its text: the characters and the break after them.
struct LineSegment
{
    qsizetype start = 0;
    qsizetype length = 0;  // without the break
    qsizetype breakLength = 0;  // 2, or 0 for a last line without one
};

QList<LineSegment> segments(const QString &text)
{
    QList<LineSegment> lines;
    qsizetype begin = 0;
    while (begin < text.size()) {
        const qsizetype brk = text.indexOf(u"\r\n", begin);
        if (brk < 0) {
            lines.append({begin, text.size() - begin, 0});
            break;
        }
        lines.append({begin, brk - begin, 2});
        begin = brk + 2;
    }
    return lines;
}

QStringView characters(const QString &text, const LineSegment &line)
{
    return QStringView(text).mid(line.start, line.length);
}

/// The text with only the lines that keep(i, lines) accepts, each with its own break.
template <typename Keep>
QString keepLines(const QString &text, Keep keep)
{
    const QList<LineSegment> lines = segments(text);
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (keep(i, lines))
            kept += QStringView(text).mid(lines[i].start, lines[i].length + lines[i].breakLength);
    return kept;
}

} // namespace

QString appendedPart(const QString &text, const QString &line)
{
    if (text.isEmpty() || text.endsWith(u"\r\n"))
        return line + u"\r\n"_s;
    return u"\r\n"_s + line;
}

QString appendLine(const QString &text, const QString &line)
{
    return text + appendedPart(text, line);
}

QString insertLine(const QString &text, int index, const QString &line)
{
    if (index >= lineCount(text))
        return appendLine(text, line);
    QString inserted = text;
    return inserted.insert(lineStartOffset(text, index), line + u"\r\n"_s);
}

QString deleteLine(const QString &text, int index)
{
    const int start = lineStartOffset(text, index);
    if (start >= text.size())
        return text;
    const qsizetype brk = text.indexOf(u"\r\n", start);
    const qsizetype end = brk < 0 ? text.size() : brk + 2;
    QString deleted = text;
    return deleted.remove(start, end - start);
}

QString moveLine(const QString &text, int from, int to)
{
    return insertLine(deleteLine(text, from), to, lineText(text, from));
}

QString lineText(const QString &text, int index)
{
    const int start = lineStartOffset(text, index);
    const qsizetype brk = text.indexOf(u"\r\n", start);
    return text.mid(start, (brk < 0 ? text.size() : brk) - start);
}

QString deleteEmptyLinesKeepingBreaks(const QString &text)
{
    return keepLines(
        text, [](qsizetype i, const QList<LineSegment> &lines) { return lines[i].length > 0; });
}

QString deleteNeighbourRepeats(const QString &text)
{
    // Deleting from the last line up compares each line with its original
    // neighbour, so a line goes exactly when it equals the one above it.
    return keepLines(text, [&text](qsizetype i, const QList<LineSegment> &lines) {
        return i == 0 || characters(text, lines[i]) != characters(text, lines[i - 1]);
    });
}

QString sortLines(const QString &text)
{
    return joinLines(SortList(splitLines(text)));
}

QString withPlatformBreaks(const QString &text)
{
#ifdef Q_OS_WIN
    return text;
#else
    QString plain = text;
    return plain.replace(u"\r\n"_s, u"\n"_s);
#endif
}
