#include "builder/linkedwordssearch.h"

#include "builder/literalsearch.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

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
