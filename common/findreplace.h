#pragma once

#include <QString>

class Pane;

/// What the find and replace dialogs hold.
struct FindOptions
{
    QString text;
    QString replacement;
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

/// What a find or replace step asks of the window after it changed the pane.
struct FindOutcome
{
    bool beep = false;
    QString message;      // a modal message to show, empty for none
    bool focusPane = false;
};

inline const QString NotFoundMessage = QStringLiteral("Искомая строка не найдена");
inline const QString NothingReplacedMessage = QStringLiteral("Заданная строка не найдена!");
QString replacedMessage(int count);  // "Произведено замен: N"

/// Find next from the caret; selects the match. Wraps around the ends; an empty
/// search text finds nothing.
FindOutcome FindDialog1Find(const FindOptions &options, Pane &pane);
/// The same, starting one character past the caret.
FindOutcome ReplaceDialog1Find(const FindOptions &options, Pane &pane);
/// Replace once: finds first unless the selection already is the search text.
FindOutcome ReplaceDialog1Replace(const FindOptions &options, Pane &pane);
/// Replace all over the whole text; the caret and direction play no part.
FindOutcome ReplaceDialog1ReplaceAll(const FindOptions &options, Pane &pane);
