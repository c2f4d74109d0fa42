#include "builder/relatedwordssearch.h"

#include "builder/dictionary.h"
#include "builder/searchsteps.h"

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
    if (done) {
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
