#include "builder/linkedwordssearch.h"

#include "builder/literalsearch.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

// ящик has two initial forms (12, 13) that fill the same context; -1 marks a middle
// word outside the forms.
const QString Contexts = uR"(
[forms]
1|кот|1|NOUN
3|кошка|3|NOUN
5|пушистый|5|ADJF
6|черный|6|ADJF
7|мяукать|7|INFN
8|быстро|8|ADVB
11|кот|11|NOUN
12|ящик|12|NOUN
13|ящик|13|NOUN
20|пёс|20|NOUN
[grams3]
5|1|7  5|3|7  5|-1|7  5|12|7  5|13|7  5|1|7  6|1|8  6|3|8  1|20|3
[grams2]
1|3  12|1
)"_s;

struct Searches : OpenDictionary
{
    using OpenDictionary::OpenDictionary;
    RecordedRun run(const QString &thesaurus, const QString &blackList = QString())
    {
        const SearchInput in{thesaurus, blackList, &PartWord};
        return recordBothWays(
            [&](const SearchReports &r) { return LinkedWordsSearch(dictionary).run(in, r); },
            [&](const SearchReports &r) { return literalLinkedWords(dictionary, in, r); });
    }
};

} // namespace

TEST(LinkedWordsSearch, FindsWordsOfTheSameContextsWithHomonymsTwice)
{
    Searches s(TestDictionary::fromText(Contexts));
    const RecordedRun fast = s.run(u"кот\r\n"_s);
    // The -1 middle adds nothing; both ящик stay, one linked to кот by a pair.
    EXPECT_EQ(fast.result.words, (QStringList{u"ящик"_s, u"кошка"_s, u"ящик"_s}));
    EXPECT_EQ(fast.reports,
              (QStringList{u"stage: Ищем id исходных форм (1)"_s, u"progress: 1"_s,
                           u"stage: Поиск словосочетаний (2)"_s, u"progress: 1"_s,
                           u"progress: 10"_s,
                           u"stage: Поиск слов по соседним словам (2)"_s, u"progress: 5"_s,
                           u"stage: Поиск исходных форм для найденных словоформ (7)"_s,
                           u"stage: Сортировка результатов (7)"_s, u"progress: 41"_s,
                           u"stage: Объединение результатов (7)"_s, u"progress: 42"_s,
                           u"stage: Фильтрация с использованием чёрного списка (4)"_s,
                           u"progress: 43"_s,
                           u"stage: Фильтрация с использованием тезауруса (4)"_s, u"progress: 44"_s,
                           u"stage: Сортировка в порядке значимости (3)"_s, u"progress: 44"_s,
                           u"progress: 99"_s,
                           u"stage: Сортировка результатов (3)"_s, u"progress: 100"_s}));
    EXPECT_EQ(s.run(u"кот"_s, u"ящик"_s).result.words, QStringList{u"кошка"_s});

    // мяукать never stands in the middle; the empty thesaurus has no seeds at all.
    for (const QString &thesaurus : {u"мяукать"_s, QString()}) {
        const RecordedRun none = s.run(thesaurus);
        EXPECT_TRUE(none.result.ok());
        EXPECT_TRUE(none.result.words.isEmpty());
        EXPECT_TRUE(none.reports.contains(u"progress: 10"_s));
    }
}

TEST(LinkedWordsSearch, MatchesTheLiteralMethodOnGeneratedDictionaries)
{
    for (std::uint32_t seed = 101; seed <= 106; ++seed) {
        SCOPED_TRACE(seed);
        const TestDictionary d = TestDictionary::generated(seed, 100 + 50 * int(seed - 100));
        Searches s(d);
        std::mt19937 random(seed);
        for (int round = 0; round < 5; ++round) {
            QString thesaurus;
            QString blackList;
            for (int i = 1 + int(random() % 20); i > 0; --i) {
                // Low ids stand in the middle of many triples.
                const qsizetype pick = random() % std::min<qsizetype>(40, d.forms().size());
                (random() % 4 ? thesaurus : blackList) += d.forms()[pick].word + u"\r\n"_s;
            }
            s.run(thesaurus, blackList);
        }
    }
}

namespace {

// собака fills three of кошка's contexts out of its four; человек the same three out of
// thirty-three, and it stands by кошка in two pairs; птица the three out of eleven, too
// few to count. банк is also a form of банка, whose context кружка shares.
QString animals()
{
    QString source = uR"(
[forms]
1|кошка|1|NOUN
2|кошки|1|NOUN,plur
3|собака|3|NOUN
4|человек|4|NOUN
5|банк|5|NOUN
6|банк|7|NOUN,gent,plur
7|банка|7|NOUN
8|кружка|8|NOUN
9|касса|9|NOUN
20|птица|20|NOUN
[grams2]
4|1  1|4
[grams3]
10|1|11  12|1|13  14|1|15  10|3|11  12|3|13  14|3|15  16|3|17  10|4|11  12|4|13  14|4|15
30|5|31  30|9|31  32|7|33  32|8|33
10|20|11  12|20|13  14|20|15
)"_s;
    for (int i = 0; i < 30; ++i)
        source += u"%1|4|%2\n"_s.arg(100 + 2 * i).arg(101 + 2 * i);
    for (int i = 0; i < 8; ++i)
        source += u"%1|20|%2\n"_s.arg(200 + 2 * i).arg(201 + 2 * i);
    return source;
}

RecordedRun rankedRun(Dictionary &dictionary, const QString &thesaurus, RankBy rankBy)
{
    const SearchInput in{thesaurus, QString(), &PartWord, rankBy};
    return recordRun(
        [&](const SearchReports &r) { return LinkedWordsSearch(dictionary).run(in, r); });
}

} // namespace

TEST(LinkedWordsSearch, RanksByStrengthTheWordsWhoseContextsAreTheSeeds)
{
    OpenDictionary d(TestDictionary::fromText(animals()));
    EXPECT_EQ(rankedRun(d.dictionary, u"кошка"_s, RankBy::Links).result.words,
              (QStringList{u"человек"_s, u"собака"_s, u"птица"_s}));
    // человек and птица share no more than chance: equal, with the words descending,
    // however far their contexts were counted.
    const RecordedRun strength = rankedRun(d.dictionary, u"кошка"_s, RankBy::Strength);
    EXPECT_TRUE(strength.result.ok()) << strength.result.error.toStdString();
    EXPECT_EQ(strength.result.words, (QStringList{u"собака"_s, u"человек"_s, u"птица"_s}));
    EXPECT_EQ(strength.reports.last(), u"progress: 100"_s);
    // The seed's own lexeme comes back by links, not by strength.
    EXPECT_EQ(rankedRun(d.dictionary, u"кошки"_s, RankBy::Links).result.words,
              (QStringList{u"человек"_s, u"собака"_s, u"птица"_s, u"кошка"_s}));
    EXPECT_EQ(rankedRun(d.dictionary, u"кошки"_s, RankBy::Strength).result.words,
              (QStringList{u"собака"_s, u"человек"_s, u"птица"_s}));
}

TEST(LinkedWordsSearch, StartsFromTheSeedsOwnLexemeRankingByStrength)
{
    OpenDictionary d(TestDictionary::fromText(animals()));
    EXPECT_EQ(rankedRun(d.dictionary, u"банк"_s, RankBy::Links).result.words,
              (QStringList{u"кружка"_s, u"касса"_s, u"банка"_s}));
    EXPECT_EQ(rankedRun(d.dictionary, u"банк"_s, RankBy::Strength).result.words,
              QStringList{u"касса"_s});
}

TEST(LinkedWordsSearch, ShowsTheStrongestThousandByStrength)
{
    // Candidate k fills 1 + k % 5 of the seed's five contexts and nothing else, so the
    // more it fills the stronger it is; общий fills all five among 20000 contexts of its
    // own. The 300 that fill one context fall below the thousandth and go unmeasured.
    TestDictionary d;
    d.addForm(1, u"зерно"_s, 1, u"NOUN"_s);
    for (int j = 0; j < 5; ++j)
        d.addTriple(10 + j, 1, 20 + j);
    QList<std::pair<int, QString>> expected;
    for (int k = 0; k < 1300; ++k) {
        const qint64 id = 100 + k;
        const int filled = k < 300 ? 1 : 2 + k % 4;
        const QString word = u"слово"_s + QString::number(id);
        d.addForm(id, word, id, u"NOUN"_s);
        for (int j = 0; j < filled; ++j)
            d.addTriple(10 + j, id, 20 + j);
        if (filled > 1)
            expected.append({filled, word});
    }
    d.addForm(50, u"общий"_s, 50, u"ADJF"_s);
    for (int j = 0; j < 5; ++j)
        d.addTriple(10 + j, 50, 20 + j);
    for (int i = 0; i < 20000; ++i)
        d.addTriple(30, 50, 100000 + i);
    std::sort(expected.begin(), expected.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : b.second < a.second;
    });
    QStringList words;
    for (const auto &[filled, word] : std::as_const(expected))
        words.append(word);
    ASSERT_EQ(words.size(), 1000);

    OpenDictionary open(d);
    const RecordedRun strength = rankedRun(open.dictionary, u"зерно"_s, RankBy::Strength);
    EXPECT_EQ(strength.result.words, words);
}

namespace {

// Stores each lexeme's number of contexts as the dictionary builder does, adding a
// lexemes table where there is none; ids that are multiples of skip keep no count.
void storeContexts(const QString &path, int skip)
{
    const QString sql =
        u"create table if not exists lexemes (id integer primary key, freq integer not null,"
        " share real not null);"
        "insert or ignore into lexemes select distinct word2id, 1, 0 from grams3;"
        "alter table lexemes add column contexts integer;"
        "update lexemes set contexts = (select count(*) from grams3 where word2id = lexemes.id)"
        " where id % %1 != 0;"_s.arg(skip);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char *message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message), SQLITE_OK)
        << message;
    sqlite3_free(message);
    sqlite3_close(db);
}

// Ranks by strength without stored counts, then with counts for all lexemes but the
// multiples of skip (counted instead): the words must be the same, and so must the
// reports up to the ranking, whose progress and count follow the candidates measured.
void expectSameWithStoredContexts(const TestDictionary &source, const QStringList &seeds,
                                  int skip)
{
    const DictionaryFile file(source);
    ASSERT_TRUE(file.error().isEmpty()) << file.error().toStdString();
    QList<RecordedRun> counted;
    {
        Dictionary dictionary;
        ASSERT_TRUE(dictionary.ConnectDictionary(file.path()));
        for (const QString &seed : seeds)
            counted.append(rankedRun(dictionary, seed, RankBy::Strength));
    }
    storeContexts(file.path(), skip);
    Dictionary dictionary;
    ASSERT_TRUE(dictionary.ConnectDictionary(file.path()));
    for (qsizetype i = 0; i < seeds.size(); ++i) {
        SCOPED_TRACE(seeds[i].toStdString());
        const RecordedRun stored = rankedRun(dictionary, seeds[i], RankBy::Strength);
        EXPECT_TRUE(stored.result.ok()) << stored.result.error.toStdString();
        EXPECT_FALSE(stored.result.words.isEmpty());
        EXPECT_EQ(stored.result.words, counted[i].result.words);
        const auto ranking = [](QStringList reports) {
            while (!reports.isEmpty()
                   && !reports.last().startsWith(u"stage: Сортировка в порядке значимости"_s))
                reports.removeLast();
            EXPECT_FALSE(reports.isEmpty());
            return reports;
        };
        EXPECT_EQ(ranking(stored.reports), ranking(counted[i].reports));
    }
}

} // namespace

TEST(LinkedWordsSearch, RanksTheSameByStoredContextCounts)
{
    // A few candidates, looked up one by one, all stored or some counted.
    for (const int skip : {1000, 3})
        expectSameWithStoredContexts(TestDictionary::fromText(animals()),
                                     {u"кошка"_s, u"кошки"_s, u"банк"_s}, skip);

    // Over ten thousand candidates, read in one pass: each fills some of the seed's
    // eight contexts and has some of its own, so that many tie and most fall below the
    // thousandth.
    TestDictionary many;
    many.addForm(1, u"зерно"_s, 1, u"NOUN"_s);
    for (int j = 0; j < 8; ++j)
        many.addTriple(10 + j, 1, 20 + j);
    std::mt19937 random(7);
    for (qint64 id = 100; id < 10300; ++id) {
        many.addForm(id, u"слово"_s + QString::number(id % 9000), id, u"NOUN"_s);
        for (int j = 0, filled = 1 + int(random() % 8); j < filled; ++j)
            many.addTriple(10 + j, id, 20 + j);
        for (int j = 0, own = int(random() % 5); j < own; ++j)
            many.addTriple(30 + int(random() % 50), id, 40);
    }
    expectSameWithStoredContexts(many, {u"зерно"_s}, 5);

    // The stored count is the one read: человек with 3 contexts fills all of кошка's.
    OpenDictionary d(TestDictionary::fromText(animals()));
    storeContexts(d.file.path(), 1000);
    Dictionary stored;
    ASSERT_TRUE(stored.ConnectDictionary(d.file.path()));
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(d.file.path()).constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "update lexemes set contexts=3 where id=4", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(rankedRun(stored, u"кошка"_s, RankBy::Strength).result.words.first(),
              u"человек"_s);
}
