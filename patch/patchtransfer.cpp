#include "patchtransfer.h"

#include "animdata.h"
#include "editsession.h"
#include "indexfile.h"
#include "itemsource.h"
#include "tiledata.h"

#include <QFileInfo>

namespace qm {

bool buildPatch(const QString& mulDir, const ChangeSet& changes, int kind, int id,
                PatchItem* out, QString* error)
{
    PatchItem patch;
    patch.kind = kind;
    patch.id = id;
    patch.image = currentImage(mulDir, changes, kind, id);
    if (hasTileData(kind)) {
        const auto& tiles = changes.tiles[kind];
        const auto edited = tiles.constFind(id);
        if (edited != tiles.constEnd()) {
            patch.tileRecord = kind == Land ? landTileBytes(*edited) : staticTileBytes(*edited);
        } else {
            const QFileInfo tileData(mulPath(mulDir, QStringLiteral("tiledata.mul")));
            if (tileData.exists() && !isKnownTileDataSize(tileData.size())) {
                *error = QStringLiteral("The tile data of this item cannot be exported: "
                                        "tiledata.mul has a layout this program does not know.");
                return false;
            }
            // The stored bytes as they are, including whatever follows a name's terminating
            // zero; a missing or short tiledata.mul gives the reader's zero record instead.
            QByteArray raw;
            const tile_struct read = readTileRecord(mulDir, kind, id, &raw);
            const int size = kind == Land ? kLandTileRecordSize : kStaticTileRecordSize;
            patch.tileRecord = raw.size() == size ? raw
                : kind == Land                    ? landTileBytes(read)
                                                  : staticTileBytes(read);
        }
    }
    if (kind == Static)
        patch.animRecord = animBytes(currentAnim(mulDir, changes, id));
    *out = patch;
    return true;
}

tile_struct patchTile(const PatchItem& patch)
{
    if (patch.kind == Land && patch.tileRecord.size() == kLandTileRecordSize)
        return parseLandTile(patch.tileRecord.constData());
    if (patch.kind == Static && patch.tileRecord.size() == kStaticTileRecordSize)
        return parseStaticTile(patch.tileRecord.constData());
    return tile_struct();
}

anim_st patchAnim(const PatchItem& patch)
{
    if (patch.animRecord.size() != kAnimRecordSize)
        return anim_st();
    return parseAnim(patch.animRecord.constData());
}

bool importPatch(EditSession& session, const PatchItem& patch, int id, QString* error)
{
    if (!isValidKind(patch.kind))
        return false;
    const ItemKind kind = ItemKind(patch.kind);
    return session.storeItem(kind, id, patch.image, patchTile(patch), patchAnim(patch),
                             QStringLiteral("Import Patch as %1").arg(itemName(kind, id)), error);
}

QString patchIdCaption(int kind)
{
    switch (kind) {
    case Land: return QStringLiteral("Land Tile id");
    case Static: return QStringLiteral("Static Tile id");
    case Gump: return QStringLiteral("Gump id");
    case Texture: return QStringLiteral("Texture id");
    default: return QString();
    }
}

QString idRangeError(int kind, qint64 id)
{
    return itemIdRangeError(kind, id);
}

PatchIdAnswer resolvePatchId(const QString& answer, int kind, const std::set<quint32>& freeIds)
{
    PatchIdAnswer result;
    const QString text = answer.simplified();
    qint64 id = 0;
    if (text.isEmpty()) {
        if (freeIds.empty()) {
            result.status = PatchIdAnswer::NoFreeId;
            result.message = QStringLiteral("Unable to create a new item");
            return result;
        }
        id = *freeIds.begin();
    } else {
        bool ok = false;
        id = parseTypedNumber(text, &ok);
        if (!ok) {
            result.status = PatchIdAnswer::NotANumber;
            return result;
        }
    }
    result.message = idRangeError(kind, id);
    if (!result.message.isEmpty()) {
        result.status = PatchIdAnswer::OutOfRange;
        return result;
    }
    result.status = PatchIdAnswer::Ok;
    result.id = int(id);
    return result;
}

} // namespace qm
