#pragma once

#include <QString>
#include <QStringList>

// The automatic actions that clean a list when it is opened, and the processing commands
// of the "Обработка" menu.
//
// A window (or the workspace model) runs the automatic actions (N35Click) as
//     box.setText(joinLines(applyAutoActions(splitLines(box.text()), options)));
//     if (options.compare) compare the lists;
// and a processing command as box.setText(applyProcessing(command, box.text())), followed by
// the count refresh. The options are the items of "Действия при открытии файла".

/// "Регистр": the case choice; None when the settings deselected all three.
enum class CaseChoice { None, Upper, Lower, Capitalize };

/// Defaults are those used without a settings file: everything on, case lower.
struct AutoActionOptions
{
    bool trim = true;                    // TRIM
    bool deleteEmptyLines = true;        // DELETE_EMPTY_LINES
    bool changeCase = true;              // REGISTER
    CaseChoice caseChoice = CaseChoice::Lower;  // UPPERCASE / LOWERCASE / CAPITALIZE
    bool sort = true;                    // SORT
    bool deleteRepeatingLines = true;    // DELETE_REPEATING_LINES
    bool compare = true;                 // COMPARE: the caller compares afterwards
};

/// Trims, drops empty lines, changes case, sorts and drops repeated lines, in that order,
/// each step only when its option is on. The comparison is left to the caller.
QStringList applyAutoActions(const QStringList &lines, const AutoActionOptions &options);

/// The same on a box text, giving the box text (each line followed by CR LF). With sorting
/// and the removal of repeats both on, the sorted distinct lines are the comparison engine's
/// merged list of the text, which a million lines reach in a fraction of the time a sort of
/// strings takes.
QString applyAutoActionsToText(const QString &text, const AutoActionOptions &options);

/// The actions up to the sort: trimming, dropping empty lines and changing case, each only
/// when its option is on; the text comes back with every line followed by CR LF.
QString cleanListText(const QString &text, const AutoActionOptions &options);

/// Removes from both ends of every line the characters at U+0020 and below (spaces, tabs
/// and other control characters); other Unicode spaces stay.
QStringList trimLines(const QStringList &lines);
/// Converts every line by the case choice; None leaves the lines as they are.
QStringList changeLinesCase(const QStringList &lines, CaseChoice choice);

/// The commands of "Обработка" and of the boxes' pop-up menu.
enum class ProcessingCommand {
    Trim,                 // "Удаление ведущих и завершающих пробелов"
    DeleteEmptyLines,     // "Удаление пустых строк": lines of blanks stay
    DeleteRepeatedLines,  // "Удаление повторяющихся строк": leading empty lines go too
    UpperCase,            // "ВЕРХНИЙ": the whole text
    LowerCase,            // "нижний": the whole text
    Capitalize,           // "Первая заглавная": every line
    Sort,                 // "Сортировка"
    Reverse,              // "Обратный порядок" / "Поменять порядок"
};
/// The box text after the command: every line followed by CR LF, except that the case
/// commands change the letters and keep the text as it stands.
QString applyProcessing(ProcessingCommand command, const QString &text);
