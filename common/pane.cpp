#include "common/pane.h"

#include "common/textlines.h"

#include <algorithm>

void Pane::replaceRange(int start, int length, const QString &with)
{
    const QString old = text();
    start = std::clamp(start, 0, int(old.size()));
    length = std::clamp(length, 0, int(old.size()) - start);
    setText(old.left(start) + with + old.mid(start + length));
    setSelection(start + int(with.size()), 0);
}

QString Pane::selectedText() const
{
    return text().mid(selStart(), selLength());
}

void Pane::replaceSelection(const QString &with)
{
    const int start = selStart();
    replaceRange(start, selLength(), with);
    setSelection(start, int(with.size()));
}

int Pane::currentLine() const
{
    return lineAtOffset(text(), selStart());
}

QString Pane::currentLineText() const
{
    const QString t = text();
    const int line = lineAtOffset(t, selStart());
    const int begin = lineStartOffset(t, line);
    if (begin >= t.size())
        return QString();
    qsizetype end = t.indexOf(u"\r\n", begin);
    if (end < 0)
        end = t.size();
    return t.mid(begin, end - begin);
}

int Pane::lineCount() const
{
    return ::lineCount(text());
}

bool Pane::holdsLine(const QString &line) const
{
    return textHoldsLine(text(), line);
}

int Pane::deleteLines(const QString &line)
{
    const QStringList lines = splitLines(text());
    QStringList kept;
    kept.reserve(lines.size());
    for (const QString &l : lines)
        if (l != line)
            kept.append(l);
    const int dropped = int(lines.size() - kept.size());
    if (dropped > 0)
        setText(joinLines(kept));
    return dropped;
}

int Pane::replaceLines(const QString &from, const QString &to)
{
    QStringList lines = splitLines(text());
    int replaced = 0;
    for (QString &l : lines)
        if (l == from) {
            l = to;
            ++replaced;
        }
    if (replaced > 0)
        setText(joinLines(lines));
    return replaced;
}

bool textHoldsLine(const QString &text, const QString &line)
{
    // Inside a pane CR LF is the only break, so a line is bounded by breaks or the text's ends.
    const QString breakLine = QStringLiteral("\r\n") + line;
    if (text.startsWith(line)
        && (text.size() == line.size()
            || QStringView(text).sliced(line.size()).startsWith(u"\r\n")))
        return !text.isEmpty();
    if (text.contains(breakLine + QStringLiteral("\r\n")))
        return true;
    // "…\r\n" + line at the very end; an empty line needs a break after it to exist.
    return !line.isEmpty() && text.endsWith(breakLine);
}

MemoryPane::MemoryPane(const QString &text)
    : m_text(normalizeBreaks(text))
{
}

void MemoryPane::setText(const QString &text)
{
    m_text = normalizeBreaks(text);
    m_start = 0;
    m_length = 0;
}

void MemoryPane::setSelection(int start, int length)
{
    m_start = std::clamp(start, 0, int(m_text.size()));
    m_length = std::clamp(length, 0, int(m_text.size()) - m_start);
}

void MemoryPane::replaceRange(int start, int length, const QString &with)
{
    start = std::clamp(start, 0, int(m_text.size()));
    length = std::clamp(length, 0, int(m_text.size()) - start);
    const QString inserted = normalizeBreaks(with);
    m_text.replace(start, length, inserted);
    m_start = start + int(inserted.size());
    m_length = 0;
}

int lineStartOffset(const QString &text, int line)
{
    qsizetype offset = 0;
    for (int i = 0; i < line; ++i) {
        const qsizetype brk = text.indexOf(u"\r\n", offset);
        if (brk < 0)
            return int(text.size());
        offset = brk + 2;
    }
    return int(offset);
}

int lineAtOffset(const QString &text, int offset)
{
    offset = std::clamp(offset, 0, int(text.size()));
    int line = 0;
    const QChar *data = text.constData();
    for (int i = 0; i < offset; ++i)
        if (data[i] == u'\n')
            ++line;
    return line;
}
