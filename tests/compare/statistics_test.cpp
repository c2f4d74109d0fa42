#include "compare/statistics.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList column(const StatisticsTable &table, int c)
{
    QStringList cells;
    for (int r = 0; r < table.rowCount(); ++r)
        cells.append(table.cell(r, c));
    return cells;
}

QStringList row(const StatisticsTable &table, int r)
{
    QStringList cells;
    for (int c = 0; c < table.columnCount(); ++c)
        cells.append(table.cell(r, c));
    return cells;
}

} // namespace

TEST(BuildWordStatistics, MarksTheListsThatHoldEachMergedLineEvenBeforeAComparison)
{
    const StatisticsTable table = buildWordStatistics(
        {u"кот"_s, u"пёс"_s, u"ёж"_s, u"кот"_s},
        {{u"пёс"_s, u"кот"_s, u"кот"_s}, {u"Кот"_s}, {u"кот"_s}}, {u"звери.txt"_s, QString()});
    EXPECT_EQ(table.header(3), u"звери.txt"_s);
    EXPECT_EQ(table.header(4), u"Список 2"_s);
    EXPECT_EQ(row(table, 0), (QStringList{u"1"_s, u"кот"_s, u"2"_s, u"+"_s, QString(), u"+"_s}));
    EXPECT_EQ(row(table, 1), (QStringList{u"2"_s, u"пёс"_s, u"1"_s, u"+"_s, QString(), QString()}));
    // A line that no source holds any more, and a repeated merged line, as they stand.
    EXPECT_EQ(row(table, 2), (QStringList{u"3"_s, u"ёж"_s, u"0"_s, QString(), QString(), QString()}));
    EXPECT_EQ(row(table, 3), (QStringList{u"4"_s, u"кот"_s, u"2"_s, u"+"_s, QString(), u"+"_s}));
    EXPECT_EQ(table.statusTexts(), (QStringList{u"Слов: 4"_s, u"Списков: 3"_s}));

    // Before any comparison there is one empty row.
    const StatisticsTable empty = buildWordStatistics({}, {{u"a"_s}, {}}, {});
    ASSERT_EQ(empty.rowCount(), 1);
    EXPECT_EQ(row(empty, 0), QStringList(5, QString()));
    EXPECT_TRUE(empty.statusTexts().isEmpty());
    EXPECT_EQ(empty.renderLines(), (QStringList{u"Слово\tКол-во\tСписок 1\tСписок 2"_s, u"\t\t\t"_s}));
}

TEST(StatisticsTable, SortsWordsAscendingAndEverythingElseLargestFirst)
{
    const QList<QStringList> sources{{u"б"_s, u"а"_s, u"г"_s},
                                     {u"б"_s, u"в"_s, u"а"_s, u"г"_s},
                                     {u"а"_s, u"б"_s}};
    StatisticsTable table = buildWordStatistics({u"б"_s, u"в"_s, u"а"_s, u"г"_s}, sources, {});
    table.sort(2);
    EXPECT_EQ(column(table, 1), (QStringList{u"б"_s, u"а"_s, u"г"_s, u"в"_s}));
    EXPECT_EQ(column(table, 2), (QStringList{u"3"_s, u"3"_s, u"2"_s, u"1"_s}));
    EXPECT_EQ(column(table, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));

    table.sort(1);
    EXPECT_EQ(column(table, 1), (QStringList{u"а"_s, u"б"_s, u"в"_s, u"г"_s}));

    table.sort(listColumn(3));
    EXPECT_EQ(column(table, 1), (QStringList{u"б"_s, u"а"_s, u"г"_s, u"в"_s}));
    EXPECT_EQ(column(table, listColumn(3)), (QStringList{u"+"_s, u"+"_s, QString(), QString()}));

    table.reverse();
    EXPECT_EQ(column(table, 1), (QStringList{u"в"_s, u"г"_s, u"а"_s, u"б"_s}));
    EXPECT_EQ(column(table, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    EXPECT_EQ(table.renderLines().at(1), u"в\t1\t\t+\t"_s);
}

TEST(StatisticsTable, SortsListCountsAsNumbers)
{
    StatisticsTable table = buildListStatistics(
        {{u"мало"_s, 5, 1, 2, 0}, {QString(), 1200, 9, 0, 4}, {u"Альфа"_s, 300, 1, 2, 0}}, 7, 1500);
    EXPECT_EQ(table.statusTexts(), (QStringList{u"Слов: 1500"_s, u"Списков: 3"_s}));
    table.sort(2);
    EXPECT_EQ(column(table, 2), (QStringList{u"1200"_s, u"300"_s, u"5"_s}));
    table.sort(1);
    EXPECT_EQ(column(table, 1), (QStringList{u"Альфа"_s, u"Список 2"_s, u"мало"_s}));
    // Equal unique counts fall back to the cells from the name on, then all is reversed.
    table.sort(3);
    EXPECT_EQ(column(table, 1), (QStringList{u"Список 2"_s, u"мало"_s, u"Альфа"_s}));
    table.sort(5);
    EXPECT_EQ(column(table, 5), (QStringList{u"4"_s, u"0"_s, u"0"_s}));
    EXPECT_EQ(column(table, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
}
