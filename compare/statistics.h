#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The tables of the two statistics windows, "Статистика по словам" (TForm2) and
// "Статистика по спискам" (TForm3).
//
// A window builds its table from the workspace boxes (N12Click / N14Click):
//     m_table = buildWordStatistics(splitLines(Memo2 text), sources, names);
// then fills its grid: columnCount() columns with header(c) and columnWidth(c), one fixed
// header row and one fixed column, rowCount() data rows of cell(r, c); and writes
// statusTexts() into its status bar when not empty. A sort item calls sort(column) (the
// list sorts of TForm2 use listColumn(k)), "Обратный порядок" calls reverse(), and "По номеру
// списка" builds the table again; after each, the window shows the cells again. "Копировать"
// puts joinLines(renderLines()) on the clipboard; "Сохранить" passes renderLines() to
// SaveTextFile in the chosen encoding.

/// The line counts of one list's boxes and its name field, as the list table reads them.
struct ListBoxCounts
{
    QString name;
    int source = 0;
    int unique = 0;
    int absent = 0;
    int shared = 0;
};

/// A grid of text cells: a header row, then data rows. Column 0 ("№") holds the row numbers
/// 1, 2, 3 … and never moves; sorting and reversing move the cells of columns 1 onwards.
class StatisticsTable
{
public:
    StatisticsTable() = default;

    int columnCount() const { return int(m_header.size()); }
    int rowCount() const { return int(m_rows.size()); }
    QString header(int column) const { return m_header.at(column); }
    int columnWidth(int column) const { return m_widths.at(column); }
    /// The cell of data row `row` (from 0); column 0 gives the row number.
    QString cell(int row, int column) const;
    /// The texts of the status bar panels; empty when the status bar stays as it was.
    QStringList statusTexts() const { return m_status; }

    /// Sorts the data rows by one column (1 to the last): count columns as numbers, others
    /// ordinally; equal keys by the cells from column 1 onwards. Every sort but the one by
    /// column 1 (the word or the list name) is then reversed: largest counts and marked
    /// rows first.
    void sort(int column);
    /// Reverses the order of the data rows.
    void reverse();
    /// The table as text: the header row and the data rows, columns 1 onwards joined by tabs.
    QStringList renderLines() const;

private:
    friend StatisticsTable buildWordStatistics(const QStringList &, const QList<QStringList> &,
                                               const QStringList &);
    friend StatisticsTable buildListStatistics(const QList<ListBoxCounts> &, int, int);
    QStringList m_header;             // all columns, "№" first
    QList<int> m_widths;
    QList<bool> m_countColumns;       // per column: compares as a number
    QList<QStringList> m_rows;        // cells of columns 1 onwards
    QStringList m_status;
    bool m_blank = false;             // the one empty row of an empty merged list
};

/// The word table: a row per merged line, in order, with "Слово", "Кол-во" and a "+" column
/// per list (headed by its name or "Список k"). An empty merged list gives one empty row and
/// no status texts. names may be shorter than sources; a missing or empty name counts as empty.
StatisticsTable buildWordStatistics(const QStringList &merged, const QList<QStringList> &sources,
                                    const QStringList &names);
/// Grid column of list k (from 1) in the word table: what "По списку № k" sorts by.
inline int listColumn(int k)
{
    return 2 + k;
}
/// Whether the item "По списку № k" is shown: lists 1 and 2 always, others up to N.
bool isListSortShown(int k, int listCount);

/// The list table: a row per list in order (N rows), with the counts of its boxes, then the
/// counts of the common and merged boxes, the same in every row.
StatisticsTable buildListStatistics(const QList<ListBoxCounts> &lists, int common, int merged);
