#include "builder/tform6.h"

#include "builder/workspace.h"
#include "common/screenfit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TForm6::TForm6(Workspace &workspace, QWidget *parent)
    : QWidget(parent, Qt::Window), m_workspace(workspace)
{
    setWindowTitle(u"Словосочетания"_s);
    // The column widths are measured for an 11-pixel type; in a larger one the
    // frequency column loses its caption.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    for (int k = 0; k < NgramView::GridCount; ++k) {
        GroupBox[k] = new QGroupBox(this);
        auto *inner = new QVBoxLayout(GroupBox[k]);
        inner->setContentsMargins(2, 2, 2, 2);
        StringGrid[k] = new QTableWidget(GroupBox[k]);
        StringGrid[k]->verticalHeader()->hide();
        StringGrid[k]->setEditTriggers(QAbstractItemView::NoEditTriggers);
        StringGrid[k]->setSelectionMode(QAbstractItemView::SingleSelection);
        StringGrid[k]->verticalHeader()->setDefaultSectionSize(
            StringGrid[k]->fontMetrics().height() + 6);
        inner->addWidget(StringGrid[k]);
        layout->addWidget(GroupBox[k], k == 2 ? 1 : 0);
        connect(StringGrid[k], &QTableWidget::cellDoubleClicked, this,
                [this, k](int row, int column) { StringGridDblClick(k, row, column); });
        const NgramGrid &grid = m_workspace.ngramView().grid(k);
        StringGrid[k]->setColumnCount(int(grid.headers.size()));
        StringGrid[k]->setHorizontalHeaderLabels(grid.headers);
        const int widths[] = {35, 90, 90, 90, 50};
        for (int c = 0; c < grid.headers.size(); ++c)
            StringGrid[k]->setColumnWidth(
                c, c == grid.headers.size() - 1 ? widths[4] : widths[c]);
    }
    connect(&m_workspace, &Workspace::viewsRefreshed, this, &TForm6::showGrids);
    showGrids();
    resize(997, 299);
}

void TForm6::showGrids()
{
    for (int k = 0; k < NgramView::GridCount; ++k) {
        const NgramGrid &grid = m_workspace.ngramView().grid(k);
        GroupBox[k]->setTitle(grid.caption);
        QTableWidget *table = StringGrid[k];
        table->setRowCount(int(grid.rows.size()));
        for (int r = 0; r < grid.rows.size(); ++r)
            for (int c = 0; c < grid.rows[r].size(); ++c) {
                auto *item = new QTableWidgetItem(grid.rows[r][c]);
                // The numbering column is fixed, as the header row is.
                if (c == 0) {
                    item->setFlags(Qt::ItemIsEnabled);
                    item->setBackground(table->palette().button());
                }
                table->setItem(r, c, item);
            }
    }
}

void TForm6::StringGridDblClick(int grid, int row, int column)
{
    if (column == 0)
        return;
    const QTableWidgetItem *item = StringGrid[grid]->item(row, column);
    m_workspace.addInitialFormOf(item ? item->text() : QString());
}

void TForm6::showEvent(QShowEvent *event)
{
    if (const QWidget *main = parentWidget()) {
        const QRect frame = main->frameGeometry();
        move(frame.left(), frame.top() + frame.height());
    }
    keepOnScreen(this);
    m_workspace.setNgramViewShown(true);
    QWidget::showEvent(event);
}

void TForm6::hideEvent(QHideEvent *event)
{
    m_workspace.setNgramViewShown(false);
    QWidget::hideEvent(event);
}

void TForm6::resizeEvent(QResizeEvent *event)
{
    for (int k = 0; k < 2; ++k)
        GroupBox[k]->setFixedWidth(NgramView::pairGroupWidth(width()));
    QWidget::resizeEvent(event);
}
