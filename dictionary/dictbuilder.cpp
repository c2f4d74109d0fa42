#include "dictionary/dictbuilder.h"

#include "common/errortext.h"
#include "dictionary/cp1251.h"
#include "dictionary/morphology.h"
#include "dictionary/ngramcounter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include <unistd.h>

namespace {

// A lexeme of the dictionary: one group of a stored word's paradigm.
struct Lexeme
{
    std::uint32_t stem;
    std::uint16_t group;
    double share = 0;        // corpus tokens, an ambiguous token counting as equal shares
    std::uint64_t freq = 0;  // corpus tokens mapped to this lexeme
};

// A corpus token that a lexeme's form spells.
struct Candidate
{
    std::uint32_t token;
    std::uint32_t lexeme;
    std::uint16_t formIndex;
    std::uint16_t tag;
    bool exact;  // false: the token is the form with «ё» written as «е»
};

constexpr std::uint32_t NoLexeme = 0xFFFFFFFFu;

bool hasYo(std::string_view word)
{
    return word.find(Cp1251SmallYo) != std::string_view::npos;
}

void replaceYo(std::string *word)
{
    std::replace(word->begin(), word->end(), Cp1251SmallYo, Cp1251SmallIe);
}

// For each paradigm and lexeme group, the form indices that give a word of their own: two
// forms of one stem spell the same word exactly when prefix and suffix agree.
std::vector<std::vector<std::vector<std::uint16_t>>> distinctForms(const Morphology &m)
{
    std::vector<std::vector<std::vector<std::uint16_t>>> all(m.paradigms.size());
    for (std::size_t p = 0; p < m.paradigms.size(); ++p) {
        const Paradigm &paradigm = m.paradigms[p];
        for (const std::vector<std::uint16_t> &group : paradigm.lexemes) {
            std::vector<std::uint16_t> kept;
            for (const std::uint16_t f : group) {
                const bool seen = std::any_of(kept.begin(), kept.end(), [&](std::uint16_t k) {
                    return paradigm.prefix[k] == paradigm.prefix[f]
                           && paradigm.suffix[k] == paradigm.suffix[f];
                });
                if (!seen)
                    kept.push_back(f);
            }
            all[p].push_back(std::move(kept));
        }
    }
    return all;
}

// The rows of one lexeme: its distinct words in paradigm order, then the «е» spelling of
// each word with «ё» that the lexeme does not already hold.
struct LexemeRows
{
    std::vector<std::string> words;  // Windows-1251
    std::vector<std::uint16_t> tags;
    std::vector<std::uint16_t> forms;
    std::vector<bool> twin;
};

void rowsOfLexeme(const Morphology &m, const Lexeme &lexeme,
                  const std::vector<std::uint16_t> &forms, LexemeRows *rows)
{
    const StemEntry &stem = m.stems[lexeme.stem];
    const Paradigm &paradigm = m.paradigms[stem.paradigm];
    const std::size_t count = forms.size();
    rows->words.resize(count);
    rows->tags.clear();
    rows->forms.clear();
    rows->twin.assign(count, false);
    bool anyYo = false;
    for (std::size_t i = 0; i < count; ++i) {
        m.formWord(stem, forms[i], &rows->words[i]);
        rows->tags.push_back(paradigm.tag[forms[i]]);
        rows->forms.push_back(forms[i]);
        anyYo = anyYo || hasYo(rows->words[i]);
    }
    if (!anyYo)
        return;
    std::unordered_set<std::string> held(rows->words.begin(), rows->words.end());
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasYo(rows->words[i]))
            continue;
        std::string twin = rows->words[i];
        replaceYo(&twin);
        if (!held.insert(twin).second)
            continue;
        rows->words.push_back(std::move(twin));
        rows->tags.push_back(rows->tags[i]);
        rows->forms.push_back(rows->forms[i]);
        rows->twin.push_back(true);
    }
}

class Database
{
public:
    ~Database()
    {
        for (sqlite3_stmt *s : m_statements)
            sqlite3_finalize(s);
        if (m_db)
            sqlite3_close(m_db);
    }
    /// shownPath names the file in messages when path is a temporary stand-in for it.
    bool open(const QString &path, int flags, const QString &shownPath = QString())
    {
        m_path = QDir::toNativeSeparators(shownPath.isEmpty() ? path : shownPath);
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr) == SQLITE_OK)
            return true;
        fail();
        return false;
    }
    bool exec(const char *sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        fail();
        return false;
    }
    sqlite3_stmt *prepare(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK) {
            fail();
            return nullptr;
        }
        m_statements.push_back(statement);
        return statement;
    }
    bool step(sqlite3_stmt *statement)
    {
        const int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (rc == SQLITE_DONE || rc == SQLITE_ROW)
            return true;
        fail();
        return false;
    }
    bool close()
    {
        for (sqlite3_stmt *s : m_statements)
            sqlite3_finalize(s);
        m_statements.clear();
        const int rc = sqlite3_close(m_db);
        if (rc != SQLITE_OK) {
            fail();
            return false;
        }
        m_db = nullptr;
        return true;
    }
    sqlite3 *handle() const { return m_db; }
    QString error() const { return m_error; }

private:
    void fail()
    {
        if (!m_error.isEmpty())
            return;
        m_error = m_db ? databaseErrorMessage(sqlite3_extended_errcode(m_db), m_path,
                                              QString::fromUtf8(sqlite3_errmsg(m_db)),
                                              sqlite3_system_errno(m_db))
                       : databaseErrorMessage(SQLITE_NOMEM, m_path, QString());
    }
    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_error;
    std::vector<sqlite3_stmt *> m_statements;
};

const char Schema[] = R"(
CREATE TABLE forms (
    id INTEGER PRIMARY KEY,
    word TEXT NOT NULL,
    initform_id INTEGER NOT NULL,
    props TEXT NOT NULL
);
CREATE TABLE lexemes (
    id INTEGER PRIMARY KEY,
    freq INTEGER NOT NULL,
    share REAL NOT NULL,
    contexts INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE grams2 (
    word1id INTEGER NOT NULL,
    word2id INTEGER NOT NULL,
    word1 TEXT NOT NULL,
    word2 TEXT NOT NULL,
    freq INTEGER NOT NULL
);
CREATE TABLE grams3 (
    word1id INTEGER NOT NULL,
    word2id INTEGER NOT NULL,
    word3id INTEGER NOT NULL,
    word1 TEXT NOT NULL,
    word2 TEXT NOT NULL,
    word3 TEXT NOT NULL,
    freq INTEGER NOT NULL
);
CREATE TABLE meta (
    key TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
)";

const char Indexes[] = R"(
CREATE INDEX forms_word ON forms(word);
CREATE INDEX forms_initform_id ON forms(initform_id);
CREATE INDEX grams2_word1id ON grams2(word1id);
CREATE INDEX grams2_word2id ON grams2(word2id);
CREATE INDEX grams3_word2id ON grams3(word2id);
CREATE INDEX grams3_word1id_word3id ON grams3(word1id, word3id);
UPDATE lexemes SET contexts = (SELECT count(*) FROM grams3 WHERE word2id = lexemes.id);
ANALYZE;
)";

void bindText(sqlite3_stmt *statement, int column, const std::string &text)
{
    sqlite3_bind_text(statement, column, text.data(), int(text.size()), SQLITE_STATIC);
}

// The package a dicts/ folder came with, from the package.json beside it.
QString morphologyPackage(const QString &dir)
{
    QFile file(QDir(dir).filePath(QStringLiteral("../package.json")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject package = QJsonDocument::fromJson(file.readAll()).object();
    if (!package.contains(QStringLiteral("name")))
        return {};
    return package.value(QStringLiteral("name")).toString() + u'@'
           + package.value(QStringLiteral("version")).toString();
}

class Builder
{
public:
    Builder(const DictBuildOptions &options, const DictBuildHooks &hooks)
        : m_options(options), m_hooks(hooks)
    {
    }
    DictBuildReport run();
    DictBuildReport count();

private:
    void say(const QString &key, const QString &text)
    {
        if (m_hooks.stage)
            m_hooks.stage(key, text);
    }
    bool cancelled()
    {
        if (!m_hooks.cancelled || !m_hooks.cancelled())
            return false;
        m_report.cancelled = true;
        if (m_report.error.isEmpty())
            m_report.error = NgramCounter::cancelledMessage();
        return true;
    }
    // Asked every so many rows written.
    bool cancelledNow(std::int64_t row) { return (row & 0xFFFF) == 0 && cancelled(); }
    bool readCorpus();
    bool readSources();
    void collectCandidates();
    void chooseLexemes();
    bool write(const QString &path, const QString &target);
    bool writeForms(Database &db);
    bool writeGrams(Database &db);
    bool writeMeta(Database &db);
    double bestProbability(const Candidate &c) const;

    const DictBuildOptions &m_options;
    const DictBuildHooks &m_hooks;
    DictBuildReport m_report;
    Morphology m_morph;
    NgramCounter m_corpus;
    std::vector<std::vector<std::vector<std::uint16_t>>> m_distinct;
    std::vector<Lexeme> m_lexemes;
    std::vector<Candidate> m_candidates;            // sorted by token
    std::vector<std::uint32_t> m_tokenLexeme;       // chosen lexeme per token, or NoLexeme
    std::vector<std::int64_t> m_initialId;          // per lexeme
};

bool Builder::readCorpus()
{
    const QFileInfo target(m_options.outPath);
    m_corpus.setMemoryBudget(m_options.memoryBytes ? m_options.memoryBytes
                                                   : defaultMemoryBudget(),
                             target.absolutePath());
    m_corpus.tokens = m_hooks.tokens;
    m_corpus.skipped = m_hooks.skipped;
    m_corpus.cancelled = m_hooks.cancelled;
    m_corpus.runCreated = m_hooks.temporaryCreated;
    QString error;
    bool ok = true;
    for (const QString &path : m_options.countsPaths)
        if (!(ok = m_corpus.addCounts(path, &error)))
            break;
    for (const QString &path : m_options.corpusPaths) {
        if (!ok)
            break;
        ok = m_corpus.addPath(path, &error);
    }
    if (!ok && error == NgramCounter::cancelledMessage())
        m_report.cancelled = true;
    if (!ok)
        m_report.error = error;
    m_report.corpusTokens = std::int64_t(m_corpus.totalTokens());
    m_report.skippedFiles = int(m_corpus.skippedFiles().size());
    return ok;
}

bool Builder::readSources()
{
    say(QStringLiteral("count"), QStringLiteral("Reading the morphology and the corpus"));
    // The two are independent: the morphology is read on a second thread meanwhile.
    QString morphError;
    bool morphOk = false;
    std::thread morphology(
        [&] { morphOk = m_morph.load(m_options.morphologyDir, &morphError); });
    const bool corpusOk = readCorpus();
    morphology.join();
    if (!morphOk && !m_report.cancelled)
        m_report.error = morphError;
    m_report.spilledRuns = std::int64_t(m_corpus.spilledRuns());
    return corpusOk && morphOk;
}

void Builder::collectCandidates()
{
    say(QStringLiteral("match"), QStringLiteral("Matching the corpus words with the forms"));
    m_distinct = distinctForms(m_morph);
    for (std::uint32_t s = 0; s < m_morph.stems.size(); ++s) {
        const std::size_t groups = m_morph.paradigms[m_morph.stems[s].paradigm].lexemes.size();
        for (std::size_t g = 0; g < groups; ++g)
            m_lexemes.push_back(Lexeme{s, std::uint16_t(g)});
    }
    std::unordered_map<std::string, std::uint32_t> tokens;
    tokens.reserve(m_corpus.tokenTypeCount());
    std::string cp1251;
    for (std::uint32_t t = 0; t < m_corpus.tokenTypeCount(); ++t)
        if (utf8ToCp1251(m_corpus.token(t), &cp1251))
            tokens.emplace(cp1251, t);
    if (tokens.empty())
        return;
    LexemeRows rows;
    for (std::uint32_t l = 0; l < m_lexemes.size(); ++l) {
        const Lexeme &lexeme = m_lexemes[l];
        rowsOfLexeme(m_morph, lexeme,
                     m_distinct[m_morph.stems[lexeme.stem].paradigm][lexeme.group], &rows);
        for (std::size_t i = 0; i < rows.words.size(); ++i) {
            const auto found = tokens.find(rows.words[i]);
            if (found != tokens.end())
                m_candidates.push_back(
                    Candidate{found->second, l, rows.forms[i], rows.tags[i], !rows.twin[i]});
        }
    }
    std::sort(m_candidates.begin(), m_candidates.end(), [](const Candidate &a, const Candidate &b) {
        return std::tie(a.token, a.exact, a.lexeme) < std::tie(b.token, b.exact, b.lexeme);
    });
}

double Builder::bestProbability(const Candidate &c) const
{
    const StemEntry &stem = m_morph.stems[m_lexemes[c.lexeme].stem];
    std::string word;
    m_morph.formWord(stem, c.formIndex, &word);
    const auto found = m_morph.tagProbabilities.find(word);
    if (found == m_morph.tagProbabilities.end())
        return -1;
    // Every tag the lexeme gives this word counts, not only its first.
    const Paradigm &paradigm = m_morph.paradigms[stem.paradigm];
    double best = -1;
    std::string other;
    for (const std::uint16_t f : paradigm.lexemes[m_lexemes[c.lexeme].group]) {
        if (paradigm.prefix[f] != paradigm.prefix[c.formIndex]
            || paradigm.suffix[f] != paradigm.suffix[c.formIndex])
            continue;
        for (const auto &[tag, p] : found->second)
            if (tag == paradigm.tag[f])
                best = std::max(best, double(p));
    }
    return best;
}

void Builder::chooseLexemes()
{
    say(QStringLiteral("choose"), QStringLiteral("Choosing a lexeme for each corpus word"));
    m_tokenLexeme.assign(m_corpus.tokenTypeCount(), NoLexeme);
    // A token's candidates: its exact spellings, else its «ё» restorations; one per lexeme.
    std::vector<std::pair<std::size_t, std::size_t>> spans(m_corpus.tokenTypeCount(),
                                                           {0, 0});
    for (std::size_t i = 0; i < m_candidates.size();) {
        std::size_t end = i;
        while (end < m_candidates.size() && m_candidates[end].token == m_candidates[i].token)
            ++end;
        // Sorted with the restorations first: the exact ones, if any, are the tail.
        std::size_t begin = i;
        if (m_candidates[end - 1].exact)
            while (!m_candidates[begin].exact)
                ++begin;
        spans[m_candidates[i].token] = {begin, end};
        i = end;
    }
    std::vector<const Candidate *> lexemeCandidates;
    const auto distinctLexemes = [&](std::pair<std::size_t, std::size_t> span) {
        lexemeCandidates.clear();
        for (std::size_t k = span.first; k < span.second; ++k)
            if (lexemeCandidates.empty()
                || lexemeCandidates.back()->lexeme != m_candidates[k].lexeme)
                lexemeCandidates.push_back(&m_candidates[k]);
    };
    for (std::uint32_t t = 0; t < spans.size(); ++t) {
        distinctLexemes(spans[t]);
        const double share = double(m_corpus.tokenCount(t)) / double(lexemeCandidates.size());
        for (const Candidate *c : lexemeCandidates)
            m_lexemes[c->lexeme].share += share;
    }
    for (std::uint32_t t = 0; t < spans.size(); ++t) {
        distinctLexemes(spans[t]);
        if (lexemeCandidates.empty())
            continue;
        m_report.knownTokens += std::int64_t(m_corpus.tokenCount(t));
        if (lexemeCandidates.size() == 1) {
            m_tokenLexeme[t] = lexemeCandidates.front()->lexeme;
            continue;
        }
        // The corpus statistics of the morphology decide first.
        const Candidate *chosen = nullptr;
        double bestP = -1;
        for (const Candidate *c : lexemeCandidates) {
            const double p = bestProbability(*c);
            if (p > bestP) {
                bestP = p;
                chosen = c;
            }
        }
        if (bestP < 0) {
            // A participle's forms are a subset of its verb's, and names are rare in
            // running text: without statistics the frequency alone would choose them.
            const auto tagOf = [&](const Candidate *c) -> const MorphTag & {
                return m_morph.tags[c->tag];
            };
            const bool common = std::any_of(lexemeCandidates.begin(), lexemeCandidates.end(),
                                            [&](const Candidate *c) {
                                                return !tagOf(c).personalName;
                                            });
            const auto dropped = [&](const Candidate *c) {
                return common && tagOf(c).personalName;
            };
            const bool adjectiveOrNoun =
                std::any_of(lexemeCandidates.begin(), lexemeCandidates.end(),
                            [&](const Candidate *c) {
                                return !dropped(c)
                                       && (tagOf(c).pos == "ADJF" || tagOf(c).pos == "NOUN");
                            });
            chosen = nullptr;
            for (const Candidate *c : lexemeCandidates) {
                if (dropped(c) || (adjectiveOrNoun && tagOf(c).fullParticiple))
                    continue;
                if (!chosen || m_lexemes[c->lexeme].share > m_lexemes[chosen->lexeme].share)
                    chosen = c;
            }
        }
        m_tokenLexeme[t] = chosen->lexeme;
    }
    for (std::uint32_t t = 0; t < m_tokenLexeme.size(); ++t)
        if (m_tokenLexeme[t] != NoLexeme)
            m_lexemes[m_tokenLexeme[t]].freq += m_corpus.tokenCount(t);
}

bool Builder::writeForms(Database &db)
{
    say(QStringLiteral("forms"), QStringLiteral("Writing the forms"));
    std::vector<std::uint32_t> order(m_lexemes.size());
    std::iota(order.begin(), order.end(), 0);
    // A lexeme's frequency is the tokens that went to it, so a word's first row is the
    // lexeme its corpus tokens were given; the equal shares break ties.
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const Lexeme &x = m_lexemes[a];
        const Lexeme &y = m_lexemes[b];
        return x.freq != y.freq ? x.freq > y.freq : x.share > y.share;
    });
    sqlite3_stmt *insert = db.prepare("INSERT INTO forms VALUES (?, ?, ?, ?)");
    sqlite3_stmt *insertLexeme = db.prepare("INSERT INTO lexemes (id, freq, share) VALUES (?, ?, ?)");
    if (!insert || !insertLexeme)
        return false;
    m_initialId.assign(m_lexemes.size(), -1);
    std::int64_t id = 0;
    LexemeRows rows;
    std::string utf8;
    for (const std::uint32_t l : order) {
        const Lexeme &lexeme = m_lexemes[l];
        rowsOfLexeme(m_morph, lexeme,
                     m_distinct[m_morph.stems[lexeme.stem].paradigm][lexeme.group], &rows);
        m_initialId[l] = id + 1;
        if (cancelledNow(id))
            return false;
        for (std::size_t i = 0; i < rows.words.size(); ++i) {
            utf8.clear();
            appendCp1251AsUtf8(rows.words[i], &utf8);
            sqlite3_bind_int64(insert, 1, ++id);
            bindText(insert, 2, utf8);
            sqlite3_bind_int64(insert, 3, m_initialId[l]);
            bindText(insert, 4, m_morph.tags[rows.tags[i]].props);
            if (!db.step(insert))
                return false;
        }
        sqlite3_bind_int64(insertLexeme, 1, m_initialId[l]);
        sqlite3_bind_int64(insertLexeme, 2, std::int64_t(lexeme.freq));
        sqlite3_bind_double(insertLexeme, 3, lexeme.share);
        if (!db.step(insertLexeme))
            return false;
    }
    m_report.formRows = id;
    m_report.lexemes = std::int64_t(m_lexemes.size());
    return true;
}

bool Builder::writeGrams(Database &db)
{
    say(QStringLiteral("grams"), QStringLiteral("Writing the word pairs and triples"));
    const auto idOf = [&](std::uint32_t token) -> std::int64_t {
        const std::uint32_t l = m_tokenLexeme[token];
        return l == NoLexeme ? -1 : m_initialId[l];
    };
    m_report.minFreq = m_options.minFreq > 0 ? m_options.minFreq
                                             : automaticMinFreq(m_report.corpusTokens);
    const auto minFreq = std::uint64_t(m_report.minFreq);
    QString error;
    sqlite3_stmt *pair = db.prepare("INSERT INTO grams2 VALUES (?, ?, ?, ?, ?)");
    sqlite3_stmt *triple = db.prepare("INSERT INTO grams3 VALUES (?, ?, ?, ?, ?, ?, ?)");
    if (!pair || !triple)
        return false;
    // Rows go in by their first id, so a search's look-ups touch few pages.
    std::vector<std::pair<std::array<std::int64_t, 3>, std::uint32_t>> kept;
    std::vector<std::pair<std::array<std::uint32_t, 2>, std::uint64_t>> tokens;
    const bool pairsRead = m_corpus.forEachPair(
        [&](const NgramTable<2>::Key &key, std::uint64_t count) {
            if (count < minFreq || idOf(key[0]) < 0 || idOf(key[1]) < 0)
                return;
            kept.push_back({{idOf(key[0]), idOf(key[1]), 0}, std::uint32_t(tokens.size())});
            tokens.push_back({key, count});
        },
        &error);
    if (!pairsRead) {
        m_report.error = error;
        return false;
    }
    std::sort(kept.begin(), kept.end());
    std::int64_t row = 0;
    for (const auto &[ids, at] : kept) {
        if (cancelledNow(row++))
            return false;
        sqlite3_bind_int64(pair, 1, ids[0]);
        sqlite3_bind_int64(pair, 2, ids[1]);
        bindText(pair, 3, m_corpus.token(tokens[at].first[0]));
        bindText(pair, 4, m_corpus.token(tokens[at].first[1]));
        sqlite3_bind_int64(pair, 5, std::int64_t(tokens[at].second));
        if (!db.step(pair))
            return false;
    }
    m_report.grams2Rows = std::int64_t(kept.size());
    std::vector<std::pair<std::array<std::int64_t, 3>, std::uint32_t>>().swap(kept);
    std::vector<std::pair<std::array<std::uint32_t, 2>, std::uint64_t>>().swap(tokens);
    std::vector<std::pair<std::array<std::uint32_t, 3>, std::uint64_t>> tripleTokens;
    const bool triplesRead = m_corpus.forEachTriple(
        [&](const NgramTable<3>::Key &key, std::uint64_t count) {
            if (count < minFreq || idOf(key[0]) < 0 || idOf(key[2]) < 0)
                return;
            kept.push_back({{idOf(key[0]), idOf(key[1]), idOf(key[2])},
                            std::uint32_t(tripleTokens.size())});
            tripleTokens.push_back({key, count});
        },
        &error);
    if (!triplesRead) {
        m_report.error = error;
        return false;
    }
    std::sort(kept.begin(), kept.end());
    for (const auto &[ids, at] : kept) {
        if (cancelledNow(row++))
            return false;
        for (int k = 0; k < 3; ++k) {
            sqlite3_bind_int64(triple, 1 + k, ids[k]);
            bindText(triple, 4 + k, m_corpus.token(tripleTokens[at].first[std::size_t(k)]));
        }
        sqlite3_bind_int64(triple, 7, std::int64_t(tripleTokens[at].second));
        if (!db.step(triple))
            return false;
    }
    m_report.grams3Rows = std::int64_t(kept.size());
    return true;
}

bool Builder::writeMeta(Database &db)
{
    sqlite3_stmt *insert = db.prepare("INSERT OR REPLACE INTO meta VALUES (?, ?)");
    if (!insert)
        return false;
    QList<QPair<QString, QString>> meta = {
        {QStringLiteral("format"), QStringLiteral("lexorum dictionary 1")},
        {QStringLiteral("builder"), QStringLiteral("lexorum-cli " LEXORUM_VERSION)},
        {QStringLiteral("built_at"),
         QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
        {QStringLiteral("morphology"), m_morph.sourceVersion},
        {QStringLiteral("morphology_compiled_at"), m_morph.compiledAt},
        {QStringLiteral("morphology_dir"),
         QDir::toNativeSeparators(QFileInfo(m_options.morphologyDir).absoluteFilePath())},
        {QStringLiteral("morphology_keys"), QString::number(m_morph.keyCount)},
        {QStringLiteral("corpus_paths"), m_options.corpusPaths.join(QStringLiteral("; "))},
        {QStringLiteral("corpus_files"), QString::number(m_corpus.fileCount())},
        {QStringLiteral("corpus_tokens"), QString::number(m_report.corpusTokens)},
        {QStringLiteral("corpus_known_tokens"), QString::number(m_report.knownTokens)},
        {QStringLiteral("forms_rows"), QString::number(m_report.formRows)},
        {QStringLiteral("lexemes"), QString::number(m_report.lexemes)},
        {QStringLiteral("grams2_rows"), QString::number(m_report.grams2Rows)},
        {QStringLiteral("grams3_rows"), QString::number(m_report.grams3Rows)},
        {QStringLiteral("min_freq"), QString::number(m_report.minFreq)},
    };
    const QString package = morphologyPackage(m_options.morphologyDir);
    if (!package.isEmpty())
        meta.append({QStringLiteral("morphology_package"), package});
    meta += m_options.meta;
    for (const auto &[key, value] : meta) {
        const std::string k = key.toStdString();
        const std::string v = value.toStdString();
        bindText(insert, 1, k);
        bindText(insert, 2, v);
        if (!db.step(insert))
            return false;
    }
    return true;
}

bool Builder::write(const QString &path, const QString &target)
{
    Database db;
    if (!db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, target)
        || !db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; "
                    "PRAGMA locking_mode=EXCLUSIVE; PRAGMA cache_size=-262144; "
                    "PRAGMA threads=2;")
        || !db.exec(Schema) || !db.exec("BEGIN") || !writeForms(db) || !writeGrams(db)
        || !writeMeta(db) || !db.exec("COMMIT")) {
        if (m_report.error.isEmpty())
            m_report.error = db.error();
        return false;
    }
    say(QStringLiteral("index"), QStringLiteral("Indexing"));
    if (cancelled())
        return false;
    // The indexes take long on a large corpus: a cancel interrupts them.
    sqlite3_progress_handler(
        db.handle(), 100000,
        [](void *self) { return static_cast<Builder *>(self)->cancelled() ? 1 : 0; }, this);
    if (!db.exec(Indexes) || !db.close()) {
        if (m_report.error.isEmpty())
            m_report.error = db.error();
        return false;
    }
    return true;
}

DictBuildReport Builder::run()
{
    const QFileInfo target(m_options.outPath);
    if (!target.absoluteDir().exists()) {
        m_report.error = QStringLiteral("%1: no such folder")
                             .arg(QDir::toNativeSeparators(target.absolutePath()));
        return m_report;
    }
    if (!readSources())
        return m_report;
    collectCandidates();
    chooseLexemes();
    if (cancelled())
        return m_report;
    QTemporaryFile part(target.absoluteFilePath() + QStringLiteral(".XXXXXX.part"));
    if (!part.open()) {
        m_report.error = fileErrorMessage(part.error(), part.errorString(),
                                          target.absoluteFilePath(), FileAction::Write);
        return m_report;
    }
    part.close();
    if (m_hooks.temporaryCreated)
        m_hooks.temporaryCreated(part.fileName());
    if (!write(part.fileName(), target.absoluteFilePath()) || cancelled())
        return m_report;
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                        | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // rename() replaces the old file in one step, so readers see the old or the new one.
    std::error_code renamed;
    std::filesystem::rename(part.fileName().toStdString(),
                            target.absoluteFilePath().toStdString(), renamed);
    if (renamed) {
        m_report.error = errnoMessage(renamed.value(), target.absoluteFilePath(),
                                      FileAction::Write);
        return m_report;
    }
    part.setAutoRemove(false);
    return m_report;
}

DictBuildReport Builder::count()
{
    const QFileInfo target(m_options.outPath);
    if (!target.absoluteDir().exists()) {
        m_report.error = QStringLiteral("%1: no such folder")
                             .arg(QDir::toNativeSeparators(target.absolutePath()));
        return m_report;
    }
    say(QStringLiteral("count"), QStringLiteral("Reading the corpus"));
    if (!readCorpus())
        return m_report;
    say(QStringLiteral("grams"), QStringLiteral("Writing the counts"));
    QString error;
    if (!m_corpus.writeCounts(m_options.outPath, &error))
        m_report.error = error;
    m_report.spilledRuns = std::int64_t(m_corpus.spilledRuns());
    return m_report;
}

} // namespace

DictBuildReport buildDictionary(const DictBuildOptions &options, const DictBuildHooks &hooks)
{
    return Builder(options, hooks).run();
}

DictBuildReport countCorpus(const DictBuildOptions &options, const DictBuildHooks &hooks)
{
    return Builder(options, hooks).count();
}

int automaticMinFreq(std::int64_t corpusTokens)
{
    return corpusTokens < 10'000'000 ? 1 : 2;
}

std::size_t defaultMemoryBudget()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    const std::size_t physical = pages > 0 && pageSize > 0
                                     ? std::size_t(pages) * std::size_t(pageSize)
                                     : std::size_t(4) << 30;
    return std::clamp<std::size_t>(physical / 4, std::size_t(512) << 20, std::size_t(4) << 30);
}

bool readDictionaryInfo(const QString &path, QStringList *lines, QString *error)
{
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("%1: no such file").arg(QDir::toNativeSeparators(path));
        return false;
    }
    Database db;
    sqlite3_stmt *select = nullptr;
    if (!db.open(path, SQLITE_OPEN_READONLY)
        || !(select = db.prepare("SELECT key, value FROM meta ORDER BY rowid"))) {
        *error = db.error();
        return false;
    }
    lines->clear();
    int rc;
    while ((rc = sqlite3_step(select)) == SQLITE_ROW)
        lines->append(QString::fromUtf8(
                          reinterpret_cast<const char *>(sqlite3_column_text(select, 0)))
                      + QStringLiteral(": ")
                      + QString::fromUtf8(
                          reinterpret_cast<const char *>(sqlite3_column_text(select, 1))));
    if (rc != SQLITE_DONE) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                              QString::fromUtf8(sqlite3_errmsg(db.handle())));
        return false;
    }
    return true;
}
