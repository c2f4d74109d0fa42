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
    /// thesaurus lines.
    bool findSeeds();
    /// Counts the ids that sql (one id parameter) returns for every seed, reporting
    /// base + span·k div n after the seeds k = 0, 100, ... when report is set.
    bool countNeighbours(const char *sql, int base, int span, bool report, IdCounts *counts,
                         qint64 *total);
    /// Resolves each distinct found id once and keeps the allowed parts of speech; then
    /// sorts, merges (by word, or by word and id), filters by the black list and the
    /// thesaurus, ranks by links and returns the best words.
    bool rank(const IdCounts &found, qint64 total, bool mergeByWord, const IdCounts &links,
              QStringList *words);
    SearchResult result(bool done, const QStringList &words) const;

private:
    struct Candidate;
    bool resolve(const IdCounts &found, qint64 total, QList<Candidate> *candidates);

    sqlite3 *m_db;
    const SearchInput &m_input;
    SearchReporter m_reporter;
    QStringList m_tesaurus;
    QStringList m_blackList;
    QList<qint64> m_seeds;
    QString m_error;
};
