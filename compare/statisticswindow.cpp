#include "compare/statisticswindow.h"

#include "common/listfiledialog.h"
#include "common/screenfit.h"
#include "common/textlines.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int HeaderPadding = 10;
constexpr int MaxHeaderWidth = 400;
} // namespace

/// The grid's view of a StatisticsTable: the header row is the view's header, column 0
/// ("№") is shaded as the fixed column.
class StatisticsGridModel final : public QAbstractTableModel
{
public:
    StatisticsGridModel(const StatisticsTable &table, QObject *parent)
        : QAbstractTableModel(parent)
        , m_table(table)
    {
    }
    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : m_table.rowCount();
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : m_table.columnCount();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return m_table.cell(index.row(), index.column());
        if (role == Qt::BackgroundRole && index.column() == 0)
            return QGuiApplication::palette().button();
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if ((role == Qt::DisplayRole || role == Qt::ToolTipRole)
            && orientation == Qt::Horizontal)
            return m_table.header(section);
        return {};
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    const StatisticsTable &m_table;
};

StatisticsWindow::StatisticsWindow(const QString &caption, const ComparisonWorkspace &workspace,
                                   QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_workspace(workspace)
{
    setWindowTitle(caption);
    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(u"StringGrid1"_s);
    m_model = new StatisticsGridModel(m_table, this);
    StringGrid1->setModel(m_model);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 6);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setWordWrap(false);
    StringGrid1->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    setCentralWidget(StringGrid1);

    m_wordsPanel = new QLabel(this);
    m_listsPanel = new QLabel(this);
    statusBar()->addWidget(m_wordsPanel, 1);
    statusBar()->addWidget(m_listsPanel, 1);

    QMenu *file = menuBar()->addMenu(u"Файл"_s);
    file->addAction(u"Сохранить"_s, this, &StatisticsWindow::saveClick);
    QMenu *edit = menuBar()->addMenu(u"Редактирование"_s);
    edit->addAction(u"Копировать"_s, this, &StatisticsWindow::copyClick);
    m_sortMenu = menuBar()->addMenu(u"Сортировка"_s);
    resize(640, 480);
}

StatisticsWindow::~StatisticsWindow()
{
    // The grid asks its model for headers while it goes; the table must outlive it.
    delete StringGrid1;
}

void StatisticsWindow::open()
{
    show();
    raise();
    activateWindow();
    build();
}

QString StatisticsWindow::statusText(int panel) const
{
    return (panel == 0 ? m_wordsPanel : m_listsPanel)->text();
}

void StatisticsWindow::setTable(const StatisticsTable &table)
{
    m_table = table;
    const QStringList status = m_table.statusTexts();
    if (status.size() == 2) {
        m_wordsPanel->setText(status[0]);
        m_listsPanel->setText(status[1]);
    }
    showCells();
    // A header shows its whole text: list columns are told apart by their names. A name
    // too long even for that is cut, and the tooltip has it.
    int tableWidth = 0;
    const QFontMetrics metrics = StringGrid1->horizontalHeader()->fontMetrics();
    for (int c = 0; c < m_table.columnCount(); ++c) {
        const int headerWidth = metrics.horizontalAdvance(m_table.header(c)) + 2 * HeaderPadding;
        const int width = std::max(m_table.columnWidth(c), std::min(headerWidth, MaxHeaderWidth));
        StringGrid1->setColumnWidth(c, width);
        tableWidth += width;
    }
    // Wide enough for every column, as far as the screen allows.
    const int wanted = tableWidth + StringGrid1->verticalScrollBar()->sizeHint().width()
                       + 2 * StringGrid1->frameWidth() + 4;
    if (width() < wanted)
        resize(std::min(wanted, screen() ? screen()->availableGeometry().width() : wanted),
               height());
    keepOnScreen(this);
}

void StatisticsWindow::showCells()
{
    m_model->reset();
}

void StatisticsWindow::sortBy(int column)
{
    m_table.sort(column);
    showCells();
}

void StatisticsWindow::reverseRows()
{
    m_table.reverse();
    showCells();
}

QAction *StatisticsWindow::addSortItem(const QString &text, int column)
{
    return m_sortMenu->addAction(text, this, [this, column] { sortBy(column); });
}

void StatisticsWindow::copyClick()
{
    QGuiApplication::clipboard()->setText(joinLines(m_table.renderLines()));
}

void StatisticsWindow::saveClick()
{
    saveListFile(this, joinLines(m_table.renderLines()), &m_saveEncoding);
}
