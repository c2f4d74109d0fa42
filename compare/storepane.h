#pragma once

#include "common/pane.h"
#include "compare/comparison.h"
#include "compare/linestore.h"

#include <QObject>

#include <memory>
#include <vector>

/// Where a caret or a selection end stands: a row and a column in it.
struct TextPoint
{
    int row = 0;
    int column = 0;
    friend bool operator==(const TextPoint &, const TextPoint &) = default;
    friend auto operator<=>(const TextPoint &, const TextPoint &) = default;
};

/// A box of Cambrel as the models see it: a LineStore with a selection. A comparison's
/// result goes in without being copied (setResult), and while a box still holds what a
/// comparison saw, the comparison answers which lines it holds, so that a click looks a line
/// up in forty boxes of millions of lines by binary search. Any edit ends that.
///
/// The selection is kept as rows and columns, so clicks and the caret line of a picked
/// store never build its text; offsets (the Pane side) make the store whole first.
class StorePane final : public QObject, public Pane
{
    Q_OBJECT
public:
    StorePane() = default;

    QString text() const override { return m_store.text(); }
    void setText(const QString &text) override;
    int selStart() const override;
    int selLength() const override;
    void setSelection(int start, int length) override;
    void replaceRange(int start, int length, const QString &with) override;
    void focus() override { emit focusWanted(); }
    int textLength() const override { return int(m_store.textLength()); }
    int currentLine() const override { return std::min(m_anchor, m_caret).row; }
    QString currentLineText() const override;
    int lineCount() const override { return m_store.lineCount(); }
    bool holdsLine(const QString &line) const override;
    int deleteLines(const QString &line) override;
    int replaceLines(const QString &from, const QString &to) override;
    void setTextOf(const Pane &other) override;

    /// Takes a text whose only breaks are CR LF with its lines' starts already found.
    void setLines(const QString &text, std::vector<std::uint32_t> starts);
    /// Shows result box (box, i) of a comparison, sharing its texts where it can.
    void setResult(const std::shared_ptr<const ComparisonResult> &result,
                   ComparisonResult::Box box, int i = 0);
    /// Notes that this box, as it stands, was compared as list i of result.
    void setCompared(const std::shared_ptr<const ComparisonResult> &result, int i);

    const LineStore &store() const { return m_store; }
    TextPoint caret() const { return m_caret; }
    TextPoint anchor() const { return m_anchor; }
    bool hasSelection() const { return m_caret != m_anchor; }
    /// Moves the caret to point (clamped to the text); with keepAnchor the selection
    /// stretches from the anchor, otherwise it is dropped.
    void moveCaret(TextPoint point, bool keepAnchor = false);
    /// Replaces the selection by text (typing, pasting, deleting); the caret ends after it.
    void typeText(const QString &text);
    /// Deletes the selection, or one character before (back) or after the caret.
    void deleteCharacter(bool back);
    /// Takes back the last edit of the text in place (typing, pasting, deleting, a single
    /// replacement; a run of characters typed, or erased with Backspace or Delete, is one
    /// edit) and puts back the selection it had. The last hundred edits are kept. A change of
    /// the whole text (opening, comparing, a command over every line) starts the history
    /// afresh. False when there is nothing to take back.
    bool undo();
    /// Makes the edit taken back last once more; any new edit ends what can be redone.
    bool redo();
    QString selectedRowsText() const { return selectedText(); }
    TextPoint pointAt(qsizetype offset) const;
    qsizetype offsetOf(TextPoint point) const;

signals:
    /// The text changed; the view lays out again.
    void changed();
    /// The caret or selection moved.
    void caretMoved();
    void focusWanted();

private:
    // An edit in place: at start, removed gave way to inserted; the selection before it.
    struct Edit
    {
        qsizetype start = 0;
        QString removed;
        QString inserted;
        TextPoint anchor;
        TextPoint caret;
        // One character typed or erased, which the next one typed or erased next to it joins.
        enum Kind { Other, Typed, Erased } kind = Other;
    };
    static constexpr std::size_t MaxEdits = 100;

    TextPoint clamped(TextPoint point) const;
    const LineStore &wholeStore() const;
    void replaceStore(LineStore store);

    mutable LineStore m_store;
    TextPoint m_anchor;
    TextPoint m_caret;
    // The comparison this box's text took part in, while unedited.
    std::shared_ptr<const ComparisonResult> m_result;
    ComparisonResult::Box m_box = ComparisonResult::Box::Merged;
    int m_list = 0;
    bool m_isSource = false;
    std::vector<Edit> m_done;    // oldest first
    std::vector<Edit> m_undone;  // the edit taken back last at the end
};
