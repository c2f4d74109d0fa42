#include "common/findreplace.h"

#include "common/linelist.h"
#include "common/pane.h"
#include "common/textlines.h"

QString replacedMessage(int count)
{
    return QStringLiteral("Произведено замен: ") + QString::number(count);
}

namespace {

// The walk shared by both dialogs' find-next; offset is added to the caret.
FindOutcome findWalk(const FindOptions &o, Pane &pane, int offset)
{
    const QString text = pane.text();
    const int L = int(text.size());
    const int m = int(o.text.size());
    for (;;) {
        const int start = pane.selStart();
        const int found = FindPos(text, o.text, start + offset, o.down, o.matchCase, o.wholeWord);
        if (found < 0)
            return {true, NotFoundMessage, false};
        if (found - 1 != start || pane.selLength() != m) {
            pane.setSelection(found - 1, m);
            return {false, QString(), true};
        }
        // The match is what is already selected: step the caret past it and look
        // again. The step leaves no selection, so the next round always selects.
        if (o.down)
            pane.setSelection(start >= L - 1 ? 0 : start + 1, 0);
        else
            pane.setSelection(start <= 0 ? L - 1 : start - 1, 0);
    }
}

bool sameText(const QString &a, const QString &b, bool matchCase)
{
    return matchCase ? a == b : toUpperSimple(a) == toUpperSimple(b);
}

} // namespace

FindOutcome FindDialog1Find(const FindOptions &options, Pane &pane)
{
    return findWalk(options, pane, 0);
}

FindOutcome ReplaceDialog1Find(const FindOptions &options, Pane &pane)
{
    return findWalk(options, pane, 1);
}

FindOutcome ReplaceDialog1Replace(const FindOptions &options, Pane &pane)
{
    FindOutcome outcome;
    if (!sameText(pane.selectedText(), options.text, options.matchCase))
        outcome = ReplaceDialog1Find(options, pane);
    if (!options.text.isEmpty() && sameText(pane.selectedText(), options.text, options.matchCase))
        pane.replaceSelection(options.replacement);
    outcome.focusPane = true;
    return outcome;
}

FindOutcome ReplaceDialog1ReplaceAll(const FindOptions &options, Pane &pane)
{
    const Replaced r = ReplaceAll(pane.text(), options.text, options.replacement,
                                  options.matchCase, options.wholeWord);
    pane.setText(r.text);
    return {false, r.count > 0 ? replacedMessage(r.count) : NothingReplacedMessage, false};
}
