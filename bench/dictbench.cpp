// Counts a synthetic corpus the way `lexorum-cli dict build` counts one: 100 million tokens
// (or the count given) drawn from a dictionary's word forms with Zipf frequencies, in lines
// of text with punctuation, generated as they are counted so that nothing but the counts
// stays in memory. Prints the time, the distinct n-grams and the peak memory.
//
//   bench_dict DICTIONARY.sqlite [TOKENS]

#include "dictionary/ngramcounter.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

std::vector<std::string> readWords(const char *path)
{
    std::vector<std::string> words;
    sqlite3 *db = nullptr;
    sqlite3_stmt *select = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "select word from forms order by id", -1, &select, nullptr)
               == SQLITE_OK) {
        std::string previous;
        while (sqlite3_step(select) == SQLITE_ROW) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(select, 0));
            words.emplace_back(text);
        }
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    // Rows come lexeme by lexeme, most frequent first: that order is the Zipf rank.
    return words;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_dict DICTIONARY.sqlite [TOKENS]\n");
        return 2;
    }
    const long long wanted = argc > 2 ? std::atoll(argv[2]) : 100'000'000LL;
    const std::vector<std::string> words = readWords(argv[1]);
    if (words.empty()) {
        std::fprintf(stderr, "bench_dict: no forms in %s\n", argv[1]);
        return 1;
    }
    std::vector<double> cumulative(words.size());
    double sum = 0;
    for (std::size_t rank = 0; rank < words.size(); ++rank)
        cumulative[rank] = sum += 1.0 / double(rank + 1);
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> uniform(0, sum);
    std::uniform_int_distribution<int> lineLength(5, 40);
    std::uniform_int_distribution<int> punctuation(0, 9);
    const char *const Marks[] = {", ", ". ", " — ", "; "};

    NgramCounter counter;
    QElapsedTimer clock;
    clock.start();
    std::string line;
    long long made = 0;
    qint64 counting = 0;  // nanoseconds spent in the counter, without the generator
    while (made < wanted) {
        line.clear();
        const int length = lineLength(random);
        for (int k = 0; k < length && made < wanted; ++k, ++made) {
            const auto at = std::lower_bound(cumulative.begin(), cumulative.end(),
                                             uniform(random));
            const std::size_t rank = std::min<std::size_t>(at - cumulative.begin(),
                                                           words.size() - 1);
            if (k > 0)
                line += punctuation(random) == 0 ? Marks[punctuation(random) % 4] : " ";
            line += words[rank];
        }
        const qint64 before = clock.nsecsElapsed();
        counter.addLine(line);
        counting += clock.nsecsElapsed() - before;
    }
    const double seconds = double(clock.elapsed()) / 1000;
    std::printf("%lld tokens generated and counted in %.1f s (%.1f million tokens/s)\n",
                made, seconds, double(made) / seconds / 1e6);
    std::printf("of which counting %.1f s (%.1f million tokens/s)\n", double(counting) / 1e9,
                double(made) / (double(counting) / 1e9) / 1e6);
    std::printf("%zu distinct tokens, %zu distinct pairs, %zu distinct triples\n",
                counter.tokenTypeCount(), counter.bigrams().size(), counter.trigrams().size());
    std::printf("peak memory %.0f MB (%zu forms held for generating)\n",
                double(peakKilobytes()) / 1024, words.size());
    return 0;
}
