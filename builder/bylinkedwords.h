#pragma once

#include "builder/searchthread.h"

/// The thread of "Поиск по связанным словам" (LinkedWordsSearch).
class ByLinkedWords final : public SearchThread
{
    Q_OBJECT
public:
    using SearchThread::SearchThread;

protected:
    SearchResult search(Dictionary &dictionary, const SearchInput &input,
                        const SearchReports &reports) override;
};
