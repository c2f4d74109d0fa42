#pragma once

#include "compare/autoactions.h"
#include "compare/comparison.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class Pane;
struct FindOptions;
struct FindOutcome;

/// The kind of a list slot's box; the numbers are those of the current box kind.
enum class BoxKind { Source = 1, Unique = 2, Absent = 3, Shared = 4 };

/// A box of the workspace: a list slot's box (index 1..10 with its kind), or one of the
/// three lone boxes (the kind then plays no part).
struct BoxId
{
    static constexpr int Common = -1;
    static constexpr int Merged = -2;
    static constexpr int ListWindow = -3;
    int index = 1;
    BoxKind kind = BoxKind::Source;
    bool isSlot() const { return index >= 1; }
    friend bool operator==(const BoxId &a, const BoxId &b)
    {
        return a.index == b.index && (!a.isSlot() || a.kind == b.kind);
    }
};

/// The panes a workspace works on; the window gives its editors, tests memory panes.
struct WorkspacePanes
{
    std::array<Pane *, ComparisonResult::MaxLists> source{};
    std::array<Pane *, ComparisonResult::MaxLists> unique{};
    std::array<Pane *, ComparisonResult::MaxLists> absent{};
    std::array<Pane *, ComparisonResult::MaxLists> shared{};
    Pane *common = nullptr;
    Pane *merged = nullptr;
    Pane *listWindow = nullptr;
};

/// How the highlighting shows a box after a click.
enum class BoxShade {
    Current,  // the current box: white
    Holding,  // holds a line equal to the caret line: light yellow
    Lacking,  // holds no such line: light grey
};

struct Highlighting
{
    QString status;  // " Текущая строка: " and the caret line
    std::vector<std::pair<BoxId, BoxShade>> shades;
};

/// A list file as the open dialog loaded it: the name shown (no folder) and its text, as the
/// pane would show it or with breaks of any kind (the automatic actions cut it into lines).
struct LoadedList
{
    QString fileName;
    QString text;
};

/// The comparison workspace behind the main window: ten list slots of which the first N are
/// in use, the common and merged boxes, the current box, the automatic actions and the global
/// replace pair. Every command acts on panes and reports captions and states by signal.
///
/// The panes answer line counts, caret lines and "does it hold this line" themselves, so
/// that a click or a count refresh never reads a whole box; StorePanes take a comparison's
/// results without copying them.
class ComparisonWorkspace final : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxLists = ComparisonResult::MaxLists;

    explicit ComparisonWorkspace(const WorkspacePanes &panes, QObject *parent = nullptr);
    ~ComparisonWorkspace() override;

    int listCount() const { return m_listCount; }
    /// Sets N (clamped to 2..10), empties the slots beyond it (N33Click), refreshes the counts.
    void setListCount(int count);

    QString name(int i) const { return m_names[i - 1]; }
    void setName(int i, const QString &name);
    /// The name of list i, or "Список i" when it has none.
    QString displayName(int i) const;

    AutoActionOptions options() const { return m_options; }
    void setOptions(const AutoActionOptions &options) { m_options = options; }

    /// Focusing a box: a slot box sets index and kind, a lone box only the index; then resolves.
    void focusBox(const BoxId &box);
    /// Resolves the current box (Memo3Click): an index beyond N falls back to list 1.
    void Memo3Click();
    BoxId currentBox() const;
    int currentSourceSlot() const { return m_sourceSlot; }
    Pane &pane(const BoxId &box) const;
    /// The text of a box as the workspace knows it.
    QString boxText(const BoxId &box) const;
    /// The number of lines of a box, as the count refresh reads it.
    int lineCountOf(const BoxId &box) const { return linesAt(slotOf(box)); }

    /// Loads up to ten files into lists 1.. and sets N to their number (2 for one file);
    /// files beyond the tenth are ignored. A box takes its text after the automatic actions,
    /// which cut it into lines as a box would. With "Сравнение списков" on the lists are
    /// compared once, after the last file: each file's comparison would be overwritten by
    /// the next.
    /// Each file's text is let go once it is in its box, so that the originals and the
    /// cleaned lists are not all held at once.
    void openFiles(QList<LoadedList> files);
    /// The pop-up "Открыть": the file replaces the current box. A source box also has its
    /// result boxes emptied and its slot renamed; other boxes leave the slots alone.
    void openIntoCurrent(const LoadedList &file);
    /// The text to save, after resolving the current box.
    QString textToSave();
    void saved();

    /// The whole current box, which becomes selected.
    QString copyText();
    /// The same, and the box is emptied.
    QString cutText();
    void paste(const QString &text);
    /// Empties the current box, and the result boxes of its slot when it is a source box.
    void clear();
    void process(ProcessingCommand command);

    /// Deletes every line equal to the caret line from the current box; nothing when the
    /// caret stands past the last line.
    void deleteRecord();
    /// The same in the merged, common and every box of the lists in use.
    void deleteEverywhere();
    /// The caret line, which becomes GLOBAL_REPLACE_FROM.
    QString startReplaceEverywhere();
    QString replaceFrom() const { return m_replaceFrom; }
    QString replaceTo() const { return m_replaceTo; }
    /// Stores the pair and turns every line equal to from into to in every box in use
    /// (N106Click); the message names the count.
    QString replaceEverywhere(const QString &from, const QString &to);

    FindOutcome find(const FindOptions &options);
    FindOutcome findFromReplace(const FindOptions &options);
    FindOutcome replaceOnce(const FindOptions &options);
    FindOutcome replaceAll(const FindOptions &options);

    /// The comparison of the lists in use (BitBtn1Click), then the count refresh.
    void BitBtn1Click();
    /// The automatic actions on the current box (N35Click).
    void N35Click();
    /// The count refresh (N34Click).
    void N34Click();
    /// Copies the current box into the list window while it is shown (N82Click).
    void N82Click();
    void setListWindowShown(bool shown);
    /// Decides the highlighting for the caret line of the current box (N93Click).
    Highlighting N93Click();

    /// The text the initial-form service gets, after resolving the current box.
    QString initialFormsRequestText();
    /// Puts the service's converted reply into the current box.
    void applyInitialForms(const QString &text);

signals:
    void countsRefreshed(const CountRefreshTexts &texts);
    void listCountChanged(int count);
    void nameChanged(int i, const QString &name);
    void listWindowCountChanged(const QString &status);  // "Записей: 12"

private:
    enum { CommonSlot = 4 * MaxLists, MergedSlot, ListWindowSlot, SlotCount };
    int slotOf(const BoxId &box) const;
    QString textAt(int slot) const;
    void setTextAt(int slot, const QString &text);
    int linesAt(int slot) const;
    bool isEmptyAt(int slot) const;
    Pane &current() const;
    /// The boxes that the everywhere commands and the highlighting visit, in their order.
    std::vector<BoxId> boxesInUse() const;
    void clearResults(int i);
    /// openFiles when the lists in use are the files and are compared once sorted without
    /// repeats.
    void openComparing(QList<LoadedList> files);
    /// Puts a comparison of the lists in use into the result boxes, then the count refresh.
    void showComparison(const std::shared_ptr<const ComparisonResult> &result);
    void refreshAfterEdit();
    QString caretLine(bool *onLine) const;

    std::array<Pane *, SlotCount> m_panes{};
    std::array<QString, MaxLists> m_names;
    int m_listCount = 2;
    int m_index = 1;
    BoxKind m_kind = BoxKind::Source;
    int m_sourceSlot = 1;
    AutoActionOptions m_options;
    QString m_replaceFrom;  // GLOBAL_REPLACE_FROM
    QString m_replaceTo;    // GLOBAL_REPLACE_TO
    bool m_listWindowShown = false;
};

/// A line as the status bar shows it: at most ShownLineUnits units, then "…".
inline constexpr int ShownLineUnits = 200;
QString cutForShow(const QString &line);
