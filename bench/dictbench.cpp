// Counts a synthetic corpus the way `lexorum-cli dict build` counts one: 100 million tokens
// (or the count given) drawn from a dictionary's word forms with Zipf frequencies, in lines
// of text with punctuation, generated as they are counted so that nothing but the counts
// stays in memory. Prints the time, the distinct n-grams and the peak memory.
//
// With --build, writes such a corpus instead, half as plain text and half as a Wikipedia
// dump (.xml.bz2: the same kind of words in wiki markup), into WORKDIR, then runs
// `lexorum-cli dict build` on it and prints the time, the build's peak memory and the
// file's size.
//
//   bench_dict DICTIONARY.sqlite [TOKENS]
//   bench_dict DICTIONARY.sqlite TOKENS --build MORPHOLOGY_DIR WORKDIR [BUILD_OPTION...]

#include "dictionary/ngramcounter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <bzlib.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstring>
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

// Draws words with Zipf frequencies and makes lines of them with punctuation.
class Generator
{
public:
    explicit Generator(const std::vector<std::string> &words) : m_words(words)
    {
        m_cumulative.resize(words.size());
        double sum = 0;
        for (std::size_t rank = 0; rank < words.size(); ++rank)
            m_cumulative[rank] = sum += 1.0 / double(rank + 1);
        m_uniform = std::uniform_real_distribution<double>(0, sum);
    }
    const std::string &word()
    {
        const auto at = std::lower_bound(m_cumulative.begin(), m_cumulative.end(),
                                         m_uniform(m_random));
        return m_words[std::min<std::size_t>(std::size_t(at - m_cumulative.begin()),
                                             m_words.size() - 1)];
    }
    int number(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_random); }
    // Appends a line of length words; made counts them.
    void line(int length, std::string *out, long long *made)
    {
        static const char *const Marks[] = {", ", ". ", " — ", "; "};
        for (int k = 0; k < length; ++k, ++*made) {
            if (k > 0)
                *out += number(0, 9) == 0 ? Marks[number(0, 3)] : " ";
            *out += word();
        }
    }

private:
    const std::vector<std::string> &m_words;
    std::vector<double> m_cumulative;
    std::mt19937_64 m_random{20261207};
    std::uniform_real_distribution<double> m_uniform;
};

// An article in wiki markup, XML-escaped, whose prose holds about words tokens: an
// infobox, paragraphs with bold words, links and references, headings, tables, a file
// and a category.
std::string wikiArticle(Generator &g, long long words, long long *made)
{
    std::string text = "{{Карточка\n|имя = " + g.word() + "\n|тип = {{нп|" + g.word()
                       + "}}\n}}\n";
    const long long start = *made;
    while (*made - start < words) {
        if (g.number(0, 4) == 0) {
            text += "\n== ";
            g.line(g.number(1, 3), &text, made);
            text += " ==\n";
        }
        const int sentences = g.number(1, 4);
        for (int s = 0; s < sentences; ++s) {
            text += "'''";
            g.line(1, &text, made);
            text += "''' ";
            g.line(g.number(2, 8), &text, made);
            text += " [[" + g.word() + "|";
            g.line(1, &text, made);
            text += "]] ";
            g.line(g.number(2, 8), &text, made);
            text += " [[";
            g.line(1, &text, made);
            text += "]].&lt;ref&gt;" + g.word() + " " + g.word() + ", 1999&lt;/ref&gt; ";
        }
        text += "\n";
        if (g.number(0, 9) == 0)
            text += "{| class=\"wikitable\"\n|-\n| " + g.word() + " || " + g.word() + "\n|}\n";
    }
    text += "[[Файл:Пример.jpg|мини|" + g.word() + "]]\n[[Категория:" + g.word() + "]]\n";
    return text;
}

bool writeCorpus(const std::vector<std::string> &words, long long tokens, const QString &dir)
{
    Generator g(words);
    QFile text(QDir(dir).filePath(QStringLiteral("generated.txt")));
    if (!text.open(QIODevice::WriteOnly))
        return false;
    long long made = 0;
    std::string line;
    while (made < tokens / 2) {
        line.clear();
        g.line(g.number(5, 40), &line, &made);
        line += '\n';
        text.write(line.data(), qint64(line.size()));
    }
    text.close();
    const QString dumpPath =
        QDir(dir).filePath(QStringLiteral("ruwiki-generated-pages-articles.xml.bz2"));
    FILE *file = std::fopen(dumpPath.toUtf8().constData(), "wb");
    int error = 0;
    BZFILE *dump = file ? BZ2_bzWriteOpen(&error, file, 5, 0, 0) : nullptr;
    if (!dump)
        return false;
    const auto put = [&](const std::string &piece) {
        BZ2_bzWrite(&error, dump, const_cast<char *>(piece.data()), int(piece.size()));
    };
    put("<mediawiki xmlns=\"http://www.mediawiki.org/xml/export-0.10/\" xml:lang=\"ru\">\n");
    for (long long page = 1; made < tokens; ++page) {
        put("<page><title>" + g.word() + "</title><ns>0</ns><id>" + std::to_string(page)
            + "</id><revision><text xml:space=\"preserve\">");
        put(wikiArticle(g, g.number(100, 3000), &made));
        put("</text></revision></page>\n");
    }
    put("</mediawiki>\n");
    BZ2_bzWriteClose(&error, dump, 0, nullptr, nullptr);
    return std::fclose(file) == 0 && error == BZ_OK;
}

int buildBench(const std::vector<std::string> &words, long long tokens, const QStringList &args)
{
    const QString morphology = args.value(0);
    const QString dir = args.value(1);
    if (morphology.isEmpty() || dir.isEmpty() || !QDir().mkpath(dir)) {
        std::fprintf(stderr, "bench_dict: --build needs MORPHOLOGY_DIR and WORKDIR\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    if (!writeCorpus(words, tokens, dir)) {
        std::fprintf(stderr, "bench_dict: cannot write the corpus into %s\n", qPrintable(dir));
        return 1;
    }
    std::printf("%lld tokens written in %.1f s: %s\n", tokens, double(clock.elapsed()) / 1000,
                qPrintable(QDir(dir).entryList(QDir::Files).join(QStringLiteral(", "))));
    std::fflush(stdout);
    const QString out = QDir(dir).filePath(QStringLiteral("built.sqlite"));
    QStringList buildArgs = {
        QStringLiteral("dict"), QStringLiteral("build"), QStringLiteral("--morph"), morphology,
        QStringLiteral("--corpus"), QDir(dir).filePath(QStringLiteral("generated.txt")),
        QStringLiteral("--corpus"),
        QDir(dir).filePath(QStringLiteral("ruwiki-generated-pages-articles.xml.bz2")),
        QStringLiteral("--out"), out};
    buildArgs += args.mid(2);
    QProcess build;
    build.setProcessChannelMode(QProcess::ForwardedChannels);
    const QString cli = QStringLiteral(LEXORUM_BIN_DIR "/lexorum-cli");
    clock.restart();
    build.start(cli, buildArgs);
    if (!build.waitForFinished(-1) || build.exitCode() != 0) {
        std::fprintf(stderr, "bench_dict: %s failed\n", qPrintable(cli));
        return 1;
    }
    // The build is the only child waited for, so its peak is the children's.
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    std::printf("built in %.1f s, peak memory %.0f MB; %s: %.0f MB\n",
                double(clock.elapsed()) / 1000, double(usage.ru_maxrss) / 1024,
                qPrintable(out), double(QFileInfo(out).size()) / (1 << 20));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_dict DICTIONARY.sqlite [TOKENS] "
                             "[--build MORPHOLOGY_DIR WORKDIR [BUILD_OPTION...]]\n");
        return 2;
    }
    const long long wanted = argc > 2 ? std::atoll(argv[2]) : 100'000'000LL;
    const std::vector<std::string> words = readWords(argv[1]);
    if (words.empty()) {
        std::fprintf(stderr, "bench_dict: no forms in %s\n", argv[1]);
        return 1;
    }
    if (argc > 3 && std::strcmp(argv[3], "--build") == 0) {
        QStringList rest;
        for (int i = 4; i < argc; ++i)
            rest.append(QString::fromLocal8Bit(argv[i]));
        return buildBench(words, wanted, rest);
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
