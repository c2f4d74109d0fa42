#pragma once

#include "builder/wordsearch.h"

class Dictionary;

/// "Поиск связанных слов": the words that stand directly before or after a thesaurus
/// word in the dictionary's word pairs, ranked by their pair links to the thesaurus.
/// Runs on the calling thread over an open connection that the caller has claimed.
class RelatedWordsSearch final
{
public:
    explicit RelatedWordsSearch(Dictionary &dictionary);
    /// Reports every stage text and progress value of the run in order; a database
    /// error ends the run with the database's message and no words.
    SearchResult run(const SearchInput &input, const SearchReports &reports);

private:
    Dictionary &m_dictionary;
};
