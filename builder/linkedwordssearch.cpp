#include "builder/linkedwordssearch.h"

#include "builder/dictionary.h"
#include "builder/dictionarystatement.h"
#include "builder/searchsteps.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Context
{
    qint64 left;
    qint64 right;
    bool operator==(const Context &other) const = default;
    bool operator<(const Context &other) const
    {
        return left != other.left ? left < other.left : right < other.right;
    }
};

size_t qHash(const Context &context, size_t seed = 0)
{
    return qHashMulti(seed, context.left, context.right);
}

/// The log-likelihood ratio (G²) that a candidate's contexts hold the seeds' contexts
/// more often than chance: of its n contexts (grams3 rows with it in the middle), m are
/// the seeds', where a row at random is one with the chance p = (rows found in the
/// seeds' contexts) / (all rows). One shared context is taken as luck: the ratio is
/// that of m - 1 out of n - 1, zero when m/n is not above p. So a word of many contexts
/// must share many to score, and a rare word that fills one common context scores none.
/// n is read from `lexemes.contexts` where the dictionary stores it; then the bound is
/// the strength itself and only the words shown are measured. Otherwise n is counted.
class ContextLikelihood final : public StrengthMeasure
{
public:
    ContextLikelihood(SearchSteps &steps, sqlite3 *db, const IdCounts &shared, qint64 found)
        : m_steps(steps),
          m_shared(shared),
          m_found(found),
          m_contexts(db, "select 1 from grams3 where word2id=? limit ?"),
          m_stored(db, "select contexts from lexemes where id=?"),
          m_allStored(db, "select id,contexts from lexemes")
    {
    }

    /// Reads the size of grams3: its highest rowid, which a built file's count of rows
    /// reaches without reading them all.
    bool start(sqlite3 *db)
    {
        DictionaryStatement rows(db, "select max(rowid) from grams3");
        if (!m_steps.check(rows) || !m_steps.check(m_contexts))
            return false;
        const qint64 all = rows.next() ? rows.integer(0) : 0;
        if (!m_steps.check(rows))
            return false;
        m_chance = double(m_found) / double(std::max(all, m_found + 1));
        return true;
    }

    /// Reads the candidates' stored counts: one by one for a few, else the whole table
    /// in one pass, which costs less than looking up most of it. A dictionary without
    /// `lexemes.contexts` (an older one) only fails these statements: nothing is read.
    bool prepare(QList<qint64> ids) override
    {
        if (!m_stored.ok() || !m_allStored.ok())
            return true;
        m_storedCounts.reserve(ids.size());
        if (ids.size() < ReadAllFrom) {
            std::sort(ids.begin(), ids.end());
            for (const qint64 id : std::as_const(ids)) {
                m_stored.bindInt(1, id);
                if (m_stored.next() && m_stored.isInteger(0))
                    m_storedCounts.insert(id, m_stored.integer(0));
                if (!m_steps.check(m_stored))
                    return false;
            }
            return true;
        }
        const QSet<qint64> wanted(ids.cbegin(), ids.cend());
        while (m_allStored.next())
            if (m_allStored.isInteger(1) && wanted.contains(m_allStored.integer(0)))
                m_storedCounts.insert(m_allStored.integer(0), m_allStored.integer(1));
        return m_steps.check(m_allStored);
    }

    /// With a stored n the strength itself, else G² when all the candidate's contexts
    /// are the seeds' (n = m), which grows with m.
    bool bound(qint64 id, double *bound) override
    {
        const auto stored = m_storedCounts.constFind(id);
        if (stored != m_storedCounts.cend()) {
            const double m = m_shared.value(id) - 1;
            *bound = strength(m, *stored, belowFloor(m, 0));
            return true;
        }
        *bound = 2 * std::max(m_shared.value(id) - 1, 0) * -std::log(m_chance);
        return true;
    }

    bool measure(qint64 id, double floor, double *result) override
    {
        const double m = m_shared.value(id) - 1;
        const auto stored = m_storedCounts.constFind(id);
        const qint64 below = belowFloor(m, floor);
        if (stored != m_storedCounts.cend()) {
            *result = strength(m, *stored, below);
            return true;
        }
        *result = 0;
        if (m <= 0)
            return true;
        // Beyond m/p + 1 contexts m/n is at most p and the strength 0, and beyond the
        // count for the floor it is below the floor: the count stops there, which spares
        // reading all the contexts of a frequent word.
        m_contexts.bindInt(1, id);
        m_contexts.bindInt(2, limit(m, below));
        qint64 counted = 0;
        while (m_contexts.next())
            ++counted;
        if (!m_steps.check(m_contexts))
            return false;
        *result = strength(m, counted, below);
        return true;
    }

private:
    /// Stored counts are read in one pass over the lexemes from this many candidates on.
    static constexpr qsizetype ReadAllFrom = 10000;

    /// The count of rows from which on m shared contexts are below a positive floor.
    qint64 belowFloor(double m, double floor) const
    {
        return m > 0 && floor > 0 ? contextsBelow(m, floor)
                                  : std::numeric_limits<qint64>::max();
    }

    /// The rows worth counting for m shared contexts.
    qint64 limit(double m, qint64 belowFloor) const
    {
        return std::min(qint64(std::ceil(m / m_chance)) + 2, belowFloor);
    }

    /// The strength of m shared contexts out of the candidate's rows, counted up to the
    /// limit or all of them (which gives the same); -1 from the count below the floor on.
    double strength(double m, qint64 rows, qint64 below) const
    {
        if (m <= 0)
            return 0;
        const qint64 counted = std::min(rows, limit(m, below));
        if (counted >= below)
            return -1;
        return likelihood(m, std::max<double>(double(counted) - 1, m));
    }

    /// G² of m shared contexts out of n, 0 when m/n is not above the chance.
    double likelihood(double m, double n) const
    {
        const double p = m_chance;
        const double q = m / n;
        if (q <= p)
            return 0;
        double g = m * std::log(q / p);
        if (n > m)
            g += (n - m) * std::log((1 - q) / (1 - p));
        return 2 * g;
    }

    /// The count of rows from which on m shared contexts are below floor (G² falls as
    /// n grows); 0 when even n = m is.
    qint64 contextsBelow(double m, double floor) const
    {
        if (likelihood(m, m) < floor)
            return 0;
        double low = m;  // G² >= floor
        double high = std::ceil(m / m_chance) + 1;  // G² = 0 < floor
        while (high - low > 1) {
            const double middle = std::floor((low + high) / 2);
            (likelihood(m, middle) < floor ? high : low) = middle;
        }
        // n counts one context more than the likelihood's, and the count is of rows.
        return qint64(high) + 1;
    }

    SearchSteps &m_steps;
    const IdCounts &m_shared;
    qint64 m_found;
    DictionaryStatement m_contexts;
    DictionaryStatement m_stored;  // neither is ok() without lexemes.contexts
    DictionaryStatement m_allStored;
    QHash<qint64, qint64> m_storedCounts;
    double m_chance = 0.5;
};

} // namespace

LinkedWordsSearch::LinkedWordsSearch(Dictionary &dictionary)
    : m_dictionary(dictionary)
{
}

SearchResult LinkedWordsSearch::run(const SearchInput &input, const SearchReports &reports)
{
    const DictionaryReading reading(m_dictionary);
    SearchSteps steps(m_dictionary, input, reports);
    SearchReporter &reporter = steps.reporter();
    QStringList words;
    if (!steps.findSeeds())
        return steps.result(false, words);
    const QList<qint64> &seeds = steps.seeds();

    reporter.stage(SearchStage::neighbours(), seeds.size());
    DictionaryStatement outer(m_dictionary.handle(),
                              "select word1id,word3id from grams3 where word2id=?");
    if (!steps.check(outer))
        return steps.result(false, words);
    QSet<Context> seen;
    QList<Context> contexts;
    for (qsizetype k = 0; k < seeds.size(); ++k) {
        if (reporter.stopRequested())
            return steps.result(false, words);
        outer.bindInt(1, seeds[k]);
        while (outer.next()) {
            const Context context{outer.integer(0), outer.integer(1)};
            if (!seen.contains(context)) {
                seen.insert(context);
                contexts.append(context);
            }
        }
        if (!steps.check(outer))
            return steps.result(false, words);
        if (k % 100 == 0)
            reporter.progress(stageProgress(1, 4, k, seeds.size()));
    }
    reporter.progress(10);
    seen.clear();

    reporter.stage(SearchStage::middleWords(), contexts.size());
    // The order of the contexts changes no count; sorted, they walk the index in order.
    std::sort(contexts.begin(), contexts.end());
    DictionaryStatement middle(
        m_dictionary.handle(),
        "select word2id from grams3 where word1id=? and word3id=? and word2id!=-1");
    if (!steps.check(middle))
        return steps.result(false, words);
    IdCounts found;
    qint64 total = 0;
    for (qsizetype k = 0; k < contexts.size(); ++k) {
        if (reporter.stopRequested())
            return steps.result(false, words);
        middle.bindInt(1, contexts[k].left);
        middle.bindInt(2, contexts[k].right);
        while (middle.next()) {
            ++total;
            if (middle.isInteger(0))
                ++found[middle.integer(0)];
        }
        if (!steps.check(middle))
            return steps.result(false, words);
        if (k % 100 == 0)
            reporter.progress(stageProgress(5, 5, k, contexts.size()));
    }

    if (input.rankBy == RankBy::Strength) {
        ContextLikelihood measure(steps, m_dictionary.handle(), found, total);
        const bool done = measure.start(m_dictionary.handle())
                          && steps.rankByStrength(found, total, measure, &words);
        return steps.result(done, words);
    }

    // The links to the seeds: every seed's pair neighbours, collected once.
    IdCounts links;
    qint64 linkTotal = 0;
    const bool done =
        steps.countNeighbours("select word2id from grams2 where word1id=?", 0, 0, false, &links,
                              &linkTotal)
        && steps.countNeighbours("select word1id from grams2 where word2id=?", 0, 0, false,
                                 &links, &linkTotal)
        && steps.rank(found, total, false, links, &words);
    return steps.result(done, words);
}
