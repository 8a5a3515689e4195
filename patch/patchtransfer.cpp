#include "patchtransfer.h"

#include "animdata.h"
#include "editsession.h"
#include "indexfile.h"
#include "tiledata.h"


namespace qm {

bool buildPatch(const EditSession& session, ItemKind kind, int id, PatchItem* out, QString* error)
{
    PatchItem patch;
    patch.kind = kind;
    patch.id = id;
    // An emptied item travels without a picture, as an empty one does.
    patch.image = session.image(kind, id);
    if (hasTileData(kind)) {
        // The directory's layout decides the format: a wide tiledata.mul gives format 2, so
        // that the high flag bits travel too. Without a tiledata.mul the record is the
        // reader's zero record in format 1.
        const TileLayout layout = session.tileDataLayout();
        patch.format = layout == TileLayout::Wide ? kWidePatchFormat : kPatchFormat;
        const TileLayout recordLayout = patchTileLayout(patch.format);
        const auto& tiles = session.changes().tiles[kind];
        const auto edited = tiles.constFind(id);
        if (edited != tiles.constEnd()) {
            patch.tileRecord = tileBytes(kind, *edited, recordLayout);
        } else {
            if (session.tileDataState() == TileDataState::OtherLayout) {
                *error = QStringLiteral("The tile data of this item cannot be exported: "
                                        "tiledata.mul has a layout this program does not know.");
                return false;
            }
            // The stored bytes as they are, including whatever follows a name's terminating
            // zero; a missing or short tiledata.mul gives the reader's zero record instead.
            const QByteArray raw = session.storedTileBytes(kind, id);
            patch.tileRecord = raw.size() == tileRecordSize(kind, recordLayout)
                ? raw
                : tileBytes(kind, session.tile(kind, id), recordLayout);
        }
    }
    if (kind == Static)
        patch.animRecord = animBytes(session.anim(id));
    *out = patch;
    return true;
}

tile_struct patchTile(const PatchItem& patch)
{
    if (!hasTileData(patch.kind) || patch.tileRecord.size() != patchTileRecordSize(patch.format, patch.kind))
        return tile_struct();
    return parseTile(patch.kind, patch.tileRecord.constData(), patchTileLayout(patch.format));
}

QString tileLayoutRefusal(const PatchItem& patch, TileLayout layout)
{
    if (!hasTileData(patch.kind))
        return QString();
    if (layout == TileLayout::Unknown)
        return QStringLiteral("Cannot import this patch: tiledata.mul has a layout this program "
                              "does not know, so the tile data cannot be stored.");
    if (layout == TileLayout::Classic && (patchTile(patch).flags >> 32) != 0)
        return QStringLiteral("Cannot import this patch: its tile flags use the high 32 bits, "
                              "which this directory's classic tiledata.mul cannot hold.");
    return QString();
}

QString patchImportRefusal(const QString& mulDir, const PatchItem& patch)
{
    qint64 size = -1;
    const TileLayout layout = tileDataLayout(mulDir, &size);
    // Without a tiledata.mul the records wait in the change set, as for any tile edit.
    return size < 0 ? QString() : tileLayoutRefusal(patch, layout);
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
    // A patch without a picture says the item has none: it is emptied, not left as stored.
    return session.storeItem(kind, id, PictureEdit::holding(patch.image), patchTile(patch), patchAnim(patch),
                             QStringLiteral("Import Patch as %1").arg(itemName(kind, id)), error);
}

QString patchIdCaption(ItemKind kind)
{
    switch (kind) {
    case Land: return QStringLiteral("Land Tile id");
    case Static: return QStringLiteral("Static Tile id");
    case Gump: return QStringLiteral("Gump id");
    case Texture: return QStringLiteral("Texture id");
    default: return QString();
    }
}

QString idRangeError(ItemKind kind, qint64 id)
{
    return itemIdRangeError(kind, id);
}

PatchIdAnswer resolvePatchId(const QString& answer, ItemKind kind, const FreeIds& freeIds)
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
