#include "common/undoring.h"

#include <algorithm>

UndoRing::UndoRing(int slotCount, int textCount, EmptyStart emptyStart)
    : m_slots(slotCount), m_textCount(textCount), m_emptyStart(emptyStart)
{
    reset();
}

void UndoRing::reset()
{
    for (QStringList &slot : m_slots) {
        slot.clear();
        for (int i = 0; i < m_textCount; ++i)
            slot.append(QString());
    }
    m_position = 0;
    m_held = 0;
}

int UndoRing::previous(int position) const
{
    return position == 0 ? slotCount() - 1 : position - 1;
}

bool UndoRing::record(const QStringList &texts)
{
    Q_ASSERT(texts.size() == m_textCount);
    const bool compare = m_held > 0 || m_emptyStart == EmptyStart::ComparedWithEmpty;
    if (compare && m_slots[previous(m_position)] == texts)
        return false;
    m_slots[m_position] = texts;
    m_position = (m_position + 1) % slotCount();
    m_held = std::min(m_held + 1, slotCount());
    return true;
}

std::optional<QStringList> UndoRing::undo()
{
    if (m_held < 2)
        return std::nullopt;
    --m_held;
    m_position = previous(m_position);
    return m_slots[previous(m_position)];
}
