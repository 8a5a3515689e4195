#include "convertcatalogue.h"

#include "artcodec.h"
#include "durablefile.h"
#include "indexfile.h"
#include "packagestage.h"
#include "savetransaction.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace qm {

namespace {

QVector<int> itemKinds(PackageKind kind)
{
    return kind == PackageKind::Art ? QVector<int> { Land, Static } : QVector<int> { Gump };
}

// Package id -> the catalogue's item.
void itemOf(PackageKind kind, int packageId, int* itemKind, int* id)
{
    if (kind == PackageKind::Art) {
        itemOfArtPackageId(packageId, itemKind, id);
    } else {
        *itemKind = Gump;
        *id = packageId;
    }
}

bool toPackage(SaveTransaction& tx, const QString& mulDir, PackageKind kind, const Catalogues& c, QString* error)
{
    QVector<int> ids;
    for (int k : itemKinds(kind)) {
        for (int id : c.listed[k]) {
            const int packageId = kind == PackageKind::Art ? artPackageId(k, id) : id;
            if (packageId < 0 || packageId >= packageIdCount(kind)) {
                *error = QStringLiteral("%1 has no name in a package (gump ids run to %2); nothing was converted")
                             .arg(itemName(k, id)).arg(kGumpPackageIdCount - 1);
                return false;
            }
            ids << packageId;
        }
    }
    const int firstKind = itemKinds(kind).first();
    QFile index(mulPath(mulDir, indexFileName(firstKind)));
    if (!index.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Opening %1 failed: %2").arg(indexFileName(firstKind), index.errorString());
        return false;
    }
    const QByteArray indexBytes = index.readAll();
    // Records after the last static id belong to no item, so a package has no name for them.
    for (qint64 i = kArtRecordCount; kind == PackageKind::Art && i < indexBytes.size() / kIndexRecordSize; ++i) {
        if (!indexRecordAt(indexBytes, i).isEmpty()) {
            *error = QStringLiteral("artidx.mul holds record %1, past the last static id, which has no name in a "
                                    "package and would be lost; nothing was converted").arg(i);
            return false;
        }
    }
    QFile data(mulPath(mulDir, dataFileName(firstKind)));
    if (!data.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Opening %1 failed: %2").arg(dataFileName(firstKind), data.errorString());
        return false;
    }
    const auto entryData = [&](int packageId, QByteArray* bytes, QString* e) {
        int itemKind = 0, id = 0;
        itemOf(kind, packageId, &itemKind, &id);
        const IndexRecord r = indexRecordAt(indexBytes, indexRecordNumber(itemKind, id));
        if (r.offset < 0 || r.length < 0 || qint64(r.offset) + r.length > data.size() || !data.seek(r.offset)) {
            *e = QStringLiteral("%1 points outside %2; nothing was converted").arg(itemName(itemKind, id), dataFileName(firstKind));
            return false;
        }
        const QByteArray record = data.read(r.length);
        if (record.size() != r.length) {
            *e = QStringLiteral("Reading %1 failed: %2").arg(dataFileName(firstKind), data.errorString());
            return false;
        }
        if (kind == PackageKind::Art) {
            *bytes = record;
            return true;
        }
        const int width = gumpWidthFromExtra(r.extra), height = gumpHeightFromExtra(r.extra);
        if (width < 1 || height < 1) {
            *e = QStringLiteral("%1 has no size in %2, which a package entry needs; nothing was converted")
                     .arg(itemName(itemKind, id), indexFileName(firstKind));
            return false;
        }
        *bytes = gumpEntryData(width, height, record);
        return true;
    };
    if (!stagePackage(tx, mulDir, kind, ids, {}, entryData, error))
        return false;
    tx.removeOnCommit(indexFileName(firstKind));
    tx.removeOnCommit(dataFileName(firstKind));
    return true;
}

bool toPair(SaveTransaction& tx, const QString& mulDir, PackageKind kind, QString* error)
{
    const QString packageName = packageFileName(kind);
    QString why;
    const auto dir = cachedPackageDirectory(mulPath(mulDir, packageName), &why);
    if (!dir) {
        *error = why;
        return false;
    }
    for (const PackageEntry& e : dir->entries) {
        if (packageIdForHash(kind, e.hash) < 0) {
            *error = QStringLiteral("%1 holds %2, which names no id and would be lost in the .mul files; "
                                    "nothing was converted").arg(packageName, packageHashLabel(e.hash));
            return false;
        }
    }
    const int firstKind = itemKinds(kind).first();
    // The index covers the package's whole id range, so the free ids stay what they were.
    const int count = packageIdCount(kind);
    QFile* data = tx.stage(dataFileName(firstKind), error);
    if (!data)
        return false;
    QByteArray index;
    index.reserve(count * kIndexRecordSize);
    QByteArray block;
    qint64 offset = 0;
    const auto flush = [&]() { return writeAll(*data, block.constData(), block.size(), error) && (block.clear(), true); };
    const RecordSource first(mulDir, firstKind);
    const RecordSource statics(mulDir, kind == PackageKind::Art ? Static : Gump);
    for (int packageId = 0; packageId < count; ++packageId) {
        int itemKind = 0, id = 0;
        itemOf(kind, packageId, &itemKind, &id);
        ItemRecord record;
        if (!(itemKind == Static ? statics : first).read(id, &record, error))
            return false;
        IndexRecord r;
        if (record.found) {
            if (offset + record.bytes.size() > std::numeric_limits<qint32>::max()) {
                *error = QStringLiteral("%1 would grow past 2 GB; nothing was converted").arg(dataFileName(firstKind));
                return false;
            }
            r.offset = qint32(offset);
            r.length = record.bytes.size();
            r.extra = kind == PackageKind::Gump ? record.extra : 0;
            block.append(record.bytes);
            offset += record.bytes.size();
            if (block.size() >= (4 << 20) && !flush())
                return false;
        }
        appendIndexRecord(index, r);
    }
    if (!flush())
        return false;
    QFile* indexFile = tx.stage(indexFileName(firstKind), error);
    if (!indexFile || !writeAll(*indexFile, index.constData(), index.size(), error))
        return false;
    tx.removeOnCommit(packageName);
    return true;
}

} // namespace

bool convertCatalogue(const QString& mulDir, PackageKind kind, CatalogueForm target, QString* note, QString* error)
{
    SaveTransaction tx(mulDir);
    if (!tx.begin(error))
        return false;
    const int firstKind = itemKinds(kind).first();
    const QString what = kind == PackageKind::Art ? QStringLiteral("art") : QStringLiteral("gumps");
    const CatalogueForm form = catalogueForm(mulDir, firstKind);
    if (form == target) {
        *note = QStringLiteral("The %1 catalogue is already kept as a %2 (%3); nothing was changed")
                    .arg(what, catalogueFormName(form), catalogueFileName(firstKind, form));
        return true;
    }
    if (form == CatalogueForm::Pair && !QFileInfo::exists(mulPath(mulDir, indexFileName(firstKind)))) {
        *error = QStringLiteral("%1 has no %2 files to convert").arg(mulDir, what);
        return false;
    }
    const Catalogues c = readCatalogues(mulDir);
    if (!c.indexRead[firstKind] || c.isDamaged(firstKind)) {
        *error = QStringLiteral("%1; nothing was converted")
                     .arg(c.isDamaged(firstKind) ? c.damage[firstKind]
                                                 : QStringLiteral("%1 cannot be read").arg(catalogueFileName(firstKind, form)));
        return false;
    }
    const bool staged = target == CatalogueForm::Package ? toPackage(tx, mulDir, kind, c, error)
                                                         : toPair(tx, mulDir, kind, error);
    if (!staged || !tx.commit(error))
        return false;
    *note = QStringLiteral("Converted the %1 catalogue to a %2 (%3)")
                .arg(what, catalogueFormName(target), catalogueFileName(firstKind, target));
    return true;
}

} // namespace qm
