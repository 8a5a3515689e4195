#include "packagerewrite.h"

#include "artcodec.h"
#include "indexfile.h"
#include "packagestage.h"
#include "recordsource.h"

namespace qm {

QVector<int> packageIds(PackageKind kind, const QVector<int>& first, const QVector<int>& second)
{
    QVector<int> ids;
    ids.reserve(first.size() + second.size());
    for (int id : first)
        ids << (kind == PackageKind::Art ? artPackageId(Land, id) : id);
    for (int id : second)
        ids << artPackageId(Static, id);
    return ids;
}

bool stagePackageCatalogue(SaveTransaction& tx, const QString& mulDir, PackageKind kind, const QVector<int>& listedIds,
                           const ChangeSet& changes, QString* error)
{
    const QString path = mulPath(mulDir, packageFileName(kind));
    const auto source = cachedPackageDirectory(path, error);
    if (!source)
        return false;
    const auto itemOf = [kind](int packageId, int* itemKind, int* id) {
        if (kind == PackageKind::Art)
            return itemOfArtPackageId(packageId, itemKind, id);
        *itemKind = Gump;
        *id = packageId;
        return packageId >= 0 && packageId < kGumpPackageIdCount;
    };
    const auto editOf = [&](int packageId) {
        int itemKind = 0, id = 0;
        return itemOf(packageId, &itemKind, &id) ? changes.picture(ItemKind(itemKind), id) : PictureEdit();
    };
    const auto editedImage = [&](int packageId) { return editOf(packageId).image; };
    const auto hasEntry = [&](int packageId) { return source->find(packageEntryHash(kind, packageId)) != nullptr; };

    QVector<int> ids;
    bool changed = false;
    for (int packageId : listedIds) {
        if (packageId < 0 || packageId >= packageIdCount(kind)) {
            *error = QStringLiteral("Id %1 has no place in %2; nothing was written").arg(packageId).arg(packageFileName(kind));
            return false;
        }
        const PictureEdit edit = editOf(packageId);
        const bool edited = edit.state == PictureEdit::Replaced;
        const bool emptied = edit.state == PictureEdit::Emptied;
        if (edited || (!emptied && hasEntry(packageId)))
            ids << packageId;
        changed = changed || edited || (emptied && hasEntry(packageId));
    }
    // Entries of ids no longer listed were deleted.
    int withId = 0;
    for (const PackageEntry& e : source->entries)
        withId += packageIdForHash(kind, e.hash) >= 0 ? 1 : 0;
    if (!changed && withId == ids.size())
        return true;

    const auto keep = [&](int packageId) { return editedImage(packageId).isNull(); };
    const auto data = [&](int packageId, QByteArray* bytes, QString* e) {
        int itemKind = 0, id = 0;
        itemOf(packageId, &itemKind, &id);
        const QImage image = editedImage(packageId);
        if (image.isNull()) {
            *e = QStringLiteral("%1 in %2 cannot be read; nothing was written").arg(itemName(itemKind, id), packageFileName(kind));
            return false;
        }
        QString why;
        const QByteArray record = encodeRecord(itemKind, image, &why);
        if (record.isEmpty()) {
            *e = QStringLiteral("%1 cannot be saved: %2. Nothing was written")
                     .arg(itemName(itemKind, id), why.isEmpty() ? QStringLiteral("its image cannot be encoded") : why);
            return false;
        }
        *bytes = itemKind == Gump ? gumpEntryData(image.width(), image.height(), record) : record;
        return true;
    };
    return stagePackage(tx, mulDir, kind, ids, keep, data, error);
}

} // namespace qm
