#pragma once

#include <QString>

// The sorter's text model. A pane text is a run of lines, each followed by CR LF
// except perhaps the last; removing a line takes its break with it. These rules
// keep a text without a final break without one, as the user left it.

/// The text added at the end of text to append line: line and CR LF after an empty
/// text or one that ends with CR LF, else CR LF and line (no final break then).
QString appendedPart(const QString &text, const QString &line);
QString appendLine(const QString &text, const QString &line);
/// Line followed by CR LF put before line index; at the line count it is appendLine.
QString insertLine(const QString &text, int index, const QString &line);
/// Removes line index and the CR LF after it, if one follows.
QString deleteLine(const QString &text, int index);
/// Takes line from, deletes it, and inserts it at index to.
QString moveLine(const QString &text, int from, int to);
/// Characters of line index without its break; empty past the last line.
QString lineText(const QString &text, int index);

/// Every line of length 0 deleted as deleteLine does; a line of blanks stays.
QString deleteEmptyLinesKeepingBreaks(const QString &text);
/// Each line equal to the line just before it deleted; line 0 always stays, so
/// only runs of neighbours shrink to their first line.
QString deleteNeighbourRepeats(const QString &text);
/// The lines in ordinal order, each followed by CR LF; empty stays empty.
QString sortLines(const QString &text);

/// The text with the platform's line breaks, for the clipboard: CR LF on Windows,
/// LF elsewhere.
QString withPlatformBreaks(const QString &text);
