#include "itemstate.h"

namespace qm {

ItemStep::ItemStep(QString text, QMap<ItemKey, Transition> items, QMap<int, HueTransition> hues)
    : m_text(std::move(text))
    , m_items(std::move(items))
    , m_hues(std::move(hues))
{
}

void ItemStep::pinHuesTo(const QVector<HueEntry>& stored)
{
    for (auto it = m_hues.begin(); it != m_hues.end(); ++it) {
        if (it.key() < 1 || it.key() > stored.size())
            continue;
        for (std::optional<HueEntry>* state : { &it.value().first, &it.value().second })
            if (!*state)
                *state = stored[it.key() - 1];
    }
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
