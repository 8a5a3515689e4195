#include "itemstate.h"

#include "editsession.h"

namespace qm {

ItemStep::ItemStep(EditSession& session, const QString& text, QMap<ItemKey, Transition> items)
    : QUndoCommand(text)
    , m_session(session)
    , m_items(std::move(items))
{
}

void ItemStep::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        m_session.applyState(it.key(), it.value().second);
}

void ItemStep::undo()
{
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        m_session.applyState(it.key(), it.value().first);
}

void ItemStep::pinTo(const QMap<ItemKey, ItemState>& files)
{
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        const ItemState file = files.value(it.key());
        for (ItemState* state : { &it.value().first, &it.value().second }) {
            if (!state->image)
                state->image = file.image;
            if (!state->tile)
                state->tile = file.tile;
            if (!state->anim)
                state->anim = file.anim;
        }
    }
}

} // namespace qm
