#include "dictionary/ngramcounter.h"

#include "tests/support/printers.h"
#include "tests/dictionary/morphologyfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

using Runs = std::vector<std::vector<std::string>>;

Runs runsOf(const std::string &text)
{
    Runs runs(1);
    tokenizeLine(
        text, [&](std::string_view token) { runs.back().emplace_back(token); },
        [&] { runs.emplace_back(); });
    runs.pop_back();
    return runs;
}

// The counts of a table, each n-gram's tokens joined by blanks.
template<int N>
std::map<std::string, std::uint32_t> counts(const NgramCounter &c, const NgramTable<N> &table)
{
    std::map<std::string, std::uint32_t> out;
    table.forEach([&](const typename NgramTable<N>::Key &k, std::uint32_t n) {
        std::string joined = c.token(k[0]);
        for (int i = 1; i < N; ++i)
            joined += " " + c.token(k[std::size_t(i)]);
        out[joined] = n;
    });
    return out;
}

} // namespace

TEST(TokenizeLine, MakesRunsOfCyrillicWordsBetweenOtherCharacters)
{
    EXPECT_EQ(runsOf("Кошки  стали\tЛОВИТЬ мышей."), (Runs{{"кошки", "стали", "ловить", "мышей"}}));
    EXPECT_EQ(runsOf("Ёж, кошка и сталь"), (Runs{{"ёж"}, {"кошка", "и", "сталь"}}));
    // Digits, Latin letters and punctuation end a run; inner hyphens stay in the word.
    EXPECT_EQ(runsOf("чёрно-белый кот 2 раза сказал Hello мяу"),
              (Runs{{"чёрно-белый", "кот"}, {"раза", "сказал"}, {"мяу"}}));
    EXPECT_EQ(runsOf("кто-то - где-то -там- тут-"), (Runs{{"кто-то"}, {"где-то"}, {"там"}, {"тут"}}));
    EXPECT_EQ(runsOf("кот«пёс»"), (Runs{{"кот"}, {"пёс"}}));
    // Soft hyphens and stress marks inside a word vanish; a no-break space is white space.
    EXPECT_EQ(runsOf("моло\u00ADко за\u0301мок\u00A0дом"), (Runs{{"молоко", "замок", "дом"}}));
    EXPECT_EQ(runsOf("Ѣ Ї і"), (Runs{{"ѣ", "ї", "і"}}));
    EXPECT_EQ(runsOf(""), Runs{});
    EXPECT_EQ(runsOf("\xFF\xFE кот"), (Runs{{"кот"}}));  // malformed bytes are no letters
}

TEST(NgramCounter, CountsPairsAndTriplesWithinRunsAndLines)
{
    NgramCounter c;
    c.addLine("Кошки стали лучших. Кошки стали");
    c.addLine("лучших кошки");
    EXPECT_EQ(c.totalTokens(), 7u);
    EXPECT_EQ(c.tokenTypeCount(), 3u);
    EXPECT_EQ(counts(c, c.bigrams()), (std::map<std::string, std::uint32_t>{
                            {"кошки стали", 2}, {"стали лучших", 1}, {"лучших кошки", 1}}));
    EXPECT_EQ(counts(c, c.trigrams()), (std::map<std::string, std::uint32_t>{{"кошки стали лучших", 1}}));
}

TEST(NgramTable, KeepsEveryCountAcrossGrowth)
{
    NgramTable<3> table;
    for (std::uint32_t round = 0; round < 3; ++round)
        for (std::uint32_t i = 0; i < 5000; ++i)
            table.add({i, i + 1, round == 2 ? 7u : i + 2});
    EXPECT_EQ(table.size(), 10000u - 1);  // (5, 6, 7) is met in both kinds of rounds
    std::uint64_t total = 0;
    std::uint32_t twice = 0;
    table.forEach([&](const NgramTable<3>::Key &, std::uint32_t n) {
        total += n;
        twice += n == 2;
    });
    EXPECT_EQ(total, 15000u);
    EXPECT_EQ(twice, 4999u);
}

TEST(NgramCounter, ReadsFilesAndFoldersAndNamesTheOneItCannotRead)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("sub"));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("a.txt")), "\xEF\xBB\xBFкот пёс\r\nкот"));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("sub/b.txt")), "пёс кот"));
    NgramCounter c;
    QString error;
    ASSERT_TRUE(c.addPath(dir.path(), &error));
    EXPECT_EQ(c.fileCount(), 2);
    EXPECT_EQ(c.totalTokens(), 5u);
    EXPECT_EQ(counts(c, c.bigrams()), (std::map<std::string, std::uint32_t>{{"кот пёс", 1}, {"пёс кот", 1}}));

    EXPECT_FALSE(c.addPath(dir.filePath(QStringLiteral("none.txt")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none.txt")));
    QFile locked(dir.filePath(QStringLiteral("sub/b.txt")));
    locked.setPermissions(QFileDevice::Permissions());
    if (QFile(locked.fileName()).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with permission to read anything";
    EXPECT_FALSE(c.addPath(dir.path(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("b.txt")));
}
