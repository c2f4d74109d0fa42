#include "builder/dictionary.h"
#include "builder/literalsearch.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/clitest.h"
#include "tests/support/printers.h"


#include <gtest/gtest.h>

#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

class SearchCommandsTest : public CliTest
{
};

} // namespace

TEST_F(SearchCommandsTest, PrintsWhatTheLiteralAlgorithmsFind)
{
    for (std::uint32_t seed = 7; seed <= 9; ++seed) {
        const TestDictionary d = TestDictionary::generated(seed, 200);
        DictionaryFile dictionaryFile(d);
        Dictionary dictionary;
        ASSERT_TRUE(dictionary.ConnectDictionary(dictionaryFile.path()));
        std::mt19937 random(seed);
        QString thesaurus;
        QString blackList;
        for (int i = 0; i < 25; ++i) {
            const QString &word = d.forms()[random() % 60].word;
            (i % 5 ? thesaurus : blackList) += word + u'\n';
        }
        // Read as a window opens them: a byte-order mark is skipped, every line ends in CR LF.
        const QString thesaurusFile = file(u"t.txt"_s, "\xEF\xBB\xBF" + thesaurus.toUtf8());
        const QString blackListFile = file(u"b.txt"_s, blackList.toUtf8());
        const SearchInput input{joinLines(splitLines(thesaurus)), joinLines(splitLines(blackList)),
                                &PartWord};
        for (const QString &command : {u"related"_s, u"linked"_s}) {
            const RecordedRun literal = recordRun([&](const SearchReports &r) {
                return command == u"related" ? literalRelatedWords(dictionary, input, r)
                                             : literalLinkedWords(dictionary, input, r);
            });
            const CliRun cli = run({command, u"--dict"_s, dictionaryFile.path(), u"--black-list"_s,
                                    blackListFile, u"--progress"_s, thesaurusFile});
            EXPECT_EQ(cli.status, 0);
            EXPECT_EQ(cli.out, literal.result.foundText().toUtf8()) << "seed " << seed;
            EXPECT_EQ(cli.errLines(), literal.reports) << "seed " << seed;
        }
    }
}

TEST_F(SearchCommandsTest, FiltersByThePartsOfSpeechGiven)
{
    DictionaryFile dictionaryFile(TestDictionary::fromText(uR"(
[forms]
1|кот|1|NOUN
2|рыжий|2|ADJF
3|спать|3|INFN
[grams2]
2|1
1|3
)"_s));
    const QString thesaurus = file(u"t.txt"_s, "кот");
    const QStringList base{u"related"_s, u"--dict"_s, dictionaryFile.path()};
    EXPECT_EQ(run(base + QStringList{thesaurus}).out, "спать\r\nрыжий\r\n");
    EXPECT_EQ(run(base + QStringList{u"--pos"_s, u"ADJF,NOUN"_s, thesaurus}).out, "рыжий\r\n");
    const CliRun none = run(base + QStringList{u"--pos"_s, QString(), thesaurus});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, QByteArray());
    const CliRun unknown = run(base + QStringList{u"--pos"_s, u"NOUN,noun"_s, thesaurus});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.errLines().first().contains(u"noun"_s));
}

TEST_F(SearchCommandsTest, RanksByLinksOrByStrength)
{
    // чай stands by весь in 2 pairs, 40 times of весь's 50000; by крепкий in one pair,
    // 6 times of its 8.
    DictionaryFile dictionaryFile(TestDictionary::fromText(uR"(
[forms]
1|чай|1|NOUN
2|крепкий|2|ADJF
3|весь|3|ADJF
[grams2]
2|1|6  3|1|20  1|3|20
[lexemes]
1|40  2|8  3|50000
)"_s));
    const QString thesaurus = file(u"t.txt"_s, "чай");
    const QStringList base{u"related"_s, u"--dict"_s, dictionaryFile.path()};
    EXPECT_EQ(run(base + QStringList{thesaurus}).out, "весь\r\nкрепкий\r\n");
    EXPECT_EQ(run(base + QStringList{u"--rank"_s, u"links"_s, thesaurus}).out,
              "весь\r\nкрепкий\r\n");
    EXPECT_EQ(run(base + QStringList{u"--rank"_s, u"strength"_s, thesaurus}).out,
              "крепкий\r\nвесь\r\n");
    const CliRun unknown = run(base + QStringList{u"--rank"_s, u"strong"_s, thesaurus});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, QByteArray());
    EXPECT_TRUE(unknown.errLines().first().contains(u"strong"_s));

    // Without word frequencies ranking by strength fails with one line.
    DictionaryFile noFrequencies(TestDictionary::fromText(u"[forms]\n1|чай|1|NOUN\n"_s));
    const CliRun refused = run({u"related"_s, u"--dict"_s, noFrequencies.path(), u"--rank"_s,
                                u"strength"_s, thesaurus});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines().size(), 1);
}

TEST_F(SearchCommandsTest, RefusesBadInputWithStatusTwo)
{
    const QString thesaurus = file(u"t.txt"_s, "кот");
    const QString absent = m_dir.filePath(u"absent.db"_s);
    const CliRun missing = run({u"linked"_s, u"--dict"_s, absent, thesaurus});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.errLines().first().contains(u"Ошибка подключения к базе данных"_s));
    EXPECT_FALSE(QFile::exists(absent));
    EXPECT_EQ(missing.out, QByteArray());

    const CliRun notDictionary = run({u"related"_s, u"--dict"_s, thesaurus, thesaurus});
    EXPECT_EQ(notDictionary.status, 2);
    EXPECT_TRUE(notDictionary.errLines().first().contains(u"не является базой данных"_s));

    DictionaryFile dictionaryFile(TestDictionary::fromText(u"[forms]\n1|кот|1|NOUN\n"_s));
    const QStringList dict{u"related"_s, u"--dict"_s, dictionaryFile.path()};
    const QStringList refused[] = {dict + QStringList{absent}, {u"related"_s, thesaurus},
                                   dict + QStringList{u"--encoding"_s, u"koi8"_s, thesaurus}};
    for (const QStringList &args : refused)
        EXPECT_EQ(run(args).status, 2) << args.join(u' ').toStdString();
    EXPECT_EQ(run(dict + QStringList{thesaurus}).status, 0);
}
