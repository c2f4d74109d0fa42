#include "compare/lineboxview.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int Margin = 3;
} // namespace

LineBoxView::LineBoxView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAcceptDrops(true);
    setAcceptDrops(true);
    verticalScrollBar()->setSingleStep(1);
    connect(&m_pane, &StorePane::changed, this, [this] {
        m_widestRow = 0;
        updateScrollBars();
        viewport()->update();
    });
    // A find or a command that moves the caret brings it into sight, as a click does.
    connect(&m_pane, &StorePane::caretMoved, this, &LineBoxView::ensureCaretVisible);
    connect(&m_pane, &StorePane::focusWanted, this, [this] { setFocus(); });
    updateScrollBars();
}

QString LineBoxView::plainText() const
{
    QString text = m_pane.text();
    text.replace(u"\r\n"_s, u"\n"_s);
    return text;
}

int LineBoxView::rowHeight() const
{
    return fontMetrics().height();
}

int LineBoxView::visibleRows() const
{
    return std::max(viewport()->height() / rowHeight(), 1);
}

int LineBoxView::visibleColumns() const
{
    return std::max((viewport()->width() - Margin) / std::max(fontMetrics().averageCharWidth(), 1),
                    1);
}

int LineBoxView::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

QStringView LineBoxView::shownPart(int row) const
{
    const LineStore &store = m_pane.store();
    if (row >= store.lineCount())
        return {};
    const QStringView line = store.line(row);
    const int first = horizontalScrollBar()->value();
    if (first >= line.size())
        return {};
    // Narrow characters are at least a third of the average wide.
    return line.sliced(first).left(qsizetype(visibleColumns()) * 3 + 2);
}

int LineBoxView::columnX(int row, int column) const
{
    const int first = horizontalScrollBar()->value();
    if (column < first)
        return -1;
    const QStringView part = shownPart(row);
    const int inPart = std::min(column - first, int(part.size()));
    return Margin + fontMetrics().horizontalAdvance(part.left(inPart).toString());
}

void LineBoxView::updateScrollBars()
{
    const LineStore &store = m_pane.store();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, std::max(store.rowCount() - visibleRows(), 0));
    vertical->setPageStep(visibleRows());
    // Only rows in sight are measured: the range grows as wider rows come into sight.
    const int first = firstVisibleRow();
    const int last = std::min(first + visibleRows() + 1, store.lineCount());
    for (int row = first; row < last; ++row)
        m_widestRow = std::max(m_widestRow, int(store.line(row).size()));
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(m_widestRow - visibleColumns() + 2, 0));
    horizontal->setPageStep(visibleColumns());
}

void LineBoxView::scrollContentsBy(int, int)
{
    updateScrollBars();
    viewport()->update();
}

void LineBoxView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LineBoxView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const LineStore &store = m_pane.store();
    const int height = rowHeight();
    const int first = firstVisibleRow();
    const int last = std::min(first + visibleRows() + 1, store.rowCount());
    const TextPoint from = std::min(m_pane.anchor(), m_pane.caret());
    const TextPoint to = std::max(m_pane.anchor(), m_pane.caret());
    const QColor highlight = palette().color(QPalette::Highlight);
    const int ascent = fontMetrics().ascent();
    for (int row = first; row < last; ++row) {
        const int y = (row - first) * height;
        const QStringView part = shownPart(row);
        if (m_pane.hasSelection() && row >= from.row && row <= to.row) {
            const int left = row == from.row ? columnX(row, from.column) : Margin;
            const int right = row == to.row ? columnX(row, to.column) : viewport()->width();
            if (right > left)
                painter.fillRect(QRect(std::max(left, 0), y, right - std::max(left, 0), height),
                                 highlight);
        }
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(Margin, y + ascent, part.toString());
    }
    if (hasFocus() && m_pane.caret().row >= first && m_pane.caret().row < last) {
        const int x = columnX(m_pane.caret().row, m_pane.caret().column);
        const int y = (m_pane.caret().row - first) * height;
        painter.fillRect(QRect(x, y, 1, height), palette().color(QPalette::Text));
    }
}

TextPoint LineBoxView::pointAt(const QPoint &at) const
{
    const LineStore &store = m_pane.store();
    const int row = std::clamp(firstVisibleRow() + at.y() / rowHeight(), 0, store.rowCount() - 1);
    const QStringView part = shownPart(row);
    int column = 0;
    int x = Margin;
    const QFontMetrics metrics = fontMetrics();
    while (column < part.size()) {
        const int advance = metrics.horizontalAdvance(part[column]);
        if (at.x() < x + advance / 2)
            break;
        x += advance;
        ++column;
    }
    return {row, horizontalScrollBar()->value() + column};
}

QRect LineBoxView::rowRect(int row)
{
    if (row < firstVisibleRow() || row >= firstVisibleRow() + visibleRows())
        verticalScrollBar()->setValue(row);
    return QRect(0, (row - firstVisibleRow()) * rowHeight(), viewport()->width(), rowHeight());
}

void LineBoxView::ensureCaretVisible()
{
    const TextPoint caret = m_pane.caret();
    QScrollBar *vertical = verticalScrollBar();
    updateScrollBars();
    if (caret.row < vertical->value())
        vertical->setValue(caret.row);
    else if (caret.row >= vertical->value() + visibleRows())
        vertical->setValue(caret.row - visibleRows() + 1);
    QScrollBar *horizontal = horizontalScrollBar();
    if (caret.column < horizontal->value())
        horizontal->setValue(std::max(caret.column - visibleColumns() / 2, 0));
    else if (caret.column > horizontal->value() + visibleColumns() - 1) {
        m_widestRow = std::max(m_widestRow, caret.column);
        updateScrollBars();
        horizontal->setValue(caret.column - visibleColumns() + 2);
    }
    viewport()->update();
}

void LineBoxView::copySelection()
{
    if (m_pane.hasSelection())
        QGuiApplication::clipboard()->setText(m_pane.selectedText());
}

void LineBoxView::selectAll()
{
    const LineStore &store = m_pane.store();
    const int last = store.rowCount() - 1;
    m_pane.moveCaret({0, 0});
    m_pane.moveCaret({last, last < store.lineCount() ? int(store.line(last).size()) : 0}, true);
}

void LineBoxView::cut()
{
    copySelection();
    m_pane.typeText(QString());
    ensureCaretVisible();
}

void LineBoxView::paste()
{
    m_pane.typeText(QGuiApplication::clipboard()->text());
    ensureCaretVisible();
}

void LineBoxView::keyPressEvent(QKeyEvent *event)
{
    const LineStore &store = m_pane.store();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    TextPoint caret = m_pane.caret();
    auto lengthOf = [&](int row) {
        return row < store.lineCount() ? int(store.line(row).size()) : 0;
    };
    auto move = [&](TextPoint to) {
        m_pane.moveCaret(to, shift);
        ensureCaretVisible();
    };
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    if (event == QKeySequence::Copy) {
        copySelection();
        return;
    }
    if (event == QKeySequence::Cut) {
        cut();
        return;
    }
    if (event == QKeySequence::Paste) {
        paste();
        return;
    }
    if (event == QKeySequence::Undo) {
        m_pane.undo();
        return;
    }
    if (event == QKeySequence::Redo || (control && event->key() == Qt::Key_Y)) {
        m_pane.redo();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        if (caret.column > 0)
            move({caret.row, caret.column - 1});
        else if (caret.row > 0)
            move({caret.row - 1, lengthOf(caret.row - 1)});
        return;
    case Qt::Key_Right:
        if (caret.column < lengthOf(caret.row))
            move({caret.row, caret.column + 1});
        else if (caret.row + 1 < store.rowCount())
            move({caret.row + 1, 0});
        return;
    case Qt::Key_Up:
        move({caret.row - 1, caret.column});
        return;
    case Qt::Key_Down:
        move({caret.row + 1, caret.column});
        return;
    case Qt::Key_PageUp:
        move({caret.row - visibleRows(), caret.column});
        return;
    case Qt::Key_PageDown:
        move({caret.row + visibleRows(), caret.column});
        return;
    case Qt::Key_Home:
        move(control ? TextPoint{0, 0} : TextPoint{caret.row, 0});
        return;
    case Qt::Key_End:
        if (control)
            move({store.rowCount() - 1, lengthOf(store.rowCount() - 1)});
        else
            move({caret.row, lengthOf(caret.row)});
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        m_pane.deleteCharacter(event->key() == Qt::Key_Backspace);
        ensureCaretVisible();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_pane.typeText(u"\r\n"_s);
        ensureCaretVisible();
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !control && text.front().isPrint()) {
        m_pane.typeText(text);
        ensureCaretVisible();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void LineBoxView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pane.moveCaret(pointAt(event->position().toPoint()),
                     event->modifiers() & Qt::ShiftModifier);
    m_selecting = true;
}

void LineBoxView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    m_pane.moveCaret(pointAt(event->position().toPoint()), true);
    ensureCaretVisible();
}

void LineBoxView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The whole line: a box's unit is the line.
    const TextPoint at = pointAt(event->position().toPoint());
    const LineStore &store = m_pane.store();
    m_pane.moveCaret({at.row, 0});
    if (at.row < store.lineCount())
        m_pane.moveCaret({at.row, int(store.line(at.row).size())}, true);
}

void LineBoxView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void LineBoxView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_selecting = false;
    viewport()->update();
}

void LineBoxView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void LineBoxView::dragMoveEvent(QDragMoveEvent *event)
{
    event->acceptProposedAction();
}

void LineBoxView::dropEvent(QDropEvent *event)
{
    const QMimeData *mime = event->mimeData();
    QStringList paths;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    if (!paths.isEmpty()) {
        event->acceptProposedAction();
        emit filesDropped(paths);
        return;
    }
    if (mime->hasText()) {
        event->acceptProposedAction();
        m_pane.moveCaret(pointAt(event->position().toPoint()));
        m_pane.typeText(mime->text());
    }
}
