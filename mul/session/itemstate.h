#pragma once

#include "changeset.h"
#include "itemkind.h"
#include "records.h"

#include <QMap>
#include <QPair>
#include <QString>

#include <optional>

namespace qm {

class EditSession;

// The parts of an item an edit can change, as a bit set.
enum ItemPart { ImagePart = 1, TilePart = 2, AnimPart = 4 };

// One item of one catalogue.
struct ItemKey {
    ItemKind kind = Land;
    int id = 0;
    bool operator<(const ItemKey& o) const { return kind != o.kind ? kind < o.kind : id < o.id; }
    bool operator==(const ItemKey& o) const { return kind == o.kind && id == o.id; }
};

// What the session holds of one item: whether it is listed, and its change-set entries (none:
// the files' data is served). Every edit moves items from one state to another, so one undo
// step is the states before and after of the items it touched.
struct ItemState {
    bool listed = false;
    PictureEdit picture;
    std::optional<tile_struct> tile;   // land and static only
    std::optional<anim_st> anim;       // static only

    bool operator==(const ItemState& o) const
    {
        return listed == o.listed && picture == o.picture && tile == o.tile && anim == o.anim;
    }
    bool operator!=(const ItemState& o) const { return !(*this == o); }
};

// One undo step: the items it changed, each with its state before and after.
class ItemStep {
public:
    using Transition = QPair<ItemState, ItemState>;
    ItemStep(QString text, QMap<ItemKey, Transition> items);

    const QString& text() const { return m_text; }
    const QMap<ItemKey, Transition>& items() const { return m_items; }

    // Fills every "as the files hold it" of the step with `files` (the files as they were
    // before a save replaced them).
    void pinTo(const QMap<ItemKey, ItemState>& files);

private:
    QString m_text;
    QMap<ItemKey, Transition> m_items;
};

} // namespace qm
