#pragma once

#include "itemkind.h"
#include "records.h"

#include <QImage>
#include <QMap>
#include <QPair>
#include <QString>
#include <QUndoCommand>

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
    std::optional<QImage> image;
    std::optional<tile_struct> tile;   // land and static only
    std::optional<anim_st> anim;       // static only

    bool operator==(const ItemState& o) const
    {
        return listed == o.listed && image == o.image && tile == o.tile && anim == o.anim;
    }
    bool operator!=(const ItemState& o) const { return !(*this == o); }
};

// One undo step: the items it changed, each with its state before and after.
class ItemStep : public QUndoCommand {
public:
    using Transition = QPair<ItemState, ItemState>;
    ItemStep(EditSession& session, const QString& text, QMap<ItemKey, Transition> items);

    // The session applied the edits already when it pushes the step; the first redo is that.
    void redo() override;
    void undo() override;

    // Fills every "as the files hold it" of the step with `files` (the files as they were
    // before a save replaced them).
    void pinTo(const QMap<ItemKey, ItemState>& files);
    QList<ItemKey> items() const { return m_items.keys(); }

private:
    EditSession& m_session;
    QMap<ItemKey, Transition> m_items;
    bool m_applied = true;
};

} // namespace qm
