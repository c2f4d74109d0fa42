#pragma once

#include "common/textfile.h"
#include "compare/statistics.h"

#include <QMainWindow>

class ComparisonWorkspace;
class QLabel;
class QMenu;
class QTableView;
class StatisticsGridModel;

/// What the two statistics windows share: the grid over a StatisticsTable, the status bar,
/// the menus "Файл" / "Сохранить" and "Редактирование" / "Копировать" and the sort menu.
class StatisticsWindow : public QMainWindow
{
    Q_OBJECT
public:
    StatisticsWindow(const QString &caption, const ComparisonWorkspace &workspace,
                     QWidget *parent = nullptr);
    ~StatisticsWindow() override;

    /// Shows the window (or brings it forward) and builds its table.
    void open();
    virtual void build() = 0;

    const StatisticsTable &table() const { return m_table; }
    QTableView *grid() const { return StringGrid1; }
    QString statusText(int panel) const;

    void copyClick();
    void saveClick();

protected:
    void setTable(const StatisticsTable &table);
    void sortBy(int column);
    void reverseRows();
    QMenu *sortMenu() const { return m_sortMenu; }
    QAction *addSortItem(const QString &text, int column);

    const ComparisonWorkspace &m_workspace;

private:
    void showCells();

    StatisticsTable m_table;
    QTableView *StringGrid1;
    StatisticsGridModel *m_model;
    QLabel *m_wordsPanel;
    QLabel *m_listsPanel;
    QMenu *m_sortMenu;
    int m_saveEncoding = int(TextEncoding::UTF8);
};
