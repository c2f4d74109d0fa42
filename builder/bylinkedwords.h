#pragma once

#include "builder/searchthread.h"

/// The thread of "Поиск по связанным словам" (LinkedWordsSearch).
class ByLinkedWords final : public SearchThread
{
    Q_OBJECT
public:
    /// The panes are read on the UI thread when a run starts (PrepareWords); the filter
    /// at each candidate test. All must outlive the thread object.
    ByLinkedWords(Dictionary &dictionary, const Pane &thesaurus, const Pane &blackList,
           const part_word &filter = PartWord, QObject *parent = nullptr);
};
