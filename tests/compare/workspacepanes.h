#pragma once

#include "compare/workspace.h"

#include <array>

/// A workspace's 43 boxes in one array: sources 0-9, unique 10-19, absent 20-29, shared
/// 30-39, then common, merged and the list window.
template <typename PaneType>
WorkspacePanes workspacePanesOf(std::array<PaneType, 43> &boxes)
{
    WorkspacePanes panes;
    for (int i = 0; i < ComparisonWorkspace::MaxLists; ++i) {
        panes.source[i] = &boxes[i];
        panes.unique[i] = &boxes[10 + i];
        panes.absent[i] = &boxes[20 + i];
        panes.shared[i] = &boxes[30 + i];
    }
    panes.common = &boxes[40];
    panes.merged = &boxes[41];
    panes.listWindow = &boxes[42];
    return panes;
}
