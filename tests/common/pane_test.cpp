#include "common/pane.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(MemoryPane, HoldsCrLfAsTheOnlyBreak)
{
    MemoryPane pane(u"a\nb\rc"_s);
    EXPECT_EQ(pane.text(), u"a\r\nb\r\nc"_s);
    pane.replaceRange(1, 0, u"\n"_s);
    EXPECT_EQ(pane.text(), u"a\r\n\r\nb\r\nc"_s);
    EXPECT_EQ(pane.selStart(), 3);
    pane.setSelection(100, 5);
    EXPECT_EQ(pane.selStart(), pane.textLength());
    EXPECT_EQ(pane.selLength(), 0);
}

TEST(MemoryPane, CurrentLineHoldsTheSelectionStart)
{
    MemoryPane pane(u"один\r\nдва\r\n"_s);
    pane.setSelection(0, 0);
    EXPECT_EQ(pane.currentLine(), 0);
    pane.setSelection(4, 0);  // before the CR: still line 0
    EXPECT_EQ(pane.currentLine(), 0);
    pane.setSelection(6, 2);
    EXPECT_EQ(pane.currentLine(), 1);
    EXPECT_EQ(pane.currentLineText(), u"два"_s);
    EXPECT_EQ(pane.selectedText(), u"дв"_s);
    pane.setSelection(11, 0);  // after the final break: on no line
    EXPECT_EQ(pane.currentLine(), 2);
    EXPECT_EQ(pane.currentLineText(), QString());
    EXPECT_EQ(lineStartOffset(pane.text(), 1), 6);
    EXPECT_EQ(lineStartOffset(pane.text(), 5), 11);
}

TEST(MemoryPane, ReplacedSelectionBecomesTheSelection)
{
    MemoryPane pane(u"кот и кот"_s);
    pane.setSelection(6, 3);
    pane.replaceSelection(u"пёс-барбос"_s);
    EXPECT_EQ(pane.text(), u"кот и пёс-барбос"_s);
    EXPECT_EQ(pane.selStart(), 6);
    EXPECT_EQ(pane.selLength(), 10);
}
