#include "common/linelist.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(SortList, OrdersByCodeUnitKeepingDuplicates)
{
    EXPECT_EQ(SortList({u"б"_s, u"А"_s, u"а"_s, u"Б"_s, u"ё"_s, u"я"_s, u"а"_s}),
              (QStringList{u"А"_s, u"Б"_s, u"а"_s, u"а"_s, u"б"_s, u"я"_s, u"ё"_s}));
    EXPECT_EQ(ReverseList({u"1"_s, u"2"_s, u"3"_s}), (QStringList{u"3"_s, u"2"_s, u"1"_s}));
}

TEST(DeleteRepeatedLines, DropsOnlyRepeatsThatStandTogether)
{
    EXPECT_EQ(DeleteRepeatedLines({u"а"_s, u"а"_s, u"б"_s, u"а"_s}),
              (QStringList{u"а"_s, u"б"_s, u"а"_s}));
    EXPECT_EQ(DeleteRepeatedLines({QString(), u"а"_s}), QStringList{u"а"_s});
    EXPECT_EQ(DeleteRepeatedLines({u"а"_s, QString(), QString(), u"б"_s}),
              (QStringList{u"а"_s, QString(), u"б"_s}));
    EXPECT_EQ(DeleteRepeatedLines({u"Кот"_s, u"кот"_s}), (QStringList{u"Кот"_s, u"кот"_s}));
    EXPECT_EQ(DeleteEmptyLines({QString(), u" "_s, u"а"_s, QString()}),
              (QStringList{u" "_s, u"а"_s}));
}

TEST(CapitalizeLines, RaisesOnlyTheFirstCharacter)
{
    EXPECT_EQ(CapitalizeLines({u"ПРИВЕТ МИР"_s, u"я"_s, QString(), u"Нью-Йорк Сити"_s,
                               u" ABC"_s, u"ßen"_s}),
              (QStringList{u"Привет мир"_s, u"Я"_s, QString(), u"Нью-йорк сити"_s, u" abc"_s,
                           u"ßen"_s}));
    EXPECT_EQ(UpperCaseText(u"ёж\r\nß"_s), u"ЁЖ\r\nß"_s);
    EXPECT_EQ(LowerCaseText(u"ЁЖ\r\nQ"_s), u"ёж\r\nq"_s);
}

TEST(IsDelimeter, KnowsTheThirtyOneDelimiters)
{
    const QString delimiters = u"\t\n\r !\"'()+,./:;<=>?[\\]{|}«»“”…—"_s;
    EXPECT_EQ(delimiters.size(), 31);
    int count = 0;
    for (char16_t c = 0; c < 0x3000; ++c)
        count += isDelimeter(QChar(c)) ? 1 : 0;
    EXPECT_EQ(count, 31);
    for (QChar c : delimiters)
        EXPECT_TRUE(isDelimeter(c));
    for (QChar c : u"-_*#&%@0aЯ\u00A0"_s)
        EXPECT_FALSE(isDelimeter(c));
    EXPECT_FALSE(isDelimeter(QString()));
    EXPECT_FALSE(isDelimeter(u"  "_s));
}

TEST(FindPos, WholeWordNeedsDelimitersOnBothSides)
{
    const auto whole = [](const QString &text) { return FindPos(text, u"кот"_s, 0, true, false, true); };
    EXPECT_EQ(whole(u"котёнок"_s), -1);
    EXPECT_EQ(whole(u"скот"_s), -1);
    EXPECT_EQ(whole(u"(кот)"_s), 2);
    EXPECT_EQ(whole(u"кот,"_s), 1);
    EXPECT_EQ(whole(u"кот-"_s), -1);
    EXPECT_EQ(whole(u"скот кот"_s), 6);
    EXPECT_EQ(FindPos(u"Кот"_s, u"кот"_s, 0, true, true, false), -1);
    EXPECT_EQ(FindPos(u"Кот"_s, u"кОТ"_s, 0, true, false, false), 1);
}

TEST(FindPos, WalksCyclicallyFromTheCaret)
{
    const QString t = u"ab ab ab"_s;  // matches at 1, 4, 7
    EXPECT_EQ(FindPos(t, u"ab"_s, 0, true, true, false), 1);
    EXPECT_EQ(FindPos(t, u"ab"_s, 1, true, true, false), 4);
    EXPECT_EQ(FindPos(t, u"ab"_s, 7, true, true, false), 1);  // wraps past the end
    EXPECT_EQ(FindPos(t, u"ab"_s, -5, true, true, false), 1);
    // Upward starts one character before the caret.
    EXPECT_EQ(FindPos(t, u"ab"_s, 4, false, true, false), 4);
    EXPECT_EQ(FindPos(t, u"ab"_s, 3, false, true, false), 1);
    EXPECT_EQ(FindPos(t, u"ab"_s, 0, false, true, false), 7);  // at 0 the first candidate is L
    EXPECT_EQ(FindPos(u"xab"_s, u"ab"_s, 1, false, true, false), 2);  // wraps to the end
    EXPECT_EQ(FindPos(QString(), u"a"_s, 0, true, true, false), -1);
    EXPECT_EQ(FindPos(t, QString(), 0, true, true, false), -1);
}

TEST(ReplaceAll, ReplacesWithoutOverlapOrRescanning)
{
    Replaced r = ReplaceAll(u"ааб"_s, u"а"_s, u"аа"_s, true, false);
    EXPECT_EQ(r.text, u"ааааб"_s);
    EXPECT_EQ(r.count, 2);
    r = ReplaceAll(u"аааа"_s, u"аа"_s, u"б"_s, true, false);
    EXPECT_EQ(r.text, u"бб"_s);
    EXPECT_EQ(ReplaceAll(u"abcx"_s, u"c"_s, u"d"_s, true, false).text, u"abdx"_s);
    r = ReplaceAll(u"x"_s, u"y"_s, u"z"_s, true, false);
    EXPECT_EQ(r.text, u"x"_s);
    EXPECT_EQ(r.count, 0);
    r = ReplaceAll(u"Кот и КОТ"_s, u"кот"_s, u"пёс"_s, false, false);
    EXPECT_EQ(r.text, u"пёс и пёс"_s);
    EXPECT_EQ(r.count, 2);
    r = ReplaceAll(u"кот скот кот-"_s, u"кот"_s, u"пёс"_s, true, true);
    EXPECT_EQ(r.text, u"пёс скот кот-"_s);
    EXPECT_EQ(ReplaceAll(u"abc"_s, QString(), u"x"_s, true, false).count, 0);
}
