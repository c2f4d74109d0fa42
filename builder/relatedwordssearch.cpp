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
/// All are worked out at once: the pairs' rows are read in rowid order, which walks the
/// table in order instead of jumping about it for each pair.
class PairLogDice final : public StrengthMeasure
{
public:
    PairLogDice(SearchSteps &steps, sqlite3 *db, const SeedPairs &pairs)
        : m_steps(steps),
          m_db(db),
          m_pairs(pairs),
          m_frequency(db, "select freq from lexemes where id=?")
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

    bool prepare(QList<qint64> ids) override
    {
        std::sort(ids.begin(), ids.end());
        struct Row
        {
            qint64 row;
            qint64 id;
            qsizetype seed;
            qint64 freq;
        };
        QList<Row> rows;
        QHash<qint64, qint64> frequencies;
        for (const qint64 id : std::as_const(ids)) {
            qint64 f = 0;
            if (!frequency(id, &f))
                return false;
            frequencies.insert(id, f);
            for (const SeedPair &pair : m_pairs.value(id))
                rows.append({pair.row, id, pair.seed, 0});
        }
        std::sort(rows.begin(), rows.end(),
                  [](const Row &a, const Row &b) { return a.row < b.row; });
        DictionaryStatement pairFrequency(m_db, "select freq from grams2 where rowid=?");
        if (!m_steps.check(pairFrequency))
            return false;
        for (Row &r : rows) {
            pairFrequency.bindInt(1, r.row);
            r.freq = pairFrequency.next() ? pairFrequency.integer(0) : 0;
            if (!m_steps.check(pairFrequency))
                return false;
        }
        std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
            return a.id != b.id ? a.id < b.id : a.seed < b.seed;
        });
        for (qsizetype i = 0; i < rows.size();) {
            const qint64 id = rows[i].id;
            const qint64 own = frequencies.value(id);
            double strength = 0;
            while (i < rows.size() && rows[i].id == id) {
                const qsizetype seed = rows[i].seed;
                qint64 together = 0;
                for (; i < rows.size() && rows[i].id == id && rows[i].seed == seed; ++i)
                    together += rows[i].freq;
                // A dictionary without counts still ranks: a pair counts as seen at least
                // once, and no word as rarer than its pairs.
                together = std::max<qint64>(together, 1);
                const double sum = double(std::max(m_seedFrequencies[seed], together))
                                   + double(std::max(own, together));
                strength += std::max(0.0, 14 + std::log2(2 * double(together) / sum));
            }
            m_strengths.insert(id, strength);
        }
        return true;
    }

    bool bound(qint64 id, double *bound) override
    {
        *bound = m_strengths.value(id);
        return true;
    }

    bool measure(qint64 id, double, double *strength) override
    {
        *strength = m_strengths.value(id);
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
    sqlite3 *m_db;
    const SeedPairs &m_pairs;
    DictionaryStatement m_frequency;
    QList<qint64> m_seedFrequencies;
    QHash<qint64, double> m_strengths;
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
               && steps.countNeighbours("select word2id,rowid from grams2 where word1id=?", 1,
                                        4, true, &found, &total, &pairs)
               && steps.countNeighbours("select word1id,rowid from grams2 where word2id=?", 5,
                                        5, true, &found, &total, &pairs)
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
