#include "common/textlines.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(SplitLines, EveryBreakEndsALineAndAFinalBreakOpensNone)
{
    EXPECT_EQ(splitLines(QString()), QStringList());
    EXPECT_EQ(splitLines(u"\r\n"_s), QStringList{QString()});
    EXPECT_EQ(splitLines(u"a\r\nb\r\n"_s), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(splitLines(u"a\nb\rc\r\n\r\nd"_s),
              (QStringList{u"a"_s, u"b"_s, u"c"_s, QString(), u"d"_s}));
    // CR then LF is one break; LF then CR is two.
    EXPECT_EQ(splitLines(u"a\n\rb"_s), (QStringList{u"a"_s, QString(), u"b"_s}));
    for (const QString &text : {u""_s, u"x"_s, u"\r\n"_s, u"a\r\n\r\n"_s, u"a\rb\n"_s, u"\n\n\r"_s})
        EXPECT_EQ(lineCount(text), splitLines(text).size()) << text.toStdString();
}

TEST(JoinLines, EachLineIsFollowedByCrLf)
{
    EXPECT_EQ(joinLines({}), QString());
    EXPECT_EQ(joinLines({QString()}), u"\r\n"_s);
    EXPECT_EQ(joinLines({u"a"_s, u"b"_s}), u"a\r\nb\r\n"_s);
    EXPECT_EQ(normalizeBreaks(u"a\nb\rc\r\nd"_s), u"a\r\nb\r\nc\r\nd"_s);
}

TEST(OrdinalOrder, ComparesCodeUnits)
{
    QStringList items{u"б"_s, u"А"_s, u"а"_s, u"Б"_s, u"ё"_s, u"я"_s, u"Ё"_s, u"z"_s, u"1"_s,
                      u"аб"_s, u"а"_s};
    qSortI(items);
    EXPECT_EQ(items, (QStringList{u"1"_s, u"z"_s, u"Ё"_s, u"А"_s, u"Б"_s, u"а"_s, u"а"_s,
                                  u"аб"_s, u"б"_s, u"я"_s, u"ё"_s}));
    // A supplementary character sorts by its surrogates, below U+E000.
    EXPECT_TRUE(ordinalLess(u"\U0001F600"_s, u"\uE000"_s));
}

TEST(CaseMapping, MapsOneCharacterToOne)
{
    EXPECT_EQ(toUpperSimple(u"ёжß straße"_s), u"ЁЖß STRAßE"_s);
    // İ lowers to a plain i by the simple mapping (the full one adds a dot).
    EXPECT_EQ(toLowerSimple(u"ЁЖ ÀİZ 12"_s), u"ёж àiz 12"_s);
    EXPECT_EQ(toUpperSimple(u"\U00010428"_s), u"\U00010400"_s);  // Deseret keeps its plane
    EXPECT_EQ(toLowerSimple(u"Привет, МИР!"_s), u"привет, мир!"_s);

    // A text given away is mapped in place, but never one that another string shares.
    QString mine = u"КОТ \U00010400"_s;
    mine.detach();  // off the literal, onto the heap
    const QChar *units = mine.constData();
    const QString lowered = toLowerSimple(std::move(mine));
    EXPECT_EQ(lowered, u"кот \U00010428"_s);
    EXPECT_EQ(lowered.constData(), units);
    const QString kept = u"Ёж"_s;
    QString copy = kept;
    EXPECT_EQ(toUpperSimple(std::move(copy)), u"ЁЖ"_s);
    EXPECT_EQ(kept, u"Ёж"_s);
}

TEST(GetFieldFromString, CutsAtEverySeparator)
{
    EXPECT_EQ(getFieldFromString(2, u"a$&%b"_s, u"$&%"_s), QString());
    EXPECT_EQ(getFieldFromString(1, u"a$&%b"_s, u"$&%"_s), u"b"_s);
    EXPECT_EQ(getFieldFromString(0, u"abc"_s, u","_s), u"abc"_s);
    EXPECT_EQ(getFieldFromString(1, u"a,,b"_s, u","_s), QString());
    EXPECT_EQ(getFieldFromString(2, u"a,,b"_s, u","_s), u"b"_s);
    EXPECT_EQ(getFieldFromString(0, QString(), u","_s), QString());
}

TEST(CheckPartWord, TakesTheFirstCommaFieldExactly)
{
    part_word filter;
    EXPECT_TRUE(checkPartWord(u"NOUN,anim,masc"_s, filter));
    EXPECT_TRUE(checkPartWord(u"NOUN"_s, filter));
    EXPECT_FALSE(checkPartWord(u" NOUN,anim"_s, filter));
    EXPECT_FALSE(checkPartWord(u"noun"_s, filter));
    EXPECT_FALSE(checkPartWord(u"ADJF masc,sing"_s, filter));
    EXPECT_FALSE(checkPartWord(QString(), filter));
    filter.set(0, false);
    EXPECT_FALSE(checkPartWord(u"NOUN,anim"_s, filter));
    EXPECT_TRUE(checkPartWord(u"INTJ"_s, filter));
    filter.setAll(false);
    for (const QString &tag : partOfSpeechTags())
        EXPECT_FALSE(checkPartWord(tag, filter));
}
