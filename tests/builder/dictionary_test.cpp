#include "builder/dictionary.h"

#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

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
1|3
3|1
1|5
[grams3]
3|1|5
)"_s;

QString makeDatabase(const QTemporaryDir &dir, const QString &name, const char *sql)
{
    const QString path = dir.filePath(name);
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

} // namespace

TEST(Dictionary, ConnectsReadOnlyToAnExistingDictionaryOnly)
{
    QTemporaryDir dir;
    Dictionary missing;
    const QString absent = dir.filePath(u"absent.db"_s);
    EXPECT_FALSE(missing.ConnectDictionary(absent));
    EXPECT_EQ(missing.error(), u"Ошибка подключения к базе данных"_s);
    EXPECT_FALSE(QFile::exists(absent));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.ConnectDictionary(QString()));
    EXPECT_FALSE(missing.ConnectDictionary(dir.path()));
    EXPECT_EQ(missing.error(), u"Ошибка подключения к базе данных"_s);

    // Once open it stays open, whatever path comes later.
    DictionaryFile file(TestDictionary::fromText(Small));
    ASSERT_TRUE(missing.ConnectDictionary(file.path()));
    EXPECT_TRUE(missing.ConnectDictionary(absent));
    EXPECT_TRUE(missing.isOpen());
}

TEST(Dictionary, RefusesAFileThatIsNoDictionaryNamingWhatIsMissing)
{
    QTemporaryDir dir;
    Dictionary d;
    const QString text = dir.filePath(u"words.txt"_s);
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    EXPECT_FALSE(d.ConnectDictionary(text));
    EXPECT_TRUE(d.error().contains(u"не является словарём"_s)) << d.error().toStdString();

    EXPECT_FALSE(
        d.ConnectDictionary(makeDatabase(dir, u"one.db"_s, "create table forms (id, word);")));
    EXPECT_EQ(d.error(), u"В таблице forms словаря нет столбца initform_id"_s);
    EXPECT_FALSE(d.ConnectDictionary(
        makeDatabase(dir, u"two.db"_s,
                     "create table forms (id integer primary key, word, initform_id, props);"
                     "create table grams2 (word1id, word2id, word1, word2, freq);")));
    EXPECT_EQ(d.error(), u"В словаре нет таблицы grams3"_s);
    EXPECT_FALSE(d.isOpen());
}

TEST(Dictionary, LooksUpWhatTheViewsShow)
{
    DictionaryFile file(TestDictionary::fromText(Small));
    Dictionary d;
    ASSERT_TRUE(d.ConnectDictionary(file.path()));
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
