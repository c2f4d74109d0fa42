#pragma once

#include "builder/wordsearch.h"

class Dictionary;

// The two searches done the slow, literal way: a query per neighbour id, repeats
// included, and two per candidate that return all its links. They give the reference
// results that the fast searches must match; tests and the benchmark compare them.

SearchResult literalRelatedWords(Dictionary &dictionary, const SearchInput &input,
                                 const SearchReports &reports);
SearchResult literalLinkedWords(Dictionary &dictionary, const SearchInput &input,
                                const SearchReports &reports);
