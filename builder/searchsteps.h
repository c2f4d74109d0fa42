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

/// The word pairs that join each neighbour to the seeds: for a neighbour id, one entry
/// per grams2 row, with the index of the seed in seeds() and the row's rowid.
struct SeedPair
{
    qsizetype seed;
    qint64 row;
};
using SeedPairs = QHash<qint64, QList<SeedPair>>;

/// How strongly a candidate belongs with the seeds, for SearchSteps::rankByStrength().
/// Each function returns false on a database error (kept by SearchSteps::check).
class StrengthMeasure
{
public:
    virtual ~StrengthMeasure() = default;
    /// Called once with the ids of all candidates before any bound.
    virtual bool prepare(QList<qint64> ids) = 0;
    /// The highest strength the candidate could reach. Candidates are measured from
    /// the highest bound down, and the run stops measuring once no further one could
    /// enter the shown words.
    virtual bool bound(qint64 id, double *bound) = 0;
    /// The candidate's strength; one below floor, the least strength still shown, may
    /// be given as any value below it.
    virtual bool measure(qint64 id, double floor, double *strength) = 0;
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
    /// pairs, sql returns the rowid too, and each row is noted per id.
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
