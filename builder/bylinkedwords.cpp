#include "builder/bylinkedwords.h"

#include "builder/linkedwordssearch.h"

namespace {

SearchResult search(Dictionary &dictionary, const SearchInput &input,
                    const SearchReports &reports)
{
    return LinkedWordsSearch(dictionary).run(input, reports);
}

} // namespace

ByLinkedWords::ByLinkedWords(Dictionary &dictionary, const Pane &thesaurus, const Pane &blackList,
       const part_word &filter, QObject *parent)
    : SearchThread(search, dictionary, thesaurus, blackList, filter, parent)
{
}
