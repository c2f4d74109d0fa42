#include "tests/builder/testdictionary.h"
#include "tests/support/clitest.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Ids follow corpus frequency lexeme by lexeme: "поле" reads first as "поле", then as
// a form of the rarer "пол".
class FormCommandsTest : public CliTest
{
protected:
    DictionaryFile m_dictionary{TestDictionary::fromText(uR"([forms]
10|поле|10|NOUN
11|полем|10|NOUN
12|полями|10|NOUN
20|пол|20|NOUN
21|пола|20|NOUN
22|поле|20|NOUN
30|чистое|30|ADJF
[grams2]
30|10  10|30  30|20
[grams3]
30|10|30
)"_s)};
};

TEST_F(FormCommandsTest, FormsExpandEachWordIntoItsMostFrequentLexeme)
{
    const QString words = file(u"words.txt"_s, "\xEF\xBB\xBFПоле\nнет\nпола\n");
    const CliRun forms = run({u"forms"_s, u"--dict"_s, m_dictionary.path(), words});
    EXPECT_EQ(forms.status, 0) << forms.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(forms.out),
              u"поле\r\nполем\r\nполями\r\nпол\r\nпола\r\nполе\r\n"_s);

    // --lemmas reduces each word as it stands; an unknown or capitalised one stays.
    const CliRun lemmas = run({u"forms"_s, u"--lemmas"_s, u"--dict"_s, m_dictionary.path(),
                               u"--encoding"_s, u"ansi"_s,
                               file(u"cp1251.txt"_s, "\xEF\xEE\xEB\xE0\r\n\xCF\xEE\xEB\xE5\r\n")});
    EXPECT_EQ(lemmas.status, 0);
    EXPECT_EQ(QString::fromUtf8(lemmas.out), u"пол\r\nПоле\r\n"_s);
}

TEST_F(FormCommandsTest, NgramsPrintThePairsThenTheTriples)
{
    const CliRun ngrams = run({u"ngrams"_s, u"--dict"_s, m_dictionary.path(), u"ПОЛЕ"_s});
    EXPECT_EQ(ngrams.status, 0);
    EXPECT_EQ(QString::fromUtf8(ngrams.out),
              u"w10\tw30\t1\r\nw30\tw10\t1\r\n\r\nw30\tw10\tw30\t1\r\n"_s);
    const CliRun unknown = run({u"ngrams"_s, u"--dict"_s, m_dictionary.path(), u"нет"_s});
    EXPECT_EQ(unknown.status, 0);
    EXPECT_EQ(unknown.out, QByteArray("\r\n"));
}

TEST_F(FormCommandsTest, BadInputGivesOneLineAndStatusTwo)
{
    const QString words = file(u"words.txt"_s, "поле\n");
    const QString notADictionary = file(u"text.db"_s, "поле\n");
    const QList<QStringList> bad = {
        {u"forms"_s, words},
        {u"forms"_s, u"--dict"_s, path(u"нет.db"_s), words},
        {u"forms"_s, u"--dict"_s, notADictionary, words},
        {u"forms"_s, u"--dict"_s, m_dictionary.path(), path(u"нет.txt"_s)},
        {u"forms"_s, u"--dict"_s, m_dictionary.path(), u"--encoding"_s, u"koi8"_s, words},
        {u"ngrams"_s, u"--dict"_s, m_dictionary.path()},
        {u"ngrams"_s, u"--dict"_s, path(u"нет.db"_s), u"поле"_s},
    };
    for (const QStringList &args : bad) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, CliBadInput) << args.join(u' ').toStdString();
        EXPECT_EQ(r.errLines().size(), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

} // namespace
