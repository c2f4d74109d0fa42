#pragma once

#include <QString>
#include <QStringList>

// The list operations every tool offers. Values in, values out.

/// Ascending ordinal order.
QStringList SortList(const QStringList &lines);
QStringList ReverseList(const QStringList &lines);
/// Drops each line equal to the line before it; the line before the first counts
/// as empty, so leading empty lines go as well.
QStringList DeleteRepeatedLines(const QStringList &lines);
/// Drops lines of length 0; a line of blanks stays.
QStringList DeleteEmptyLines(const QStringList &lines);
QString LowerCaseText(const QString &text);
QString UpperCaseText(const QString &text);
/// First character of each line raised, the rest lowered.
QStringList CapitalizeLines(const QStringList &lines);

/// True for the 31 word delimiters of whole-word search; false for an empty string.
bool isDelimeter(const QString &c);
bool isDelimeter(QChar c);

/// Position (from 1) of the first match in the cyclic walk from start, or -1.
int FindPos(const QString &text, const QString &pattern, int start, bool down, bool matchCase,
            bool wholeWord);

struct Replaced
{
    QString text;
    int count = 0;
};
/// Non-overlapping replacement from left to right; replacements are never rescanned.
/// An empty search text replaces nothing.
Replaced ReplaceAll(const QString &text, const QString &find, const QString &with, bool matchCase,
                    bool wholeWord);
