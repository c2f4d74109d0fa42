#pragma once

#include "common/pane.h"
#include "sorter/sortingsession.h"

#include <array>

/// A sorting session over memory panes.
struct SortingPanes
{
    using Lists = std::array<MemoryPane, SortingSession::ListCount>;
    static std::array<Pane *, SortingSession::ListCount> pointers(Lists &panes)
    {
        std::array<Pane *, SortingSession::ListCount> all{};
        for (int i = 0; i < SortingSession::ListCount; ++i)
            all[i] = &panes[i];
        return all;
    }
    MemoryPane &list(int k) { return lists[k - 1]; }

    MemoryPane source;
    Lists lists;
    SortingSession session{source, pointers(lists)};
};
