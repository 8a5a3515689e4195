#pragma once

#include "itemkind.h"
#include "records.h"

#include <QImage>
#include <QMap>
#include <QSet>

namespace qm {

// What an edit says of an item's picture: nothing (the files' picture is served and saved),
// a new picture, or none at all. A removed picture is a state of its own so that the view,
// Save, patch export and undo cannot read "no picture" in two ways.
struct PictureEdit {
    enum State { Stored, Replaced, Emptied };
    State state = Stored;
    QImage image;   // Replaced only; never null then

    static PictureEdit stored() { return {}; }
    static PictureEdit replaced(const QImage& image) { return { Replaced, image }; }
    static PictureEdit emptied() { return { Emptied, QImage() }; }
    // A picture the files should hold as the item's: a null one empties it.
    static PictureEdit holding(const QImage& image) { return image.isNull() ? emptied() : replaced(image); }

    bool isEdit() const { return state != Stored; }
    bool operator==(const PictureEdit& o) const { return state == o.state && image == o.image; }
    bool operator!=(const PictureEdit& o) const { return !(*this == o); }
};

// Applied edits that are not yet written to the game's files. Pictures by kind: `images`
// holds new pictures (never a null one), `emptied` the items whose picture the user removed;
// an id is in at most one of them. Tile records for land and static, animation records by
// static id.
struct ChangeSet {
    QMap<int, QImage> images[kItemKindCount];
    QSet<int> emptied[kItemKindCount];
    QMap<int, tile_struct> tiles[2];
    QMap<int, anim_st> animEntries;

    PictureEdit picture(ItemKind kind, int id) const
    {
        if (!isValidKind(kind))
            return {};
        if (emptied[kind].contains(id))
            return PictureEdit::emptied();
        const auto it = images[kind].constFind(id);
        return it == images[kind].constEnd() ? PictureEdit() : PictureEdit::replaced(*it);
    }
    void setPicture(ItemKind kind, int id, const PictureEdit& edit)
    {
        images[kind].remove(id);
        emptied[kind].remove(id);
        if (edit.state == PictureEdit::Replaced)
            images[kind].insert(id, edit.image);
        else if (edit.state == PictureEdit::Emptied)
            emptied[kind].insert(id);
    }
    // Whether Save has a picture edit of this kind to write.
    bool hasPictureEdits(ItemKind kind) const { return !images[kind].isEmpty() || !emptied[kind].isEmpty(); }

    bool isEmpty() const
    {
        for (int kind = 0; kind < kItemKindCount; ++kind)
            if (hasPictureEdits(ItemKind(kind)))
                return false;
        return tiles[Land].isEmpty() && tiles[Static].isEmpty() && animEntries.isEmpty();
    }
};

} // namespace qm
