#include "builder/relatedwordssearch.h"

#include "builder/dictionary.h"
#include "builder/dictionarystatement.h"
#include "builder/searchsteps.h"

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

/// The sum over the seeds of each seed's logDice with the candidate, negative values
/// counted as none: 14 + log2(2·f(seed, word) / (f(seed) + f(word))), where f(seed, word)
/// is the freq of their pairs in either order and f the lexemes' corpus frequencies.
class PairLogDice final : public StrengthMeasure
{
public:
    PairLogDice(SearchSteps &steps, sqlite3 *db, const SeedPairs &pairs)
        : m_steps(steps), m_pairs(pairs), m_frequency(db, "select freq from lexemes where id=?")
    {
    }

    /// Reads the seeds' frequencies; false when the dictionary has no lexemes table.
    bool start()
    {
        if (!m_frequency.ok())
            return m_steps.fail(
                u"В словаре нет частот слов (таблицы lexemes): порядок по силе связи "
                "недоступен. %1"_s.arg(m_frequency.error()));
        for (const qint64 seed : m_steps.seeds()) {
            qint64 f = 0;
            if (!frequency(seed, &f))
                return false;
            m_seedFrequencies.append(f);
        }
        return true;
    }

    double bound(qint64) const override { return std::numeric_limits<double>::infinity(); }

    bool measure(qint64 id, double *strength) override
    {
        QList<SeedPair> pairs = m_pairs.value(id);
        std::sort(pairs.begin(), pairs.end(),
                  [](const SeedPair &a, const SeedPair &b) { return a.seed < b.seed; });
        qint64 own = 0;
        if (!frequency(id, &own))
            return false;
        *strength = 0;
        for (qsizetype i = 0; i < pairs.size();) {
            qint64 together = 0;
            const qsizetype seed = pairs[i].seed;
            for (; i < pairs.size() && pairs[i].seed == seed; ++i)
                together += pairs[i].freq;
            // A dictionary without counts still ranks: a pair counts as seen at least once,
            // and no word as rarer than its pairs.
            together = std::max<qint64>(together, 1);
            const double sum = double(std::max(m_seedFrequencies[seed], together))
                               + double(std::max(own, together));
            *strength += std::max(0.0, 14 + std::log2(2 * double(together) / sum));
        }
        return true;
    }

private:
    bool frequency(qint64 id, qint64 *f)
    {
        m_frequency.bindInt(1, id);
        *f = m_frequency.next() ? m_frequency.integer(0) : 0;
        return m_steps.check(m_frequency);
    }

    SearchSteps &m_steps;
    const SeedPairs &m_pairs;
    DictionaryStatement m_frequency;
    QList<qint64> m_seedFrequencies;
};

} // namespace

RelatedWordsSearch::RelatedWordsSearch(Dictionary &dictionary)
    : m_dictionary(dictionary)
{
}

SearchResult RelatedWordsSearch::run(const SearchInput &input, const SearchReports &reports)
{
    const DictionaryReading reading(m_dictionary);
    SearchSteps steps(m_dictionary, input, reports);
    IdCounts found;
    qint64 total = 0;
    QStringList words;
    bool done = steps.findSeeds();
    if (done && input.rankBy == RankBy::Strength) {
        steps.reporter().stage(SearchStage::neighbours(), steps.seeds().size());
        SeedPairs pairs;
        PairLogDice measure(steps, m_dictionary.handle(), pairs);
        done = measure.start()
               && steps.countNeighbours("select word2id,freq from grams2 where word1id=?", 1, 4,
                                        true, &found, &total, &pairs)
               && steps.countNeighbours("select word1id,freq from grams2 where word2id=?", 5, 5,
                                        true, &found, &total, &pairs)
               && steps.rankByStrength(found, total, measure, &words);
    } else if (done) {
        steps.reporter().stage(SearchStage::neighbours(), steps.seeds().size());
        // A neighbour's links to the seeds are the times it turns up as a neighbour.
        done = steps.countNeighbours("select word2id from grams2 where word1id=?", 1, 4, true,
                                     &found, &total)
               && steps.countNeighbours("select word1id from grams2 where word2id=?", 5, 5,
                                        true, &found, &total)
               && steps.rank(found, total, true, found, &words);
    }
    return steps.result(done, words);
}
