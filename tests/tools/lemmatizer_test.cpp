#include "tools/lemmatizer.h"

#include "tests/support/printers.h"
#include "tests/tools/servicefixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class LemmatizerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QString error;
        ASSERT_TRUE(writeServiceDictionary(m_dir.filePath(u"dict.sqlite"_s), &error))
            << error.toStdString();
        ASSERT_TRUE(m_lemmatizer.load(m_dir.filePath(u"dict.sqlite"_s), &error))
            << error.toStdString();
    }
    QString convert(const QString &text) const { return m_lemmatizer.convert(text); }

    QTemporaryDir m_dir;
    Lemmatizer m_lemmatizer;
};

bool execute(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
                    && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

TEST_F(LemmatizerTest, ReplacesWordsAndKeepsWhatStandsBetween)
{
    EXPECT_EQ(convert(u"купить дешевые билеты"_s), u"купить дешёвый билет"_s);
    EXPECT_EQ(convert(u"iPhone 15 в Москве"_s), u"iphone 15 в москва"_s);
    EXPECT_EQ(convert(u"  Кошки,кошек!\t(ПОШЛА) 3кошки"_s), u"  кошка,кошка!\t(пойти) 3кошка"_s);
    // Unknown words stay, lower-cased; so do letters of other scripts.
    EXPECT_EQ(convert(u"Зюзюка ÄRGER"_s), u"зюзюка ärger"_s);
    EXPECT_EQ(m_lemmatizer.initialForm(u"Кошек"), u"кошка"_s);
}

TEST_F(LemmatizerTest, KeepsTheLinesOfTheText)
{
    qsizetype lines = -1;
    EXPECT_EQ(m_lemmatizer.convert(u"кошки\r\nбилеты\rМосквы\nстали", &lines),
              u"кошка\nбилет\nмосква\nстать"_s);
    EXPECT_EQ(lines, 4);
    EXPECT_EQ(m_lemmatizer.convert(u"кошки\r\n\r\n", &lines), u"кошка\n\n"_s);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(m_lemmatizer.convert(u"\r", &lines), u"\n"_s);
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(m_lemmatizer.convert(u"", &lines), QString());
    EXPECT_EQ(lines, 0);
    // CR and LF apart are two breaks, LF CR as well.
    EXPECT_EQ(m_lemmatizer.convert(u"a\n\rb", &lines), u"a\n\nb"_s);
    EXPECT_EQ(lines, 3);
}

TEST_F(LemmatizerTest, FindsWordsWhateverTheirYo)
{
    EXPECT_EQ(convert(u"пошёл пошел"_s), u"пойти пойти"_s);
    // The dictionary has only «ёж»: «еж» finds it; it has only «елка»: «ёлка» finds that.
    EXPECT_EQ(convert(u"еж ЕЖ ёж"_s), u"ёж ёж ёж"_s);
    EXPECT_EQ(convert(u"ёлки Ёлки елки"_s), u"елка елка елка"_s);
    EXPECT_EQ(convert(u"дешёвые дешевые дешевый"_s), u"дешёвый дешёвый дешёвый"_s);
}

TEST_F(LemmatizerTest, TakesTheCommonerReadingOfAHomograph)
{
    // The lowest row id wins: «стать» comes before «сталь», «мыть» before «мыло».
    EXPECT_EQ(convert(u"стали мыла простой"_s), u"стать мыть простой"_s);
    EXPECT_EQ(convert(u"сталь мыло простоя"_s), u"сталь мыло простой"_s);
    EXPECT_EQ(convert(u"лучших хорошие"_s), u"лучший хороший"_s);
}

TEST_F(LemmatizerTest, JoinsHyphensOnlyBetweenLetters)
{
    EXPECT_EQ(convert(u"кого-нибудь"_s), u"кто-нибудь"_s);
    EXPECT_EQ(convert(u"-кошки- кошки--кошки кошки - билеты"_s),
              u"-кошка- кошка--кошка кошка - билет"_s);
    // A hyphenated word the dictionary lacks stays whole.
    EXPECT_EQ(convert(u"кошки-билеты"_s), u"кошки-билеты"_s);
}

TEST_F(LemmatizerTest, ReadsCombiningMarksAsPartOfTheWord)
{
    // A stress mark is dropped for the lookup; a decomposed «й» is composed first.
    EXPECT_EQ(convert(u"ко\u0301шки"_s), u"кошка"_s);
    EXPECT_EQ(convert(u"простои\u0306"_s), u"простой"_s);
    // An unknown word keeps its marks.
    EXPECT_EQ(convert(u"Зю\u0301зя"_s), u"зю\u0301зя"_s);
}

TEST_F(LemmatizerTest, KeepsAWordWhoseInitialFormHasNoRow)
{
    const QString path = m_dir.filePath(u"broken.sqlite"_s);
    QString error;
    ASSERT_TRUE(writeServiceDictionary(path, &error)) << error.toStdString();
    ASSERT_TRUE(execute(path, "insert into forms values(500, 'котята', 9999, '')"));
    Lemmatizer lemmatizer;
    ASSERT_TRUE(lemmatizer.load(path, &error)) << error.toStdString();
    EXPECT_EQ(lemmatizer.convert(u"Котята кошки"), u"котята кошка"_s);
}

TEST_F(LemmatizerTest, FailsOnAFileThatIsNoDictionary)
{
    Lemmatizer lemmatizer;
    QString error;
    ASSERT_TRUE(lemmatizer.load(m_dir.filePath(u"dict.sqlite"_s), &error));
    const QString missing = m_dir.filePath(u"missing.sqlite"_s);
    EXPECT_FALSE(lemmatizer.load(missing, &error));
    EXPECT_TRUE(error.startsWith(missing)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));  // never created

    const QString text = m_dir.filePath(u"text.sqlite"_s);
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_FALSE(lemmatizer.load(text, &error));
    EXPECT_TRUE(error.startsWith(text)) << error.toStdString();

    const QString empty = m_dir.filePath(u"empty.sqlite"_s);
    ASSERT_TRUE(execute(empty, "create table forms(id integer primary key, word text, "
                               "initform_id integer, props text)"));
    EXPECT_FALSE(lemmatizer.load(empty, &error));
    const QString noTable = m_dir.filePath(u"notable.sqlite"_s);
    ASSERT_TRUE(execute(noTable, "create table other(x)"));
    EXPECT_FALSE(lemmatizer.load(noTable, &error));
    EXPECT_TRUE(error.contains(u"forms"_s)) << error.toStdString();
    const std::atomic<bool> cancel = true;
    EXPECT_FALSE(lemmatizer.load(m_dir.filePath(u"dict.sqlite"_s), &error, &cancel));
    EXPECT_TRUE(error.endsWith(u"cancelled"_s)) << error.toStdString();
    // A failed load leaves nothing behind from an earlier one.
    EXPECT_EQ(lemmatizer.formCount(), 0);
    EXPECT_EQ(lemmatizer.convert(u"Кошки"), u"кошки"_s);
}

TEST(LemmatizerFullDictionary, ConvertsTheExamplesOfTheSuite)
{
    const QString path = defaultDictionaryPath();
    if (!QFile::exists(path))
        GTEST_SKIP() << "no full dictionary at " << path.toStdString();
    Lemmatizer lemmatizer;
    QString error;
    ASSERT_TRUE(lemmatizer.load(path, &error)) << error.toStdString();
    EXPECT_EQ(lemmatizer.convert(u"кошки"), u"кошка"_s);
    EXPECT_EQ(lemmatizer.convert(u"пошёл"), u"пойти"_s);
    EXPECT_EQ(lemmatizer.convert(u"лучших"), u"лучший"_s);
    EXPECT_EQ(lemmatizer.convert(u"купить дешевые билеты"), u"купить дешёвый билет"_s);
    EXPECT_EQ(lemmatizer.convert(u"iPhone 15 в Москве"), u"iphone 15 в москва"_s);
    EXPECT_EQ(lemmatizer.convert(u"стали мыла простой"), u"стать мыть простой"_s);
}
