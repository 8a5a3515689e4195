#include "itemsource.h"

#include "animdata.h"
#include "indexfile.h"
#include "recordsource.h"
#include "tiledata.h"

namespace qm {

namespace {

bool idInRange(int kind, int id)
{
    if (id < 0)
        return false;
    switch (kind) {
    case Land: return id < kLandCount;
    case Static: return id < kStaticCount;
    case Gump:
    case Texture: return true;   // bounded by the index file itself
    default: return false;
    }
}

} // namespace

QImage readImageFromFiles(const QString& mulDir, ItemKind kind, int id)
{
    if (!idInRange(kind, id))
        return QImage();
    const RecordSource source(mulDir, kind);
    // The decoded image owns its pixels, so it outlives the map.
    return source.decode(id);
}

QImage currentImage(const QString& mulDir, const ChangeSet& changes, ItemKind kind, int id)
{
    if (!isValidKind(kind))
        return QImage();
    const PictureEdit edit = changes.picture(kind, id);
    return edit.isEdit() ? edit.image : readImageFromFiles(mulDir, kind, id);
}

tile_struct currentTile(const QString& mulDir, const ChangeSet& changes, ItemKind kind, int id)
{
    if (!hasTileData(kind))
        return tile_struct();
    const auto it = changes.tiles[kind].constFind(id);
    if (it != changes.tiles[kind].constEnd())
        return it.value();
    return readTileRecord(mulDir, kind, id);
}

anim_st currentAnim(const QString& mulDir, const ChangeSet& changes, int id)
{
    const auto it = changes.animEntries.constFind(id);
    if (it != changes.animEntries.constEnd())
        return it.value();
    return readAnimRecord(mulDir, id);
}

} // namespace qm
