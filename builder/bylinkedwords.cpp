#include "builder/bylinkedwords.h"

#include "builder/linkedwordssearch.h"

SearchResult ByLinkedWords::search(Dictionary &dictionary, const SearchInput &input,
                                   const SearchReports &reports)
{
    return LinkedWordsSearch(dictionary).run(input, reports);
}
