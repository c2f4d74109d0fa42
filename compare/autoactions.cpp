#include "compare/autoactions.h"

#include "common/linelist.h"
#include "common/textlines.h"

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
