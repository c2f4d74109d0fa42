#include "builder/linkedwordssearch.h"

#include "builder/dictionary.h"
#include "builder/dictionarystatement.h"
#include "builder/searchsteps.h"

#include <QHash>

#include <algorithm>

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
