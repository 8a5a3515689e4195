#include "itemstate.h"

namespace qm {

ItemStep::ItemStep(QString text, QMap<ItemKey, Transition> items)
    : m_text(std::move(text))
    , m_items(std::move(items))
{
}

void ItemStep::pinTo(const QMap<ItemKey, ItemState>& files)
{
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        const ItemState file = files.value(it.key());
        for (ItemState* state : { &it.value().first, &it.value().second }) {
            if (!state->picture.isEdit())
                state->picture = file.picture;
            if (!state->tile)
                state->tile = file.tile;
            if (!state->anim)
                state->anim = file.anim;
        }
    }
}

} // namespace qm
