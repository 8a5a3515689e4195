#pragma once

#include "changeset.h"
#include "hues.h"
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
    // A hue's edited entry before and after; none: as hues.mul holds it.
    using HueTransition = QPair<std::optional<HueEntry>, std::optional<HueEntry>>;
    ItemStep(QString text, QMap<ItemKey, Transition> items, QMap<int, HueTransition> hues = {});

    const QString& text() const { return m_text; }
    const QMap<ItemKey, Transition>& items() const { return m_items; }
    // The hues the step changed, by number.
    const QMap<int, HueTransition>& hues() const { return m_hues; }
    // Fills every "as hues.mul holds it" with the entries the file held before a save.
    void pinHuesTo(const QVector<HueEntry>& stored);

    // Fills every "as the files hold it" of the step with `files` (the files as they were
    // before a save replaced them).
    void pinTo(const QMap<ItemKey, ItemState>& files);

private:
    QString m_text;
    QMap<ItemKey, Transition> m_items;
    QMap<int, HueTransition> m_hues;
};

} // namespace qm
