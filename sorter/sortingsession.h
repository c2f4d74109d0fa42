#pragma once

#include "common/undoring.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>

class Pane;

/// One sorting job: a source pane, ten list panes, their button names, the
/// visible list count and the undo ring of the eleven texts.
class SortingSession final : public QObject
{
    Q_OBJECT
public:
    static constexpr int ListCount = 10;
    static constexpr int MinVisibleLists = 2;
    static constexpr int HistorySlots = 10;

    enum class Move { Top, Up, Down, Bottom };
    /// The text commands of the source pane and of the list panes' menu.
    enum class TextOperation {
        UpperCase,
        LowerCase,
        DeleteEmptyLines,
        SortLines,
        DeleteRepeatedLines,
        Clear
    };

    SortingSession(Pane &source, const std::array<Pane *, ListCount> &lists,
                   QObject *parent = nullptr);

    /// Sends the source selection verbatim, or else the top source line, to list k
    /// (from 1) and records a snapshot; nothing when the source is empty.
    void SendToList(int k);
    /// Deletes the source selection, or else the top line, and records a snapshot;
    /// nothing but a caption refresh when the source is empty.
    void DeleteTopLine();
    /// Moves the caret line of the current list and selects it in its new place;
    /// records nothing. Lists of fewer than two lines and a caret after the final
    /// line break stay as they are; the list takes the focus in every case.
    void MoveLine(Move where);
    void ClearAllLists();
    /// Empties the source, then clears all lists (one snapshot).
    void NewSession();
    void RecordSnapshot();
    /// Restores the texts before the newest snapshot; nothing with fewer than two.
    /// A restored pane keeps its selection where it still fits, else the caret goes
    /// to the start.
    void Undo();
    void ResetHistory();
    int heldSnapshots() const { return m_history.held(); }

    void applyToSource(TextOperation operation);
    void applyToCurrentList(TextOperation operation);
    /// Puts a file's text into the source and starts the history from it.
    void loadSource(const QString &path, const QString &text);

    Pane &source() const { return m_source; }
    Pane &list(int k) const;
    /// The source text, then the ten list texts: the contents of a snapshot.
    QStringList texts() const;

    QString buttonName(int k) const;
    void setButtonName(int k, const QString &name);
    void setStandardButtonNames();
    static QString standardButtonName();

    int visibleListCount() const { return m_visibleListCount; }
    /// Values outside 2..10 are ignored.
    void setVisibleListCount(int count);
    bool isListShown(int k) const;

    /// The list that list commands act on: the one that last had the focus.
    int currentList() const { return m_currentList; }
    void setCurrentList(int k);
    /// Selects the whole text of the current list and returns it.
    QString selectAllOfCurrentList();

    /// Frame captions: k = 0 is the source, 1..10 the lists.
    QString lineCountCaption(int k) const;
    static QString initialCaption(int k);

    QString windowCaption() const;
    /// The file last opened or saved, shown in the window caption.
    void setDocumentPath(const QString &path);

signals:
    void lineCountChanged(int k);
    void buttonNameChanged(int k);
    void visibleListCountChanged(int count);
    void windowCaptionChanged();

private:
    void apply(Pane &pane, TextOperation operation);
    void restore(const QStringList &texts);

    Pane &m_source;
    std::array<Pane *, ListCount> m_lists;
    std::array<QString, ListCount> m_buttonNames;
    int m_visibleListCount = 5;
    int m_currentList = 1;
    QString m_documentPath;
    UndoRing m_history;
};

/// Where list frame index (from 0) lies in a list area of the given size with
/// count lists shown: equal columns of area width div count, 3 pixels in.
QRect listFrameRect(int index, int count, const QSize &area);
