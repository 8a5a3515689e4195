#include "differencepatches.h"

#include "directoryview.h"
#include "editsession.h"
#include "imagebatchnames.h"
#include "patchtransfer.h"

#include <QDir>
#include <QSet>

#include <algorithm>

namespace qm {

namespace {

bool listedIn(const QVector<int>& listed, int id) { return std::binary_search(listed.cbegin(), listed.cend(), id); }

} // namespace

bool buildPatchFromDirectory(const DirectoryView& dir, ItemKind kind, int id, PatchItem* out, QString* error)
{
    PatchItem patch;
    patch.kind = kind;
    patch.id = id;
    if (listedIn(dir.listedIds(kind), id)) {
        patch.image = dir.picture(kind, id, error);
        if (patch.image.isNull())
            return false;
    }
    if (hasTileData(kind)) {
        if (dir.tileLayout() == TileLayout::Unknown) {
            *error = QStringLiteral("The tile data of %1 has a layout this program does not know")
                         .arg(QDir::toNativeSeparators(dir.directory()));
            return false;
        }
        const bool wide = dir.tileLayout() == TileLayout::Wide;
        patch.format = wide ? kWidePatchFormat : kPatchFormat;
        tile_struct tile;
        bool present = false;
        if (!dir.tileRecord(kind, id, &tile, &present, error))
            return false;
        // A directory without the record gives the empty one, as a new entry has.
        patch.tileRecord = tileBytes(kind, present ? tile : tile_struct(), dir.tileLayout());
    }
    if (kind == Static) {
        bool present = false;
        if (!dir.animRecord(id, &patch.animRecord, &present, error))
            return false;
        if (!present || patch.animRecord.size() != 68)
            patch.animRecord = QByteArray(68, '\0');
    }
    *out = patch;
    return true;
}

QVector<ItemKey> differingItems(const QVector<Difference>& differences)
{
    QVector<ItemKey> items;
    QSet<QPair<int, int>> seen;
    for (const Difference& d : differences) {
        if (seen.contains({ d.kind, d.id }))
            continue;
        seen.insert({ d.kind, d.id });
        items.append({ ItemKind(d.kind), d.id });
    }
    return items;
}

QString differencePatchFileName(ItemKind kind, int id)
{
    QString name = batchImageFileName(kind, id);
    name.chop(QStringLiteral(".png").size());
    return name + QStringLiteral(".qmp");
}

bool exportDifferencePatches(const EditSession& session, const DirectoryView& other, DiffSideName from,
                             const QVector<ItemKey>& items, const QString& folder, QStringList* written,
                             QStringList* skipped, QString* error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    for (const ItemKey& item : items) {
        const bool here = from == DiffSideName::Here;
        const bool hasPicture = here ? session.isListed(item.kind, item.id) && !session.image(item.kind, item.id).isNull()
                                     : listedIn(other.listedIds(item.kind), item.id);
        if (!hasPicture && !hasTileData(item.kind)) {
            if (skipped)
                skipped->append(itemName(item.kind, item.id));
            continue;
        }
        PatchItem patch;
        QString why;
        const bool built = here ? buildPatch(session, item.kind, item.id, &patch, &why)
                                : buildPatchFromDirectory(other, item.kind, item.id, &patch, &why);
        if (!built) {
            *error = QStringLiteral("%1: %2").arg(itemName(item.kind, item.id), why);
            return false;
        }
        const QString path = QDir(folder).filePath(differencePatchFileName(item.kind, item.id));
        if (!writePatchFile(path, patch, &why)) {
            *error = why;
            return false;
        }
        if (written)
            written->append(path);
    }
    return true;
}

} // namespace qm
