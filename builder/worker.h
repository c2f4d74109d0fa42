#pragma once

#include "builder/searchthread.h"

/// The thread of "Поиск связанных слов" (RelatedWordsSearch).
class Worker final : public SearchThread
{
    Q_OBJECT
public:
    using SearchThread::SearchThread;

protected:
    SearchResult search(Dictionary &dictionary, const SearchInput &input,
                        const SearchReports &reports) override;
};
