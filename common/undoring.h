#pragma once

#include <QStringList>

#include <optional>
#include <vector>

/// A fixed ring of snapshots, each a set of pane texts kept apart. A snapshot equal
/// to the newest is not stored; undo drops the newest and restores the one before.
class UndoRing
{
public:
    /// How a ring with nothing held compares a new snapshot.
    enum class EmptyStart {
        Stored,              // the first snapshot is always stored, empty panes included
        ComparedWithEmpty    // compared with empty texts: an all-empty state is not stored
    };
    UndoRing(int slotCount, int textCount, EmptyStart emptyStart);

    /// Stores texts unless they equal the newest snapshot; true when stored.
    bool record(const QStringList &texts);
    /// The snapshot before the newest, which becomes the newest; nothing with fewer than two held.
    std::optional<QStringList> undo();
    void reset();

    int held() const { return m_held; }
    int writePosition() const { return m_position; }
    int slotCount() const { return int(m_slots.size()); }

private:
    int previous(int position) const;
    std::vector<QStringList> m_slots;
    int m_textCount;
    EmptyStart m_emptyStart;
    int m_position = 0;
    int m_held = 0;
};
