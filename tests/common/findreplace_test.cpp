#include "common/findreplace.h"

#include "common/pane.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {
FindOptions lookFor(const QString &text, bool down = true)
{
    FindOptions o;
    o.text = text;
    o.down = down;
    return o;
}
} // namespace

TEST(FindDialog1Find, WalksFromMatchToMatchAndWraps)
{
    MemoryPane pane(u"кот, кот и кот"_s);  // matches at 0, 5, 11
    const FindOptions o = lookFor(u"КОТ"_s);
    QList<int> starts;
    for (int i = 0; i < 4; ++i) {
        const FindOutcome outcome = FindDialog1Find(o, pane);
        EXPECT_FALSE(outcome.beep);
        EXPECT_TRUE(outcome.focusPane);
        EXPECT_EQ(pane.selLength(), 3);
        starts.append(pane.selStart());
    }
    EXPECT_EQ(starts, (QList<int>{0, 5, 11, 0}));

    const FindOptions up = lookFor(u"кот"_s, false);
    starts.clear();
    for (int i = 0; i < 4; ++i) {
        FindDialog1Find(up, pane);
        starts.append(pane.selStart());
    }
    EXPECT_EQ(starts, (QList<int>{11, 5, 0, 11}));
}

TEST(FindDialog1Find, UpwardFromInsideAWordFindsTheMatchBeforeTheCaret)
{
    MemoryPane pane(u"один кот"_s);
    pane.setSelection(7, 0);
    FindDialog1Find(lookFor(u"кот"_s, false), pane);
    EXPECT_EQ(pane.selStart(), 5);
}

TEST(FindDialog1Find, NoMatchBeepsAndKeepsTheSelection)
{
    MemoryPane pane(u"собака"_s);
    pane.setSelection(2, 1);
    FindOutcome outcome = FindDialog1Find(lookFor(u"кот"_s), pane);
    EXPECT_TRUE(outcome.beep);
    EXPECT_EQ(outcome.message, u"Искомая строка не найдена"_s);
    EXPECT_EQ(pane.selStart(), 2);
    EXPECT_EQ(pane.selLength(), 1);
    // An empty search text finds nothing and does not loop.
    outcome = FindDialog1Find(lookFor(QString()), pane);
    EXPECT_TRUE(outcome.beep);
}

TEST(FindDialog1Find, OneMatchAlreadySelectedIsSelectedAgain)
{
    MemoryPane pane(u"aaa"_s);
    pane.setSelection(0, 2);
    FindDialog1Find(lookFor(u"aa"_s), pane);
    // The caret steps past the selected match, losing the selection, then finds at 1.
    EXPECT_EQ(pane.selStart(), 1);
    EXPECT_EQ(pane.selLength(), 2);
}

TEST(ReplaceDialog1Find, StartsOneCharacterPastTheCaret)
{
    MemoryPane pane(u"кот кот"_s);
    ReplaceDialog1Find(lookFor(u"кот"_s), pane);
    EXPECT_EQ(pane.selStart(), 4);
    ReplaceDialog1Find(lookFor(u"кот"_s), pane);
    EXPECT_EQ(pane.selStart(), 0);
}

TEST(ReplaceDialog1Replace, FindsThenReplacesOneAtATime)
{
    MemoryPane pane(u"кот и Кот"_s);
    FindOptions o = lookFor(u"кот"_s);
    o.replacement = u"пёс"_s;
    ReplaceDialog1Replace(o, pane);  // the first find starts past the caret
    EXPECT_EQ(pane.text(), u"кот и пёс"_s);
    EXPECT_EQ(pane.selStart(), 6);
    EXPECT_EQ(pane.selLength(), 3);
    ReplaceDialog1Replace(o, pane);
    EXPECT_EQ(pane.text(), u"пёс и пёс"_s);
    const FindOutcome outcome = ReplaceDialog1Replace(o, pane);
    EXPECT_TRUE(outcome.beep);
    EXPECT_EQ(pane.text(), u"пёс и пёс"_s);
}

TEST(ReplaceDialog1ReplaceAll, ReportsTheCount)
{
    MemoryPane pane(u"кот и КОТ"_s);
    FindOptions o = lookFor(u"кот"_s);
    o.replacement = u"пёс"_s;
    EXPECT_EQ(ReplaceDialog1ReplaceAll(o, pane).message, u"Произведено замен: 2"_s);
    EXPECT_EQ(pane.text(), u"пёс и пёс"_s);
    EXPECT_EQ(ReplaceDialog1ReplaceAll(o, pane).message, u"Заданная строка не найдена!"_s);
}
