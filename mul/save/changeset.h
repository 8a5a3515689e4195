#pragma once

#include "itemkind.h"
#include "records.h"

#include <QImage>
#include <QMap>

namespace qm {

// Applied edits that are not yet written to the game's files. Images by kind (a null image
// is a valid entry: it makes the item read as empty), tile records for land and static,
// animation records by static id.
struct ChangeSet {
    QMap<int, QImage> images[kItemKindCount];
    QMap<int, tile_struct> tiles[2];
    QMap<int, anim_st> animEntries;

    bool isEmpty() const
    {
        for (const auto& m : images)
            if (!m.isEmpty())
                return false;
        return tiles[Land].isEmpty() && tiles[Static].isEmpty() && animEntries.isEmpty();
    }
};

} // namespace qm
