// Times the two dictionary searches, fast and literal, on a generated dictionary.
//
//   bench_search [--scale S] [--seeds FIRST] [--no-literal] [--plain-indexes] [--file PATH]
//
// At scale 1 the dictionary has 2,000,000 forms (250,000 initial forms of eight forms
// each), 10,000,000 grams2 rows and 10,000,000 grams3 rows; both ends of a pair, the
// middle of a triple and the outer words of its context draw initial forms by a Zipf
// law (exponent 1). Triples take their outer pair from a pool of contexts, so a context
// holds a few triples, as in a corpus; one middle in twenty is -1. The file is cached
// under /tmp by scale. The seeds are the 100 initial forms of frequency ranks FIRST to
// FIRST + 99 (default 1001: the top half per cent), given as word forms with capitals.
// Both searches run ranked by links (checked against the literal method) and by
// strength; the lexemes table that ranking by strength reads holds each initial form's
// pair count and its number of contexts, and is added to a cached file that lacks them.

#include "builder/dictionary.h"
#include "builder/linkedwordssearch.h"
#include "builder/literalsearch.h"
#include "builder/relatedwordssearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int FormsPerLemma = 8;
const char *const Endings[FormsPerLemma] = {"", "а", "у", "ом", "е", "ы", "ов", "ам"};
const char *const Tags[] = {"NOUN", "NOUN", "NOUN", "ADJF", "VERB", "INFN", "ADVB", "PRTF",
                            "NOUN", "ADJF", "GRND", "NUMR", "NPRO", "PREP", "CONJ", "LATN"};

struct Sizes
{
    qint64 lemmas;
    qint64 pairs;
    qint64 triples;
};

// A lemma's word: its index in base 32 over Cyrillic letters, so every word is unique.
QByteArray lemmaWord(qint64 lemma)
{
    static const QByteArray letters = QStringLiteral("абвгдежзийклмнопрстуфхцчшщъыьэюя").toUtf8();
    QByteArray word;
    qint64 n = lemma + 1024;
    while (n > 0) {
        word += letters.mid((n % 32) * 2, 2);
        n /= 32;
    }
    return word;
}

// Draws ranks 0..n-1 with probability proportional to 1 / (rank + 1).
class Zipf
{
public:
    explicit Zipf(qint64 n)
    {
        m_cdf.resize(size_t(n));
        double sum = 0;
        for (qint64 r = 0; r < n; ++r)
            m_cdf[size_t(r)] = sum += 1.0 / double(r + 1);
        for (double &c : m_cdf)
            c /= sum;
    }
    qint64 operator()(std::mt19937_64 &random) const
    {
        const double u = std::uniform_real_distribution<double>(0, 1)(random);
        return qint64(std::lower_bound(m_cdf.begin(), m_cdf.end(), u) - m_cdf.begin());
    }

private:
    std::vector<double> m_cdf;
};

bool exec(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "bench_search: %s\n", message);
    sqlite3_free(message);
    return false;
}

// The lemma id of each frequency rank: ranks are scattered over the id space.
std::vector<qint64> rankedLemmaIds(qint64 lemmas)
{
    std::vector<qint64> ids(static_cast<size_t>(lemmas));
    for (qint64 i = 0; i < lemmas; ++i)
        ids[size_t(i)] = i * FormsPerLemma + 1;
    std::shuffle(ids.begin(), ids.end(), std::mt19937_64(7));
    return ids;
}

// The indexes of builder/README.md, or with --plain-indexes the bare one-column ones,
// which leave every row of a lookup to be fetched from the table.
const char *const CoveringIndexes = "create index forms_word on forms(word);"
                                    "create index forms_initform_id on forms(initform_id);"
                                    "create index grams2_word1id on grams2(word1id, word2id);"
                                    "create index grams2_word2id on grams2(word2id, word1id);"
                                    "create index grams3_word2id"
                                    " on grams3(word2id, word1id, word3id);"
                                    "create index grams3_word1id_word3id"
                                    " on grams3(word1id, word3id, word2id);";
const char *const PlainIndexes = "create index forms_word on forms(word);"
                                 "create index forms_initform_id on forms(initform_id);"
                                 "create index grams2_word1id on grams2(word1id);"
                                 "create index grams2_word2id on grams2(word2id);"
                                 "create index grams3_word2id on grams3(word2id);"
                                 "create index grams3_word1id_word3id on grams3(word1id, word3id);";

bool generate(const QString &path, const Sizes &sizes, bool plainIndexes)
{
    QFile::remove(path);
    const QString building = path + u".part"_s;
    QFile::remove(building);
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(building).constData(), &db) != SQLITE_OK)
        return false;
    exec(db, "pragma journal_mode=off; pragma synchronous=off; pragma cache_size=-1000000;");
    if (!exec(db, "begin;"
                  "create table forms (id integer primary key, word text not null,"
                  " initform_id integer not null, props text not null);"
                  "create table grams2 (word1id integer not null, word2id integer not null,"
                  " word1 text not null, word2 text not null, freq integer not null);"
                  "create table grams3 (word1id integer not null, word2id integer not null,"
                  " word3id integer not null, word1 text not null, word2 text not null,"
                  " word3 text not null, freq integer not null);"))
        return false;
    std::mt19937_64 random(42);
    sqlite3_stmt *form = nullptr;
    sqlite3_prepare_v2(db, "insert into forms values (?,?,?,?)", -1, &form, nullptr);
    std::vector<QByteArray> words(static_cast<size_t>(sizes.lemmas));
    for (qint64 lemma = 0; lemma < sizes.lemmas; ++lemma) {
        const qint64 first = lemma * FormsPerLemma + 1;
        words[size_t(lemma)] = lemmaWord(lemma);
        const char *tag = Tags[random() % std::size(Tags)];
        for (int f = 0; f < FormsPerLemma; ++f) {
            const QByteArray word = words[size_t(lemma)] + Endings[f];
            const QByteArray props = QByteArray(tag) + (f ? ",plur" : ",sing");
            sqlite3_bind_int64(form, 1, first + f);
            sqlite3_bind_text(form, 2, word.constData(), int(word.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(form, 3, first);
            sqlite3_bind_text(form, 4, props.constData(), int(props.size()), SQLITE_TRANSIENT);
            sqlite3_step(form);
            sqlite3_reset(form);
        }
    }
    sqlite3_finalize(form);

    const std::vector<qint64> byRank = rankedLemmaIds(sizes.lemmas);
    const Zipf zipf(sizes.lemmas);
    const auto wordOf = [&](qint64 id) -> const QByteArray & {
        return words[size_t((id - 1) / FormsPerLemma)];
    };
    sqlite3_stmt *pair = nullptr;
    sqlite3_prepare_v2(db, "insert into grams2 values (?,?,?,?,?)", -1, &pair, nullptr);
    for (qint64 i = 0; i < sizes.pairs; ++i) {
        const qint64 a = byRank[size_t(zipf(random))];
        const qint64 b = byRank[size_t(zipf(random))];
        sqlite3_bind_int64(pair, 1, a);
        sqlite3_bind_int64(pair, 2, b);
        sqlite3_bind_text(pair, 3, wordOf(a).constData(), int(wordOf(a).size()), SQLITE_STATIC);
        sqlite3_bind_text(pair, 4, wordOf(b).constData(), int(wordOf(b).size()), SQLITE_STATIC);
        sqlite3_bind_int64(pair, 5, 1 + qint64(random() % 50));
        sqlite3_step(pair);
        sqlite3_reset(pair);
    }
    sqlite3_finalize(pair);

    const qint64 contextCount = std::max<qint64>(1, sizes.triples / 5);
    std::vector<std::pair<qint64, qint64>> contexts(static_cast<size_t>(contextCount));
    for (auto &c : contexts)
        c = {byRank[size_t(zipf(random))], byRank[size_t(zipf(random))]};
    sqlite3_stmt *triple = nullptr;
    sqlite3_prepare_v2(db, "insert into grams3 values (?,?,?,?,?,?,?)", -1, &triple, nullptr);
    static const QByteArray unknown = QStringLiteral("нечто").toUtf8();
    for (qint64 i = 0; i < sizes.triples; ++i) {
        const auto &[a, c] = contexts[size_t(random() % quint64(contextCount))];
        const qint64 b = random() % 20 == 0 ? -1 : byRank[size_t(zipf(random))];
        const QByteArray &middle = b < 0 ? unknown : wordOf(b);
        sqlite3_bind_int64(triple, 1, a);
        sqlite3_bind_int64(triple, 2, b);
        sqlite3_bind_int64(triple, 3, c);
        sqlite3_bind_text(triple, 4, wordOf(a).constData(), int(wordOf(a).size()), SQLITE_STATIC);
        sqlite3_bind_text(triple, 5, middle.constData(), int(middle.size()), SQLITE_STATIC);
        sqlite3_bind_text(triple, 6, wordOf(c).constData(), int(wordOf(c).size()), SQLITE_STATIC);
        sqlite3_bind_int64(triple, 7, 1 + qint64(random() % 20));
        sqlite3_step(triple);
        sqlite3_reset(triple);
    }
    sqlite3_finalize(triple);
    const bool indexed = exec(db, plainIndexes ? PlainIndexes : CoveringIndexes)
                         && exec(db, "commit;");
    sqlite3_close(db);
    return indexed && QFile::rename(building, path);
}

// The lexemes table of a file generated before it was part of the bench, and its
// contexts column (the grams3 rows with the lexeme in the middle), which ranking linked
// words by strength reads instead of counting the rows.
bool addLexemes(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    const auto holds = [db](const char *sql) {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        const bool row = sqlite3_step(statement) == SQLITE_ROW;
        sqlite3_finalize(statement);
        return row;
    };
    bool ok = true;
    if (!holds("select 1 from sqlite_master where name='lexemes'")) {
        std::printf("adding the lexemes table to %s\n", qPrintable(path));
        std::fflush(stdout);
        ok = exec(db, "begin;"
                      "create table lexemes (id integer primary key, freq integer not null,"
                      " share real not null);"
                      "insert into lexemes select id, sum(freq), 0 from"
                      " (select word1id as id, freq from grams2"
                      "  union all select word2id, freq from grams2) group by id;"
                      "commit;");
    }
    if (ok && !holds("select 1 from pragma_table_info('lexemes') where name='contexts'")) {
        std::printf("adding the contexts of the lexemes to %s\n", qPrintable(path));
        std::fflush(stdout);
        ok = exec(db, "begin;"
                      "alter table lexemes add column contexts integer not null default 0;"
                      "update lexemes set contexts ="
                      " (select count(*) from grams3 where word2id = lexemes.id);"
                      "commit;");
    }
    sqlite3_close(db);
    return ok;
}

struct Timed
{
    SearchResult result;
    QStringList reports;
    QStringList stageTimes;  // each stage text with the processor time since the start
    double seconds;
    double cpu;  // this thread's processor time: other processes' load does not count
};

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

template <typename Search>
Timed timed(Search search)
{
    Timed t;
    SearchReports reports;
    const double start = threadCpuSeconds();
    reports.stage = [&t, start](const QString &s) {
        t.reports.append(s);
        t.stageTimes.append(QString::asprintf("%7.3f s  ", threadCpuSeconds() - start) + s);
    };
    reports.progress = [&t](int p) { t.reports.append(QString::number(p)); };
    QElapsedTimer clock;
    clock.start();
    const double cpu = threadCpuSeconds();
    t.result = search(reports);
    t.seconds = double(clock.nsecsElapsed()) / 1e9;
    t.cpu = threadCpuSeconds() - cpu;
    return t;
}

void compare(const char *name, const Timed &fast, const Timed *literal, double target)
{
    std::printf("%-16s fast    %8.3f s wall, %8.3f s cpu (target %.1f s: %s), %d words\n",
                name, fast.seconds, fast.cpu, target, fast.cpu <= target ? "met" : "MISSED",
                int(fast.result.words.size()));
    if (!fast.result.ok())
        std::printf("  error: %s\n", qPrintable(fast.result.error));
    if (!literal)
        return;
    const bool same = literal->result.words == fast.result.words
                      && literal->reports == fast.reports;
    const double ratio = literal->cpu / fast.cpu;
    std::printf("%-16s literal %8.3f s wall, %8.3f s cpu, cpu ratio %.1fx (target 20x: %s), "
                "results %s\n",
                name, literal->seconds, literal->cpu, ratio, ratio >= 20 ? "met" : "MISSED",
                same ? "identical" : "DIFFERENT");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&args](const QString &name, const QString &fallback) {
        const qsizetype i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    const double scale = option(u"--scale"_s, u"1"_s).toDouble();
    const qint64 firstRank = option(u"--seeds"_s, u"1001"_s).toLongLong();
    const bool literal = !args.contains(u"--no-literal"_s);
    const bool plainIndexes = args.contains(u"--plain-indexes"_s);
    const Sizes sizes{qint64(250'000 * scale), qint64(10'000'000 * scale),
                      qint64(10'000'000 * scale)};
    if (sizes.lemmas < firstRank + 100) {
        std::fprintf(stderr, "bench_search: too few initial forms for these seeds\n");
        return 2;
    }
    const QString path =
        option(u"--file"_s, u"/tmp/lexorum-searchbench-%1%2.db"_s.arg(scale).arg(
                                             plainIndexes ? u"-plain"_s : QString()));
    if (!QFile::exists(path)) {
        std::printf("generating %lld forms, %lld grams2, %lld grams3 rows into %s\n",
                    sizes.lemmas * FormsPerLemma, sizes.pairs, sizes.triples, qPrintable(path));
        std::fflush(stdout);
        QElapsedTimer clock;
        clock.start();
        if (!generate(path, sizes, plainIndexes)) {
            std::fprintf(stderr, "bench_search: cannot generate %s\n", qPrintable(path));
            return 2;
        }
        std::printf("generated in %.1f s\n", double(clock.elapsed()) / 1000);
    }

    if (!addLexemes(path)) {
        std::fprintf(stderr, "bench_search: cannot add the lexemes table to %s\n",
                     qPrintable(path));
        return 2;
    }
    Dictionary dictionary;
    if (!dictionary.ConnectDictionary(path)) {
        std::fprintf(stderr, "bench_search: %s\n", qPrintable(dictionary.error()));
        return 2;
    }
    const std::vector<qint64> byRank = rankedLemmaIds(sizes.lemmas);
    QString thesaurus;
    for (qint64 r = firstRank - 1; r < firstRank + 99; ++r) {
        const qint64 lemma = (byRank[size_t(r)] - 1) / FormsPerLemma;
        // An inflected, capitalised form: the search lowercases it and finds the lemma.
        thesaurus += QString::fromUtf8(lemmaWord(lemma) + Endings[r % FormsPerLemma]).toUpper()
                     + u"\r\n"_s;
    }
    const SearchInput input{thesaurus, QString(), &PartWord};
    SearchInput byStrength = input;
    byStrength.rankBy = RankBy::Strength;
    std::printf("seeds: initial forms of frequency ranks %lld to %lld\n", firstRank,
                firstRank + 99);

    // A first pass warms the file's pages, as a second search in the program finds them.
    RelatedWordsSearch(dictionary).run(input, {});
    const Timed related = timed([&](const SearchReports &r) {
        return RelatedWordsSearch(dictionary).run(input, r);
    });
    Timed relatedLiteral;
    if (literal)
        relatedLiteral = timed(
            [&](const SearchReports &r) { return literalRelatedWords(dictionary, input, r); });
    compare("related/links", related, literal ? &relatedLiteral : nullptr, 0.5);
    std::fflush(stdout);
    RelatedWordsSearch(dictionary).run(byStrength, {});
    const Timed relatedStrength = timed([&](const SearchReports &r) {
        return RelatedWordsSearch(dictionary).run(byStrength, r);
    });
    compare("related/strength", relatedStrength, nullptr, 0.5);
    std::fflush(stdout);

    LinkedWordsSearch(dictionary).run(input, {});
    const Timed linked = timed([&](const SearchReports &r) {
        return LinkedWordsSearch(dictionary).run(input, r);
    });
    Timed linkedLiteral;
    if (literal)
        linkedLiteral = timed(
            [&](const SearchReports &r) { return literalLinkedWords(dictionary, input, r); });
    compare("linked/links", linked, literal ? &linkedLiteral : nullptr, 2.0);
    LinkedWordsSearch(dictionary).run(byStrength, {});
    const Timed linkedStrength = timed([&](const SearchReports &r) {
        return LinkedWordsSearch(dictionary).run(byStrength, r);
    });
    compare("linked/strength", linkedStrength, nullptr, 2.0);
    std::printf("stages of the fast runs (processor time at the start of each):\n");
    for (const Timed *t : {&related, &relatedStrength, &linked, &linkedStrength})
        for (const QString &line : t->stageTimes)
            std::printf("  %s\n", qPrintable(line));
    return 0;
}
