#pragma once

#include "builder/wordsearch.h"

#include <QHash>
#include <QSet>

struct sqlite3;
class Dictionary;
class DictionaryStatement;

/// Ids with the number of times each was found. The searches count a candidate's links
/// to the seeds as the number of times it turns up among the seeds' neighbours, so the
/// counts gathered while collecting replace a query per candidate.
using IdCounts = QHash<qint64, int>;

/// The pair frequencies of each neighbour with the seeds: for a neighbour id, the index
/// of a seed in seeds() and the freq of one grams2 row that joins them, a row at a time.
struct SeedPair
{
    qsizetype seed;
    qint64 freq;
};
using SeedPairs = QHash<qint64, QList<SeedPair>>;

/// How strongly a candidate belongs with the seeds, for SearchSteps::rankByStrength().
class StrengthMeasure
{
public:
    virtual ~StrengthMeasure() = default;
    /// The highest strength the candidate could reach. Candidates are measured from
    /// the highest bound down, and the run stops measuring once no further one could
    /// enter the shown words.
    virtual double bound(qint64 id) const = 0;
    /// The candidate's strength; false on a database error (kept by SearchSteps::check).
    virtual bool measure(qint64 id, double *strength) = 0;
};

/// The steps the two fast searches share. Each returns false when the run must end:
/// on a database error (kept for result()) or a stop request. The stage texts and
/// progress values are those of the plain algorithm, which treats every repeat of an
/// id as an item of its own.
class SearchSteps final
{
public:
    SearchSteps(Dictionary &dictionary, const SearchInput &input, const SearchReports &reports);

    SearchReporter &reporter() { return m_reporter; }
    const QList<qint64> &seeds() const { return m_seeds; }
    bool check(const DictionaryStatement &statement);

    /// Reads the texts and finds the seed ids: the distinct initial-form ids of the
    /// thesaurus lines. Ranking by strength, a line that is itself an initial form
    /// gives only its own lexemes (дорога the noun, not дорогой); the others give all.
    bool findSeeds();
    /// Counts the ids that sql (one id parameter) returns for every seed, reporting
    /// base + span·k div n after the seeds k = 0, 100, ... when report is set. With
    /// pairs, sql returns a freq column too, gathered per id and seed.
    bool countNeighbours(const char *sql, int base, int span, bool report, IdCounts *counts,
                         qint64 *total, SeedPairs *pairs = nullptr);
    /// Resolves each distinct found id once and keeps the allowed parts of speech; then
    /// sorts, merges (by word, or by word and id), filters by the black list and the
    /// thesaurus, ranks by links and returns the best words.
    bool rank(const IdCounts &found, qint64 total, bool mergeByWord, const IdCounts &links,
              QStringList *words);
    /// The same stages ranking by strength: lines merge only when equal, the seeds' own
    /// lexemes are dropped with the thesaurus, and each word stands once, with the
    /// strength of its strongest lexeme, strongest first (equal ones by word, descending).
    bool rankByStrength(const IdCounts &found, qint64 total, StrengthMeasure &measure,
                        QStringList *words);
    SearchResult result(bool done, const QStringList &words) const;
    /// Fails the run with message.
    bool fail(const QString &message);

private:
    struct Candidate;
    bool resolve(const IdCounts &found, qint64 total, QList<Candidate> *candidates);
    /// The stages from resolving to the thesaurus filter.
    bool select(const IdCounts &found, qint64 total, bool mergeByWord, bool dropSeeds,
                QList<Candidate> *fresh);

    sqlite3 *m_db;
    const SearchInput &m_input;
    SearchReporter m_reporter;
    QStringList m_tesaurus;
    QStringList m_blackList;
    QList<qint64> m_seeds;
    QString m_error;
};
