#include "service/lemmatizer.h"

#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"
#include "tests/service/servicefixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class LemmatizerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(writeServiceDictionary(m_path), QString());
        QString error;
        ASSERT_TRUE(m_lemmatizer.load(m_path, &error)) << error.toStdString();
    }

    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath(u"dict.sqlite"_s);
    Lemmatizer m_lemmatizer;
};

} // namespace

TEST_F(LemmatizerTest, ReplacesWordsAndKeepsWhatStandsBetween)
{
    const QString cases[][2] = {
        {u"купить дешевые билеты"_s, u"купить дешёвый билет"_s},
        {u"iPhone 15 в Москве"_s, u"iphone 15 в москва"_s},
        {u"  Кошки,кошек!\t(ПОШЛА) 3кошки"_s, u"  кошка,кошка!\t(пойти) 3кошка"_s},
        // Unknown words stay, lower-cased; so do letters of other scripts.
        {u"Зюзюка ÄRGER"_s, u"зюзюка ärger"_s},
        // Whatever their «ё»: the dictionary has only «ёж» and only «елка».
        {u"пошёл пошел"_s, u"пойти пойти"_s},
        {u"еж ЕЖ ёж"_s, u"ёж ёж ёж"_s},
        {u"ёлки Ёлки елки"_s, u"елка елка елка"_s},
        {u"дешёвые дешевые дешевый"_s, u"дешёвый дешёвый дешёвый"_s},
        // A homograph takes the lowest row id: «стать» before «сталь», «мыть» before «мыло».
        {u"стали мыла простой"_s, u"стать мыть простой"_s},
        {u"сталь мыло простоя"_s, u"сталь мыло простой"_s},
        {u"лучших хорошие"_s, u"лучший хороший"_s},
        // Hyphens join only letters; a hyphenated word the dictionary lacks stays whole.
        {u"кого-нибудь"_s, u"кто-нибудь"_s},
        {u"-кошки- кошки--кошки кошки - билеты"_s, u"-кошка- кошка--кошка кошка - билет"_s},
        {u"кошки-билеты"_s, u"кошки-билеты"_s},
        // A stress mark is dropped for the lookup, a decomposed «й» composed; an unknown
        // word keeps its marks.
        {u"ко\u0301шки"_s, u"кошка"_s},
        {u"простои\u0306"_s, u"простой"_s},
        {u"Зю\u0301зя"_s, u"зю\u0301зя"_s},
    };
    QString longText;
    QString longConverted;
    for (const auto &[text, converted] : cases) {
        EXPECT_EQ(m_lemmatizer.convert(text), converted);
        longText += text + u"\r\n"_s;
        longConverted += converted + u'\n';
    }
    // Words are looked up in batches: a text of many cuts them at every place.
    for (int copies = 1; copies < 8; ++copies) {
        EXPECT_EQ(m_lemmatizer.convert(longText.repeated(copies)), longConverted.repeated(copies))
            << copies;
        longText.prepend(u"кошки "_s);
        longConverted.prepend(u"кошка "_s);
    }
    EXPECT_EQ(m_lemmatizer.initialForm(u"Кошек"), u"кошка"_s);
}

TEST_F(LemmatizerTest, KeepsTheLinesOfTheText)
{
    const struct
    {
        QString text, converted;
        qsizetype lines;
    } cases[] = {
        {u"кошки\r\nбилеты\rМосквы\nстали"_s, u"кошка\nбилет\nмосква\nстать"_s, 4},
        {u"кошки\r\n\r\n"_s, u"кошка\n\n"_s, 2},
        {u"\r"_s, u"\n"_s, 1},
        {QString(), QString(), 0},
        {u"a\n\rb"_s, u"a\n\nb"_s, 3},  // CR and LF apart are two breaks, LF CR as well
    };
    for (const auto &c : cases) {
        qsizetype lines = -1;
        EXPECT_EQ(m_lemmatizer.convert(c.text, &lines), c.converted);
        EXPECT_EQ(lines, c.lines) << c.text.toStdString();
    }
}

TEST_F(LemmatizerTest, KeepsAWordWhoseInitialFormHasNoRow)
{
    writeDatabase(m_path, "insert into forms values(500, 'котята', 9999, '')");
    Lemmatizer lemmatizer;
    QString error;
    ASSERT_TRUE(lemmatizer.load(m_path, &error)) << error.toStdString();
    EXPECT_EQ(lemmatizer.convert(u"Котята кошки"), u"котята кошка"_s);
}

TEST_F(LemmatizerTest, FailsOnAFileThatIsNoDictionary)
{
    Lemmatizer lemmatizer;
    QString error;
    ASSERT_TRUE(lemmatizer.load(m_path, &error));
    const QString missing = m_dir.filePath(u"missing.sqlite"_s);
    EXPECT_FALSE(lemmatizer.load(missing, &error));
    EXPECT_TRUE(error.startsWith(missing)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));  // never created

    QFile file(m_dir.filePath(u"text.sqlite"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_FALSE(lemmatizer.load(file.fileName(), &error));
    EXPECT_TRUE(error.startsWith(file.fileName())) << error.toStdString();

    EXPECT_FALSE(lemmatizer.load(writeDatabase(m_dir.filePath(u"empty.sqlite"_s),
                                               "create table forms(id integer primary key, "
                                               "word text, initform_id integer, props text)"),
                                 &error));
    EXPECT_FALSE(lemmatizer.load(
        writeDatabase(m_dir.filePath(u"notable.sqlite"_s), "create table other(x)"), &error));
    EXPECT_TRUE(error.contains(u"forms"_s)) << error.toStdString();
    const std::atomic<bool> cancel = true;
    EXPECT_FALSE(lemmatizer.load(m_path, &error, &cancel));
    EXPECT_TRUE(error.endsWith(u"cancelled"_s)) << error.toStdString();
    // A failed load leaves nothing behind from an earlier one.
    EXPECT_EQ(lemmatizer.formCount(), 0);
    EXPECT_EQ(lemmatizer.convert(u"Кошки"), u"кошки"_s);
}

TEST(LemmatizerFullDictionary, ConvertsTheExamplesOfTheSuite)
{
    const QString path = QStringLiteral(LEXORUM_SOURCE_DIR "/data/lexorum-ru.sqlite");
    if (!QFile::exists(path))
        GTEST_SKIP() << "no full dictionary at " << path.toStdString();
    Lemmatizer lemmatizer;
    QString error;
    ASSERT_TRUE(lemmatizer.load(path, &error)) << error.toStdString();
    EXPECT_EQ(lemmatizer.convert(u"кошки пошёл лучших\nкупить дешевые билеты\n"
                                 u"iPhone 15 в Москве\nстали мыла простой"),
              u"кошка пойти лучший\nкупить дешёвый билет\niphone 15 в москва\n"
              u"стать мыть простой"_s);
}
