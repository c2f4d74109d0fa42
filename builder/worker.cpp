#include "builder/worker.h"

#include "builder/relatedwordssearch.h"

namespace {

SearchResult search(Dictionary &dictionary, const SearchInput &input,
                    const SearchReports &reports)
{
    return RelatedWordsSearch(dictionary).run(input, reports);
}

} // namespace

Worker::Worker(Dictionary &dictionary, const Pane &thesaurus, const Pane &blackList,
       const part_word &filter, QObject *parent)
    : SearchThread(search, dictionary, thesaurus, blackList, filter, parent)
{
}
