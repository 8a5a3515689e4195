#pragma once

#include "itemstate.h"

#include <memory>
#include <vector>

namespace qm {

// The session's undo history: its own steps only, so every entry is an ItemStep by
// construction. It only keeps the order; the session applies the states.
class SessionHistory {
public:
    explicit SessionHistory(int limit);

    // Drops the steps after the current one (they can no longer be redone), appends `step`
    // and forgets the oldest beyond the limit.
    void push(std::unique_ptr<ItemStep> step);
    void clear();

    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < int(m_steps.size()); }
    // The step undo() / redo() would move over; null when there is none.
    ItemStep* stepToUndo() const { return canUndo() ? m_steps[size_t(m_index - 1)].get() : nullptr; }
    ItemStep* stepToRedo() const { return canRedo() ? m_steps[size_t(m_index)].get() : nullptr; }
    void moveBack() { if (canUndo()) --m_index; }
    void moveForward() { if (canRedo()) ++m_index; }

    // The point of the last save or open.
    void setClean() { m_clean = m_index; }
    bool isClean() const { return m_clean == m_index; }
    // The way from the clean point to the current one, in order: steps redone (`forward`) or,
    // when the user undid past the save, steps undone. False when the clean point was
    // forgotten (the steps after it went past the limit).
    struct Move {
        const ItemStep* step;
        bool forward;
    };
    bool pathFromClean(std::vector<Move>* path) const;

    const std::vector<std::unique_ptr<ItemStep>>& steps() const { return m_steps; }

private:
    static constexpr int kUnreachable = -1;
    int m_limit;
    std::vector<std::unique_ptr<ItemStep>> m_steps;
    int m_index = 0;
    int m_clean = 0;
};

} // namespace qm
