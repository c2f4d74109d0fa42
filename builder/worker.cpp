#include "builder/worker.h"

#include "builder/relatedwordssearch.h"

SearchResult Worker::search(Dictionary &dictionary, const SearchInput &input,
                            const SearchReports &reports)
{
    return RelatedWordsSearch(dictionary).run(input, reports);
}
