#include "compare/autoactions.h"

#include "common/linelist.h"
#include "common/textlines.h"
#include "compare/comparison.h"

#include <utility>

namespace {

bool isTrimmed(QChar c)
{
    return c.unicode() <= 0x20;
}

} // namespace

QStringList trimLines(const QStringList &lines)
{
    QStringList trimmed;
    trimmed.reserve(lines.size());
    for (const QString &line : lines) {
        qsizetype begin = 0;
        qsizetype end = line.size();
        while (begin < end && isTrimmed(line.at(begin)))
            ++begin;
        while (end > begin && isTrimmed(line.at(end - 1)))
            --end;
        trimmed.append(begin == 0 && end == line.size() ? line : line.mid(begin, end - begin));
    }
    return trimmed;
}

QStringList changeLinesCase(const QStringList &lines, CaseChoice choice)
{
    switch (choice) {
    case CaseChoice::None:
        return lines;
    case CaseChoice::Capitalize:
        return CapitalizeLines(lines);
    case CaseChoice::Upper:
    case CaseChoice::Lower:
        break;
    }
    QStringList changed;
    changed.reserve(lines.size());
    for (const QString &line : lines)
        changed.append(choice == CaseChoice::Upper ? toUpperSimple(line) : toLowerSimple(line));
    return changed;
}

QStringList applyAutoActions(const QStringList &lines, const AutoActionOptions &options)
{
    QStringList result = lines;
    if (options.trim)
        result = trimLines(result);
    if (options.deleteEmptyLines)
        result = DeleteEmptyLines(result);
    if (options.changeCase)
        result = changeLinesCase(result, options.caseChoice);
    if (options.sort)
        qSortI(result);
    if (options.deleteRepeatingLines)
        result = DeleteRepeatedLines(result);
    return result;
}

QString cleanListText(const QString &text, const AutoActionOptions &options)
{
    // Trimming and dropping empty lines in one pass over the text, with no string per line.
    QString cleaned;
    cleaned.reserve(text.size() + 2);
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    for (qsizetype begin = 0; begin < size;) {
        qsizetype end = begin;
        while (end < size && data[end] != u'\r' && data[end] != u'\n')
            ++end;
        const qsizetype next =
            end + (end + 1 < size && data[end] == u'\r' && data[end + 1] == u'\n' ? 2 : 1);
        qsizetype first = begin;
        qsizetype last = end;
        if (options.trim) {
            while (first < last && isTrimmed(data[first]))
                ++first;
            while (last > first && isTrimmed(data[last - 1]))
                --last;
        }
        if (!(options.deleteEmptyLines && first == last)) {
            cleaned.append(QStringView(data + first, last - first));
            cleaned.append(u"\r\n");
        }
        begin = next;
    }
    if (options.changeCase) {
        // Upper and lower case map one unit to one, breaks to themselves.
        if (options.caseChoice == CaseChoice::Upper)
            cleaned = toUpperSimple(std::move(cleaned));
        else if (options.caseChoice == CaseChoice::Lower)
            cleaned = toLowerSimple(std::move(cleaned));
        else if (options.caseChoice == CaseChoice::Capitalize)
            cleaned = joinLines(CapitalizeLines(splitLines(cleaned)));
    }
    return cleaned;
}

QString applyAutoActionsToText(const QString &text, const AutoActionOptions &options)
{
    const QString cleaned = cleanListText(text, options);
    if (!options.sort && !options.deleteRepeatingLines)
        return cleaned;
    if (!options.sort || !options.deleteRepeatingLines) {
        AutoActionOptions rest;
        rest.trim = rest.deleteEmptyLines = rest.changeCase = false;
        rest.sort = options.sort;
        rest.deleteRepeatingLines = options.deleteRepeatingLines;
        return joinLines(applyAutoActions(splitLines(cleaned), rest));
    }
    // An empty list still counts as one of the lists; the merged list is then this one's.
    QString merged = CompareLists(QStringList{cleaned, QString()}).mergedText();
    // The empty line sorts first, and the removal of repeats drops empty lines at the start.
    if (merged.startsWith(u"\r\n"))
        merged.remove(0, 2);
    return merged;
}

QString applyProcessing(ProcessingCommand command, const QString &text)
{
    switch (command) {
    case ProcessingCommand::UpperCase:
        return UpperCaseText(text);
    case ProcessingCommand::LowerCase:
        return LowerCaseText(text);
    case ProcessingCommand::Trim:
        return joinLines(trimLines(splitLines(text)));
    case ProcessingCommand::DeleteEmptyLines:
        return joinLines(DeleteEmptyLines(splitLines(text)));
    case ProcessingCommand::DeleteRepeatedLines:
        return joinLines(DeleteRepeatedLines(splitLines(text)));
    case ProcessingCommand::Capitalize:
        return joinLines(CapitalizeLines(splitLines(text)));
    case ProcessingCommand::Sort:
        return joinLines(SortList(splitLines(text)));
    case ProcessingCommand::Reverse:
        return joinLines(ReverseList(splitLines(text)));
    }
    return text;
}
