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

TEST(NgramCounter, ReadsFilesAndFoldersAndSkipsTheOnesItCannotRead)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("sub"));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("a.txt")), "\xEF\xBB\xBFкот пёс\r\nкот"));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("sub/b.txt")), "пёс кот"));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("sub/c.txt.gz")), "not gzip"));
    NgramCounter c;
    QStringList heard;
    c.skipped = [&](const QString &message) { heard.append(message); };
    QString error;
    ASSERT_TRUE(c.addPath(dir.path(), &error));
    EXPECT_EQ(c.fileCount(), 2);
    EXPECT_EQ(c.totalTokens(), 5u);
    EXPECT_EQ(counts(c, c.bigrams()), (std::map<std::string, std::uint32_t>{{"кот пёс", 1}, {"пёс кот", 1}}));
    ASSERT_EQ(heard.size(), 1);
    EXPECT_TRUE(heard[0].contains(QStringLiteral("c.txt.gz: "))) << heard[0].toStdString();
    EXPECT_EQ(c.skippedFiles(), heard);

    EXPECT_FALSE(c.addPath(dir.filePath(QStringLiteral("none.txt")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none.txt")));
    c.cancelled = [] { return true; };
    EXPECT_FALSE(c.addPath(dir.path(), &error));
    EXPECT_EQ(error, NgramCounter::cancelledMessage());
}

namespace {

// A corpus of a few thousand distinct pairs and triples.
void addCorpus(NgramCounter *c, int from, int to)
{
    const char *const words[] = {"кот", "пёс", "ёж", "мышь", "сыр", "дом", "лес", "снег",
                                 "вода", "огонь", "день", "ночь", "дым", "луг", "пар", "сад"};
    for (int line = from; line < to; ++line) {
        std::string text;
        std::uint32_t state = std::uint32_t(line) * 2654435761u + 1;
        for (int k = 0; k < 12; ++k) {
            state = state * 1103515245u + 12345u;
            text += words[(state >> 16) % 16];
            text += k % 5 == 4 ? ", " : " ";
        }
        c->addLine(text);
    }
}

template<int N>
std::map<std::string, std::uint64_t> merged(NgramCounter &c)
{
    std::map<std::string, std::uint64_t> out;
    QString error;
    const auto visit = [&](const auto &key, std::uint64_t n) {
        std::string joined = c.token(key[0]);
        for (std::size_t i = 1; i < key.size(); ++i)
            joined += " " + c.token(key[i]);
        EXPECT_EQ(out.count(joined), 0u) << joined;
        out[joined] = n;
    };
    const bool ok = N == 2 ? c.forEachPair(visit, &error) : c.forEachTriple(visit, &error);
    EXPECT_TRUE(ok) << error.toStdString();
    return out;
}

} // namespace

TEST(NgramCounter, SpillsSortedRunsUnderASmallBudgetAndMergesThemToTheSameCounts)
{
    NgramCounter whole;
    addCorpus(&whole, 0, 3000);
    ASSERT_GT(whole.trigrams().size(), 1000u);
    QTemporaryDir dir;
    NgramCounter spilled;
    spilled.setMemoryBudget(64 << 10, dir.path());
    addCorpus(&spilled, 0, 3000);
    EXPECT_GT(spilled.spilledRuns(), 4u);
    EXPECT_LE(spilled.bigrams().bytes() + spilled.trigrams().bytes(), std::size_t(64) << 10);
    EXPECT_EQ(merged<2>(spilled), merged<2>(whole));
    EXPECT_EQ(merged<3>(spilled), merged<3>(whole));
    EXPECT_EQ(spilled.totalTokens(), whole.totalTokens());
}

TEST(NgramCounter, MergesSharesCountedApartIntoTheCountsOfTheWhole)
{
    QTemporaryDir dir;
    NgramCounter whole;
    addCorpus(&whole, 0, 900);
    NgramCounter first;
    addCorpus(&first, 0, 500);
    NgramCounter second;
    second.setMemoryBudget(32 << 10, dir.path());  // a share that spilled writes merged runs
    addCorpus(&second, 500, 900);
    QString error;
    ASSERT_TRUE(first.writeCounts(dir.filePath(QStringLiteral("1.counts")), &error));
    ASSERT_TRUE(second.writeCounts(dir.filePath(QStringLiteral("2.counts")), &error));
    NgramCounter all;
    ASSERT_TRUE(all.addCounts(dir.filePath(QStringLiteral("1.counts")), &error));
    ASSERT_TRUE(all.addCounts(dir.filePath(QStringLiteral("2.counts")), &error));
    EXPECT_EQ(all.totalTokens(), whole.totalTokens());
    EXPECT_EQ(all.tokenTypeCount(), whole.tokenTypeCount());
    EXPECT_EQ(merged<2>(all), merged<2>(whole));
    EXPECT_EQ(merged<3>(all), merged<3>(whole));

    QFile cut(dir.filePath(QStringLiteral("2.counts")));
    ASSERT_TRUE(cut.resize(cut.size() - 5));
    EXPECT_FALSE(all.addCounts(cut.fileName(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("2.counts: not a complete counts file")))
        << error.toStdString();
}
