#include "builder/searchsteps.h"

#include "builder/dictionary.h"
#include "builder/dictionarystatement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// Appends the words of the best MaxFoundWords items of ranked to words, best first.
template <typename Item, typename Better>
void appendBest(QList<Item> &ranked, Better better, QStringList *words)
{
    const qsizetype shown = std::min<qsizetype>(ranked.size(), MaxFoundWords);
    std::partial_sort(ranked.begin(), ranked.begin() + shown, ranked.end(), better);
    for (qsizetype i = 0; i < shown; ++i)
        words->append(ranked[i].word);
}

} // namespace

struct SearchSteps::Candidate
{
    QString word;
    QString line;  // word, TAB, id: the sort key
    qint64 id;
    int repeats;   // how many of the found ids were this one
};

SearchSteps::SearchSteps(Dictionary &dictionary, const SearchInput &input,
                         const SearchReports &reports)
    : m_db(dictionary.handle()), m_input(input), m_reporter(reports)
{
}

bool SearchSteps::check(const DictionaryStatement &statement)
{
    if (statement.ok())
        return true;
    m_error = statement.error();
    return false;
}

SearchResult SearchSteps::result(bool done, const QStringList &words) const
{
    SearchResult result;
    if (done)
        result.words = words;
    result.error = m_error;
    result.stopped = !done && m_error.isEmpty();
    return result;
}

bool SearchSteps::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool SearchSteps::findSeeds()
{
    m_tesaurus = searchLines(m_input.thesaurus);
    m_blackList = searchLines(m_input.blackList);
    m_reporter.stage(SearchStage::seeds(), m_tesaurus.size());
    const bool ownLexemes = m_input.rankBy == RankBy::Strength;
    DictionaryStatement statement(m_db, ownLexemes
                                            ? "select initform_id,id from forms where word=?"
                                            : "select initform_id from forms where word=?");
    if (!check(statement))
        return false;
    QSet<QString> asked;
    QSet<qint64> known;
    for (const QString &line : std::as_const(m_tesaurus)) {
        if (m_reporter.stopRequested())
            return false;
        if (asked.contains(line))
            continue;
        asked.insert(line);
        statement.bindText(1, line);
        QList<qint64> ids;
        QList<qint64> own;  // the lexemes whose initial form the line is
        while (statement.next()) {
            const qint64 id = statement.integer(0);
            ids.append(id);
            if (ownLexemes && statement.integer(1) == id)
                own.append(id);
        }
        if (!check(statement))
            return false;
        for (const qint64 id : std::as_const(own.isEmpty() ? ids : own)) {
            if (!known.contains(id)) {
                known.insert(id);
                m_seeds.append(id);
            }
        }
    }
    m_reporter.progress(1);
    return true;
}

bool SearchSteps::countNeighbours(const char *sql, int base, int span, bool report,
                                  IdCounts *counts, qint64 *total, SeedPairs *pairs)
{
    DictionaryStatement statement(m_db, sql);
    if (!check(statement))
        return false;
    for (qsizetype k = 0; k < m_seeds.size(); ++k) {
        if (m_reporter.stopRequested())
            return false;
        statement.bindInt(1, m_seeds[k]);
        while (statement.next()) {
            ++*total;
            // An id the database does not hold as a whole number names no form.
            if (!statement.isInteger(0))
                continue;
            const qint64 id = statement.integer(0);
            ++(*counts)[id];
            if (pairs)
                (*pairs)[id].append({k, statement.integer(1)});
        }
        if (!check(statement))
            return false;
        if (report && k % 100 == 0)
            m_reporter.progress(stageProgress(base, span, k, m_seeds.size()));
    }
    return true;
}

bool SearchSteps::resolve(const IdCounts &found, qint64 total, QList<Candidate> *candidates)
{
    m_reporter.stage(SearchStage::resolving(), total);
    DictionaryStatement statement(m_db, "select word,props from forms where id=?");
    if (!check(statement))
        return false;
    // Ascending ids walk the table in order, which keeps its pages in the cache.
    QList<qint64> ids = found.keys();
    std::sort(ids.begin(), ids.end());
    // The plain walk reports after items 1000, 2001, 3002, ... of all found ids; these
    // reports are spread over the distinct ids in proportion.
    qint64 nextReport = 1000;
    const qsizetype distinct = ids.size();
    for (qsizetype i = 0; i < distinct; ++i) {
        if (m_reporter.stopRequested())
            return false;
        statement.bindInt(1, ids[i]);
        if (statement.next() && checkPartWord(statement.text(1), *m_input.filter)) {
            const QString word = statement.text(0);
            candidates->append(
                {word, word + u'\t' + QString::number(ids[i]), ids[i], found.value(ids[i])});
        }
        if (!check(statement))
            return false;
        const qint64 reached = total * (i + 1) / distinct;
        for (; nextReport < reached; nextReport += 1001)
            m_reporter.progress(stageProgress(10, 30, nextReport, total));
    }
    for (; nextReport < total; nextReport += 1001)
        m_reporter.progress(stageProgress(10, 30, nextReport, total));
    return true;
}

bool SearchSteps::select(const IdCounts &found, qint64 total, bool mergeByWord, bool dropSeeds,
                         QList<Candidate> *fresh)
{
    QList<Candidate> candidates;
    if (!resolve(found, total, &candidates))
        return false;

    qint64 lines = 0;
    for (const Candidate &c : std::as_const(candidates))
        lines += c.repeats;
    m_reporter.stage(SearchStage::sorting(), lines);
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return ordinalLess(a.line, b.line);
    });
    m_reporter.progress(41);

    // Repeats of a line were resolved once, so merging the distinct lines merges them too.
    m_reporter.stage(SearchStage::merging(), lines);
    QList<Candidate> merged;
    QString previous;
    for (const Candidate &c : std::as_const(candidates)) {
        const QString &key = mergeByWord ? c.word : c.line;
        if (key != previous)
            merged.append(c);
        previous = key;
    }
    m_reporter.progress(42);

    m_reporter.stage(SearchStage::blackList(), merged.size());
    const QSet<QString> blackList(m_blackList.cbegin(), m_blackList.cend());
    QList<Candidate> allowed;
    for (const Candidate &c : std::as_const(merged))
        if (!blackList.contains(c.word))
            allowed.append(c);
    m_reporter.progress(43);

    m_reporter.stage(SearchStage::thesaurus(), allowed.size());
    const QSet<QString> tesaurus(m_tesaurus.cbegin(), m_tesaurus.cend());
    const QSet<qint64> seeds(m_seeds.cbegin(), m_seeds.cend());
    for (const Candidate &c : std::as_const(allowed))
        if (!tesaurus.contains(c.word) && !(dropSeeds && seeds.contains(c.id)))
            fresh->append(c);
    m_reporter.progress(44);
    return true;
}

bool SearchSteps::rank(const IdCounts &found, qint64 total, bool mergeByWord,
                       const IdCounts &links, QStringList *words)
{
    QList<Candidate> fresh;
    if (!select(found, total, mergeByWord, false, &fresh))
        return false;

    m_reporter.stage(SearchStage::significance(), fresh.size());
    struct Ranked
    {
        int count;
        QString word;
    };
    QList<Ranked> ranked;
    ranked.reserve(fresh.size());
    for (qsizetype k = 0; k < fresh.size(); ++k) {
        ranked.append({links.value(fresh[k].id), fresh[k].word});
        if (k % 100 == 0)
            m_reporter.progress(stageProgress(44, 55, k, fresh.size()));
    }
    m_reporter.progress(99);

    // Equal counts give equal "%4i " prefixes, so the ranked lines order by the word.
    m_reporter.stage(SearchStage::sorting(), ranked.size());
    const auto better = [](const Ranked &a, const Ranked &b) {
        return a.count != b.count ? a.count > b.count : ordinalLess(b.word, a.word);
    };
    appendBest(ranked, better, words);
    m_reporter.progress(100);
    return true;
}

bool SearchSteps::rankByStrength(const IdCounts &found, qint64 total, StrengthMeasure &measure,
                                 QStringList *words)
{
    QList<Candidate> fresh;
    if (!select(found, total, false, true, &fresh))
        return false;

    const qsizetype n = fresh.size();
    m_reporter.stage(SearchStage::significance(), n);
    QList<qint64> ids;
    ids.reserve(n);
    for (const Candidate &c : std::as_const(fresh))
        ids.append(c.id);
    if (!measure.prepare(ids))
        return false;
    QList<double> bounds(n);
    for (qsizetype i = 0; i < n; ++i) {
        if (m_reporter.stopRequested() || !measure.bound(fresh[i].id, &bounds[i]))
            return false;
    }
    QList<qsizetype> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&bounds](qsizetype a, qsizetype b) { return bounds[a] > bounds[b]; });
    QHash<QString, double> best;  // each word's strongest lexeme
    best.reserve(n);
    // The strength a candidate must reach to be shown, once MaxFoundWords words are in.
    double floor = -std::numeric_limits<double>::infinity();
    qsizetype nextFloor = MaxFoundWords;  // worked out less often as the words grow
    QList<double> strengths;
    // Batches in the order of the bounds, each measured in ascending ids, which walks
    // the tables and indexes in order and keeps their pages in the cache.
    constexpr qsizetype Batch = 1024;
    QList<qsizetype> batch;
    for (qsizetype k = 0; k < n;) {
        batch.clear();
        for (; k < n && batch.size() < Batch && !(bounds[order[k]] < floor); ++k)
            batch.append(order[k]);
        if (batch.isEmpty())
            break;  // the bounds only fall from here on
        std::sort(batch.begin(), batch.end(),
                  [&fresh](qsizetype a, qsizetype b) { return fresh[a].id < fresh[b].id; });
        for (qsizetype i = 0; i < batch.size(); ++i) {
            if (m_reporter.stopRequested())
                return false;
            const Candidate &c = fresh[batch[i]];
            double strength = 0;
            if (!measure.measure(c.id, floor, &strength))
                return false;
            const auto it = best.find(c.word);
            if (it == best.end())
                best.insert(c.word, strength);
            else if (strength > *it)
                *it = strength;
            const qsizetype done = k - batch.size() + i;
            if (done % 100 == 0)
                m_reporter.progress(stageProgress(44, 55, done, n));
        }
        if (best.size() >= nextFloor) {
            strengths = QList<double>(best.cbegin(), best.cend());
            std::nth_element(strengths.begin(), strengths.begin() + (MaxFoundWords - 1),
                             strengths.end(), std::greater<double>());
            floor = strengths[MaxFoundWords - 1];
            nextFloor = best.size() + std::max<qsizetype>(Batch, best.size() / 2);
        }
    }
    m_reporter.progress(99);

    m_reporter.stage(SearchStage::sorting(), best.size());
    struct Ranked
    {
        double strength;
        QString word;
    };
    QList<Ranked> ranked;
    ranked.reserve(best.size());
    for (auto it = best.cbegin(); it != best.cend(); ++it)
        ranked.append({it.value(), it.key()});
    const auto better = [](const Ranked &a, const Ranked &b) {
        return a.strength != b.strength ? a.strength > b.strength : ordinalLess(b.word, a.word);
    };
    appendBest(ranked, better, words);
    m_reporter.progress(100);
    return true;
}
