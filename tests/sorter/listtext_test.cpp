#include "sorter/listtext.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(ListText, EditsWorkOnLinesWithTheirBreaksKeepingTheLastAsItWas)
{
    EXPECT_EQ(appendLine(QString(), u"w"_s), u"w\r\n"_s);
    EXPECT_EQ(appendLine(u"x\r\n"_s, u"w"_s), u"x\r\nw\r\n"_s);
    EXPECT_EQ(appendLine(u"z"_s, u"w"_s), u"z\r\nw"_s);
    EXPECT_EQ(appendLine(u"z"_s, QString()), u"z\r\n"_s);  // an empty line after z
    EXPECT_EQ(insertLine(u"a\r\nb"_s, 1, u"x"_s), u"a\r\nx\r\nb"_s);
    EXPECT_EQ(insertLine(u"a\r\nb"_s, 2, u"x"_s), u"a\r\nb\r\nx"_s);
    EXPECT_EQ(deleteLine(u"a\r\nb\r\n"_s, 0), u"b\r\n"_s);
    // The last line without a break goes alone; the break before it stays.
    EXPECT_EQ(deleteLine(u"a\r\nb"_s, 1), u"a\r\n"_s);
    EXPECT_EQ(deleteLine(u"a\r\n"_s, 1), u"a\r\n"_s);
    EXPECT_EQ(lineText(u"a\r\nbc"_s, 1), u"bc"_s);
    EXPECT_EQ(lineText(u"a\r\n"_s, 1), QString());
    EXPECT_EQ(moveLine(u"a\r\nb\r\nc\r\n"_s, 2, 0), u"c\r\na\r\nb\r\n"_s);
    EXPECT_EQ(moveLine(u"a\r\nb\r\nc\r\n"_s, 0, 2), u"b\r\nc\r\na\r\n"_s);
    EXPECT_EQ(moveLine(u"a\r\nb"_s, 1, 0), u"b\r\na\r\n"_s);
    EXPECT_EQ(moveLine(u"a\r\nb"_s, 0, 1), u"b\r\na"_s);
}

TEST(ListText, CleansAndSortsWholeTexts)
{
    // A line of blanks is not empty.
    EXPECT_EQ(deleteEmptyLinesKeepingBreaks(u"\r\na\r\n\r\n \r\nb"_s), u"a\r\n \r\nb"_s);
    EXPECT_EQ(deleteEmptyLinesKeepingBreaks(u"a\r\n\r\n"_s), u"a\r\n"_s);
    EXPECT_EQ(deleteEmptyLinesKeepingBreaks(u"\r\n"_s), QString());
    EXPECT_EQ(deleteNeighbourRepeats(u"b\r\na\r\nb\r\n"_s), u"b\r\na\r\nb\r\n"_s);
    EXPECT_EQ(deleteNeighbourRepeats(u"a\r\na\r\nb\r\na"_s), u"a\r\nb\r\na"_s);
    // Line 0 always stays, so of two leading empty lines one is kept.
    EXPECT_EQ(deleteNeighbourRepeats(u"\r\n\r\nx\r\n"_s), u"\r\nx\r\n"_s);
    EXPECT_EQ(deleteNeighbourRepeats(u"Кот\r\nкот"_s), u"Кот\r\nкот"_s);
    // The last line has no break: the kept first of the run keeps its own.
    EXPECT_EQ(deleteNeighbourRepeats(u"a\r\na"_s), u"a\r\n"_s);
    // Sorting goes by code units and ends every line with a break.
    EXPECT_EQ(sortLines(u"б\r\nb\r\nB\r\nА"_s), u"B\r\nb\r\nА\r\nб\r\n"_s);
    EXPECT_EQ(sortLines(QString()), QString());
}
