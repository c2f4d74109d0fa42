#include "builder/relatedwordssearch.h"

#include "builder/literalsearch.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

// кот has a homograph with its own initial form (11); ящик has two (12, 13); 99 has no
// form; lat has a tag outside the 17.
const QString Cats = uR"(
[forms]
1|кот|1|NOUN,anim,masc
2|кота|1|NOUN,anim,masc,gent
3|кошка|3|NOUN,anim,femn
4|кошки|3|NOUN,anim,femn,plur
5|пушистый|5|ADJF,masc
6|черный|6|ADJF
7|мяукать|7|INFN
8|быстро|8|ADVB
10|lat|10|LATN
11|кот|11|NOUN,inan
12|ящик|12|NOUN
13|ящик|13|NOUN
[grams2]
5|1  1|7  5|3  3|7  6|1  1|8  8|1  10|1
1|99  12|3  13|3  1|3
)"_s;

struct Searches : OpenDictionary
{
    using OpenDictionary::OpenDictionary;
    RecordedRun run(const QString &thesaurus, const QString &blackList = QString(),
                    const part_word *filter = &PartWord)
    {
        const SearchInput in{thesaurus, blackList, filter};
        return recordBothWays(
            [&](const SearchReports &r) { return RelatedWordsSearch(dictionary).run(in, r); },
            [&](const SearchReports &r) { return literalRelatedWords(dictionary, in, r); });
    }
};

} // namespace

TEST(RelatedWordsSearch, RanksNeighboursByLinksWithTheStagesShown)
{
    Searches s(TestDictionary::fromText(Cats));
    // Capitals are lowercased; кошки finds кошка's id yet filters only itself, so кошка
    // comes back; 8 links to кот both ways and counts twice; ящик merges into one line;
    // equal counts stand with the words descending.
    const RecordedRun fast = s.run(u"Кот\r\nкошки\r\n"_s, u"Черный\r\n"_s);
    EXPECT_EQ(fast.result.words,
              (QStringList{u"пушистый"_s, u"мяукать"_s, u"быстро"_s, u"ящик"_s, u"кошка"_s}));
    EXPECT_EQ(fast.result.foundText(), u"пушистый\r\nмяукать\r\nбыстро\r\nящик\r\nкошка\r\n"_s);
    EXPECT_EQ(fast.reports,
              (QStringList{u"stage: Ищем id исходных форм (2)"_s, u"progress: 1"_s,
                           u"stage: Поиск словосочетаний (3)"_s, u"progress: 1"_s, u"progress: 5"_s,
                           u"stage: Поиск исходных форм для найденных словоформ (13)"_s,
                           u"stage: Сортировка результатов (11)"_s, u"progress: 41"_s,
                           u"stage: Объединение результатов (11)"_s, u"progress: 42"_s,
                           u"stage: Фильтрация с использованием чёрного списка (7)"_s,
                           u"progress: 43"_s,
                           u"stage: Фильтрация с использованием тезауруса (6)"_s, u"progress: 44"_s,
                           u"stage: Сортировка в порядке значимости (5)"_s, u"progress: 44"_s,
                           u"progress: 99"_s,
                           u"stage: Сортировка результатов (5)"_s, u"progress: 100"_s}));
}

TEST(RelatedWordsSearch, LinesWithBlanksAndEmptyInputsFindNothing)
{
    Searches s(TestDictionary::fromText(Cats));
    // A blank around a seed or a black-list word makes it match nothing.
    const RecordedRun blanks = s.run(u" кот\r\nкошка \r\n\r\n"_s, u"мяукать \r\n"_s);
    EXPECT_TRUE(blanks.result.ok());
    EXPECT_TRUE(blanks.result.words.isEmpty());
    EXPECT_EQ(blanks.reports.first(), u"stage: Ищем id исходных форм (3)"_s);
    EXPECT_TRUE(s.run(u"кот"_s, u"мяукать \r\n"_s).result.words.contains(u"мяукать"_s));

    const RecordedRun empty = s.run(QString());
    EXPECT_TRUE(empty.result.words.isEmpty());
    EXPECT_EQ(empty.result.foundText(), QString());
    EXPECT_TRUE(
        empty.reports.contains(u"stage: Поиск исходных форм для найденных словоформ (0)"_s));
}

TEST(RelatedWordsSearch, KeepsOnlyTheAllowedPartsOfSpeech)
{
    Searches s(TestDictionary::fromText(Cats));
    part_word filter;
    filter.setAll(false);
    EXPECT_TRUE(s.run(u"кот"_s, {}, &filter).result.words.isEmpty());
    filter.set(1, true);  // adjectives
    EXPECT_EQ(s.run(u"кот"_s, {}, &filter).result.words, (QStringList{u"черный"_s, u"пушистый"_s}));
}

TEST(RelatedWordsSearch, RanksCountsAsNumbersAndShowsTheBestThousand)
{
    TestDictionary d;
    d.addForm(1, u"зерно"_s, 1, u"NOUN"_s);
    // 1500 candidates with counts 1 to 7, and three whose counts need five digits.
    for (qint64 id = 2; id <= 1501; ++id) {
        d.addForm(id, u"слово"_s + QString::number(id), id, u"NOUN"_s);
        for (qint64 i = 0; i <= id % 7; ++i)
            d.addPair(id, 1);
    }
    d.addForm(2000, u"а"_s, 2000, u"NOUN"_s);
    d.addForm(2001, u"б"_s, 2001, u"NOUN"_s);
    d.addForm(2002, u"в"_s, 2002, u"NOUN"_s);
    for (int i = 0; i < 10000; ++i) {
        d.addPair(1, 2000);
        if (i < 9999)
            d.addPair(2001, 1);
        if (i < 2000)
            d.addPair(1, 2002);
    }
    const RecordedRun fast = Searches(d).run(u"зерно"_s);
    ASSERT_EQ(fast.result.words.size(), 1000);
    EXPECT_EQ(fast.result.words.mid(0, 4),
              (QStringList{u"а"_s, u"б"_s, u"в"_s, u"слово993"_s}));
}

TEST(RelatedWordsSearch, KeepsAWordWithATabWhole)
{
    const RecordedRun fast = Searches(TestDictionary::fromText(
        u"[forms]\n1|кот|1|NOUN\n2|кот\t7|2|NOUN\n7|семь|7|NOUN\n[grams2]\n1|2\n"_s)).run(u"кот"_s);
    EXPECT_EQ(fast.result.words, QStringList{u"кот\t7"_s});
}

TEST(RelatedWordsSearch, MatchesTheLiteralMethodOnGeneratedDictionaries)
{
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        const TestDictionary d = TestDictionary::generated(seed, 100 + 60 * int(seed));
        Searches s(d);
        std::mt19937 random(seed);
        for (int round = 0; round < 6; ++round) {
            QString thesaurus;
            QString blackList;
            for (int i = int(random() % 30); i > 0; --i) {
                const QString &word = d.forms()[random() % d.forms().size()].word;
                (random() % 4 ? thesaurus : blackList) += word + u"\r\n"_s;
            }
            s.run(round == 0 ? u"\r\nнет такого\r\n"_s : thesaurus, blackList);
        }
    }
}

namespace {

// крепкий is a rare word that stands by чай often; весь a frequent one that stands by it
// on both sides; the noun дорога is also the short form of дорогой, which stands by
// подарок.
const QString Tea = uR"(
[forms]
1|чай|1|NOUN,inan,masc
10|чаю|1|NOUN,inan,masc,datv
2|крепкий|2|ADJF
3|весь|3|ADJF
4|зелёный|4|ADJF
5|дорога|5|NOUN,inan,femn
6|дорога|7|ADJS,femn
7|дорогой|7|ADJF
8|подарок|8|NOUN
9|горный|9|ADJF
[grams2]
2|1|6  3|1|20  1|3|20  4|1|3  9|5|4  7|8|5
[lexemes]
1|40  2|8  3|50000  4|200  5|30  7|60  8|20  9|10
)"_s;

RecordedRun rankedRun(Dictionary &dictionary, const QString &thesaurus, RankBy rankBy,
                      const QString &blackList = QString(), const part_word *filter = &PartWord)
{
    const SearchInput in{thesaurus, blackList, filter, rankBy};
    return recordRun(
        [&](const SearchReports &r) { return RelatedWordsSearch(dictionary).run(in, r); });
}

// The stage texts without their counts.
QStringList stagePrefixes(const QStringList &reports)
{
    QStringList stages;
    for (const QString &line : reports)
        if (line.startsWith(u"stage: "_s))
            stages.append(line.left(line.lastIndexOf(u'(')));
    return stages;
}

} // namespace

TEST(RelatedWordsSearch, RanksByStrengthARarePairAboveAFrequentWord)
{
    OpenDictionary d(TestDictionary::fromText(Tea));
    const RecordedRun links = rankedRun(d.dictionary, u"чай"_s, RankBy::Links);
    EXPECT_EQ(links.result.words, (QStringList{u"весь"_s, u"крепкий"_s, u"зелёный"_s}));
    const RecordedRun strength = rankedRun(d.dictionary, u"Чай"_s, RankBy::Strength);
    EXPECT_TRUE(strength.result.ok()) << strength.result.error.toStdString();
    EXPECT_EQ(strength.result.words, (QStringList{u"крепкий"_s, u"зелёный"_s, u"весь"_s}));
    // The same stages and the same progress at their ends.
    EXPECT_EQ(stagePrefixes(strength.reports), stagePrefixes(links.reports));
    EXPECT_EQ(strength.reports.last(), u"progress: 100"_s);
    // An inflected seed still finds its initial form; the filters still apply.
    EXPECT_EQ(rankedRun(d.dictionary, u"чаю"_s, RankBy::Strength, u"зелёный"_s).result.words,
              (QStringList{u"крепкий"_s, u"весь"_s}));
    part_word nouns;
    nouns.setAll(false);
    nouns.set(0, true);
    EXPECT_TRUE(
        rankedRun(d.dictionary, u"чай"_s, RankBy::Strength, {}, &nouns).result.words.isEmpty());
}

TEST(RelatedWordsSearch, StartsFromTheSeedsOwnLexemeRankingByStrength)
{
    OpenDictionary d(TestDictionary::fromText(Tea));
    // By links дорога also seeds дорогой, whose подарок comes along.
    EXPECT_EQ(rankedRun(d.dictionary, u"дорога"_s, RankBy::Links).result.words,
              (QStringList{u"подарок"_s, u"горный"_s}));
    EXPECT_EQ(rankedRun(d.dictionary, u"дорога"_s, RankBy::Strength).result.words,
              QStringList{u"горный"_s});
}

TEST(RelatedWordsSearch, NeedsTheWordFrequenciesToRankByStrength)
{
    OpenDictionary d(TestDictionary::fromText(Cats));
    const RecordedRun strength = rankedRun(d.dictionary, u"кот"_s, RankBy::Strength);
    EXPECT_FALSE(strength.result.ok());
    EXPECT_TRUE(strength.result.words.isEmpty());
    EXPECT_TRUE(strength.result.error.contains(u"lexemes"_s)) << strength.result.error.toStdString();
    EXPECT_TRUE(rankedRun(d.dictionary, u"кот"_s, RankBy::Links).result.ok());
}
