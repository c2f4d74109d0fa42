#pragma once

#include "compare/storepane.h"

#include <QAbstractScrollArea>

/// A box of Cambrel's windows: shows a StorePane and edits it, laying out only the rows in
/// sight.
///
/// Why a QAbstractScrollArea of our own rather than a QListView over a model: a box is a
/// text with a caret and a selection that runs across lines (typing, pasting, find and
/// replace select characters, not rows), which an item view would have to fake with an
/// editor per row; and a list view still asks the model for every row's size unless told
/// the rows are uniform, and then keeps per-row state of its own. Here a row is one line of
/// the store, all rows are one font line high, so the scroll range is the row count and a
/// paint reads only the lines it shows, and of each line only the characters in sight (a
/// line of megabytes costs what a short one does). Horizontal scrolling counts characters.
class LineBoxView final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit LineBoxView(QWidget *parent = nullptr);

    StorePane &pane() { return m_pane; }
    const StorePane &pane() const { return m_pane; }
    /// The box text with LF breaks, as a plain text editor would give it.
    QString plainText() const;
    /// Where row shows in the viewport (scrolled into sight first).
    QRect rowRect(int row);
    /// The row and column under a viewport point.
    TextPoint pointAt(const QPoint &at) const;
    void ensureCaretVisible();
    int firstVisibleRow() const;

signals:
    /// Files were dropped on the box.
    void filesDropped(const QStringList &paths);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int rowHeight() const;
    int visibleRows() const;
    int visibleColumns() const;
    /// The characters of a row that a paint may show, from the first column in sight.
    QStringView shownPart(int row) const;
    int columnX(int row, int column) const;
    void updateScrollBars();
    void copySelection();
    void selectAll();
    void cut();
    void paste();

    StorePane m_pane;
    bool m_selecting = false;
    int m_widestRow = 0;  // columns of the widest row seen so far
};
