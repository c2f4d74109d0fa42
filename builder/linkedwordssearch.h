#pragma once

#include "builder/wordsearch.h"

class Dictionary;

/// "Поиск по связанным словам": the words that stand between the same left and right
/// neighbours as a thesaurus word in the dictionary's word triples, ranked by their
/// pair links to the thesaurus. Runs on the calling thread over an open connection
/// that the caller has claimed.
class LinkedWordsSearch final
{
public:
    explicit LinkedWordsSearch(Dictionary &dictionary);
    /// Reports every stage text and progress value of the run in order; a database
    /// error ends the run with the database's message and no words.
    SearchResult run(const SearchInput &input, const SearchReports &reports);

private:
    Dictionary &m_dictionary;
};
