#include "builder/dictionary.h"

#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Small = uR"(
[forms]
1|кот|1|NOUN
2|коты|1|NOUN,plur
3|кот|3|NOUN
4|котам|1|NOUN,datv
5|Кот|5|NOUN
[grams2]
1|3  3|1  1|5
[grams3]
3|1|5
)"_s;

} // namespace

TEST(Dictionary, ConnectsReadOnlyToAnExistingDictionaryOnly)
{
    QTemporaryDir dir;
    Dictionary d;
    const QString absent = dir.filePath(u"absent.db"_s);
    EXPECT_FALSE(d.ConnectDictionary(absent));
    EXPECT_TRUE(d.error().startsWith(
        u"Ошибка подключения к базе данных. Файл «%1» не найден."_s.arg(absent)))
        << d.error().toStdString();
    EXPECT_FALSE(QFile::exists(absent));
    EXPECT_FALSE(d.ConnectDictionary(QString()));
    EXPECT_EQ(d.error(), u"Ошибка подключения к базе данных"_s);
    EXPECT_FALSE(d.ConnectDictionary(dir.path()));
    EXPECT_TRUE(d.error().startsWith(u"Ошибка подключения к базе данных. «%1» — это папка"_s.arg(
        dir.path())))
        << d.error().toStdString();

    // A file that is no dictionary is refused, naming what is missing.
    QFile f(dir.filePath(u"words.txt"_s));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    EXPECT_FALSE(d.ConnectDictionary(f.fileName()));
    EXPECT_TRUE(d.error().startsWith(
        u"Файл «%1» не является базой данных."_s.arg(f.fileName())))
        << d.error().toStdString();
    EXPECT_FALSE(d.ConnectDictionary(
        writeDatabase(dir.filePath(u"one.db"_s), "create table forms (id, word);")));
    EXPECT_EQ(d.error(), u"В таблице forms словаря нет столбца initform_id"_s);
    EXPECT_FALSE(d.ConnectDictionary(
        writeDatabase(dir.filePath(u"two.db"_s),
                      "create table forms (id integer primary key, word, initform_id, props);"
                      "create table grams2 (word1id, word2id, word1, word2, freq);")));
    EXPECT_EQ(d.error(), u"В словаре нет таблицы grams3"_s);
    EXPECT_FALSE(d.isOpen());

    // Once open it stays open, whatever path comes later.
    DictionaryFile file(TestDictionary::fromText(Small));
    ASSERT_TRUE(d.ConnectDictionary(file.path()));
    EXPECT_TRUE(d.ConnectDictionary(absent));
    EXPECT_TRUE(d.isOpen());
}

TEST(Dictionary, LooksUpWhatTheViewsShow)
{
    OpenDictionary open(TestDictionary::fromText(Small));
    Dictionary &d = open.dictionary;
    // Every row of a homograph, in order; the comparison is exact.
    EXPECT_EQ(d.initialFormIds(u"кот"_s).rows, (QList<QStringList>{{u"1"_s}, {u"3"_s}}));
    EXPECT_TRUE(d.initialFormIds(u"кот "_s).rows.isEmpty());
    EXPECT_EQ(d.rightBigrams(u"1"_s).rows,
              (QList<QStringList>{{u"w1"_s, u"w3"_s, u"1"_s}, {u"w1"_s, u"w5"_s, u"1"_s}}));
    EXPECT_EQ(d.leftBigrams(u"1"_s).rows, (QList<QStringList>{{u"w3"_s, u"w1"_s, u"1"_s}}));
    EXPECT_EQ(d.trigrams(u"1"_s).rows,
              (QList<QStringList>{{u"w3"_s, u"w1"_s, u"w5"_s, u"1"_s}}));
    EXPECT_EQ(d.wordForms(u"1"_s).rows,
              (QList<QStringList>{{u"кот"_s}, {u"котам"_s}, {u"коты"_s}}));
    EXPECT_EQ(d.wordsOfId(u"5"_s).rows, QList<QStringList>{{u"Кот"_s}});
    // Text that is no whole number is bound as -1 where a number is expected.
    EXPECT_TRUE(d.rightBigrams(u"1x"_s).rows.isEmpty());
    EXPECT_TRUE(d.rightBigrams(u"1x"_s).ok());
    EXPECT_TRUE(d.wordsOfId(u"частота"_s).rows.isEmpty());

    ASSERT_TRUE(d.claim());
    EXPECT_FALSE(d.claim());
    EXPECT_EQ(d.wordForms(u"1"_s).error, dictionaryBusyMessage());
    d.release();
    EXPECT_TRUE(d.wordForms(u"1"_s).ok());
}
