#include "compare/statistics.h"

#include "common/textlines.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <cstdint>

using namespace Qt::Literals::StringLiterals;

namespace {

QString listName(const QString &name, int k)
{
    return name.isEmpty() ? u"Список "_s + QString::number(k) : name;
}

// Cell by cell from the left, ordinally.
bool cellsLess(const QStringList &a, const QStringList &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), ordinalLess);
}

} // namespace

QString StatisticsTable::cell(int row, int column) const
{
    if (column == 0)
        return m_blank ? QString() : QString::number(row + 1);
    return m_rows.at(row).at(column - 1);
}

void StatisticsTable::sort(int column)
{
    Q_ASSERT(column >= 1 && column < columnCount());
    const qsizetype index = column - 1;
    const bool numeric = m_countColumns.at(column);
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const QStringList &a, const QStringList &b) {
        const QString &x = a.at(index);
        const QString &y = b.at(index);
        if (numeric) {
            const qlonglong nx = x.toLongLong();
            const qlonglong ny = y.toLongLong();
            if (nx != ny)
                return nx < ny;
        } else if (x != y) {
            return ordinalLess(x, y);
        }
        return cellsLess(a, b);
    });
    if (column != 1)
        reverse();
}

void StatisticsTable::reverse()
{
    std::reverse(m_rows.begin(), m_rows.end());
}

QStringList StatisticsTable::renderLines() const
{
    QStringList lines;
    lines.reserve(m_rows.size() + 1);
    lines.append(m_header.mid(1).join(u'\t'));
    for (const QStringList &row : m_rows)
        lines.append(row.join(u'\t'));
    return lines;
}

bool isListSortShown(int k, int listCount)
{
    return k <= 2 || k <= listCount;
}

StatisticsTable buildWordStatistics(const QStringList &merged, const QList<QStringList> &sources,
                                    const QStringList &names)
{
    using ListMask = std::uint16_t;
    Q_ASSERT(sources.size() <= 16);
    const int listCount = int(sources.size());
    StatisticsTable table;
    table.m_header = {u"№"_s, u"Слово"_s, u"Кол-во"_s};
    table.m_widths = {50, 200, 50};
    table.m_countColumns = {false, false, true};
    for (int k = 1; k <= listCount; ++k) {
        table.m_header.append(listName(names.value(k - 1), k));
        table.m_widths.append(70);
        table.m_countColumns.append(false);
    }
    if (merged.isEmpty()) {
        table.m_blank = true;
        table.m_rows.append(QStringList(table.columnCount() - 1, QString()));
        return table;
    }
    table.m_status = {u"Слов: "_s + QString::number(merged.size()),
                      u"Списков: "_s + QString::number(listCount)};

    // Marks of every merged line, found by one pass over each list instead of a search per
    // row and list; a line repeated in the merged box gets the same marks each time.
    QHash<QString, ListMask> marks;
    marks.reserve(merged.size());
    for (const QString &line : merged)
        marks.insert(line, 0);
    for (int k = 0; k < listCount; ++k) {
        const auto bit = ListMask(1u << k);
        for (const QString &line : sources.at(k)) {
            const auto found = marks.find(line);
            if (found != marks.end())
                *found |= bit;
        }
    }
    table.m_rows.reserve(merged.size());
    for (const QString &line : merged) {
        const ListMask mask = marks.value(line);
        QStringList row{line, QString::number(std::popcount(mask))};
        row.reserve(listCount + 2);
        for (int k = 0; k < listCount; ++k)
            row.append((mask >> k) & 1u ? u"+"_s : QString());
        table.m_rows.append(row);
    }
    return table;
}

StatisticsTable buildListStatistics(const QList<ListBoxCounts> &lists, int common, int merged)
{
    StatisticsTable table;
    table.m_header = {u"№"_s,           u"Список"_s,         u"Строк"_s, u"Уникальных"_s,
                      u"Отсутствующих"_s, u"Пересекающихся"_s, u"Общих"_s, u"Всего"_s};
    table.m_widths = {30, 150, 100, 100, 100, 100, 100, 100};
    table.m_countColumns = {false, false, true, true, true, true, true, true};
    table.m_status = {u"Слов: "_s + QString::number(merged),
                      u"Списков: "_s + QString::number(lists.size())};
    for (int i = 0; i < lists.size(); ++i) {
        const ListBoxCounts &list = lists.at(i);
        table.m_rows.append({listName(list.name, i + 1), QString::number(list.source),
                             QString::number(list.unique), QString::number(list.absent),
                             QString::number(list.shared), QString::number(common),
                             QString::number(merged)});
    }
    return table;
}
