#include "recordpatch.h"

#include "animdata.h"
#include "durablefile.h"
#include "entrycopier.h"
#include "indexfile.h"
#include "savetransaction.h"
#include "tiledata.h"

#include <QDir>
#include <QFileInfo>

namespace qm {

bool stagePatchedCopy(SaveTransaction& tx, const QString& mulDir, const QString& name, qint64 size,
                      const QVector<RecordPatch>& patches, QString* error)
{
    QFile* staged = tx.stage(name, error);
    if (!staged)
        return false;
    EntryCopier copier(mulPath(mulDir, name), *staged);
    if (!copier.copy(0, size, error) || !copier.flush(error))
        return false;
    for (const RecordPatch& patch : patches) {
        if (!staged->seek(patch.offset)) {
            *error = QStringLiteral("Writing %1 failed: %2").arg(name, staged->errorString());
            return false;
        }
        if (!writeAll(*staged, patch.bytes.constData(), patch.bytes.size(), error))
            return false;
    }
    return true;
}

bool stageTileRecords(SaveTransaction& tx, const QString& mulDir, const ChangeSet& changes, qint64 size,
                      QString* error)
{
    // Records go where the file's own layout puts them; every place is checked before
    // anything is written.
    const TileLayout layout = tileLayoutForSize(size);
    QVector<RecordPatch> patches;
    for (int kind : { int(Land), int(Static) }) {
        const int limit = kind == Land ? kLandCount : kStaticCount;
        for (auto it = changes.tiles[kind].cbegin(); it != changes.tiles[kind].cend(); ++it) {
            const qint64 offset = tileOffset(kind, it.key(), layout);
            if (it.key() < 0 || it.key() >= limit || offset + tileRecordSize(kind, layout) > size) {
                *error = QStringLiteral("tiledata.mul has no entry for %1 (the file has %2 bytes); "
                                        "nothing was written")
                             .arg(itemName(kind, it.key())).arg(size);
                return false;
            }
            // A file that changed layout since the edit must not silently lose flag bits.
            if (!tileFlagsFit(it.value(), layout)) {
                *error = QStringLiteral("The flags of %1 need more than the 32 bits that tiledata.mul holds in "
                                        "its classic layout; nothing was written")
                             .arg(itemName(kind, it.key()));
                return false;
            }
            const QByteArray bytes = tileBytes(kind, it.value(), layout);
            if (bytes.size() != tileRecordSize(kind, layout)) {
                *error = QStringLiteral("The tile data of %1 cannot be encoded; nothing was written")
                             .arg(itemName(kind, it.key()));
                return false;
            }
            patches.append({ offset, bytes });
        }
    }
    return stagePatchedCopy(tx, mulDir, QStringLiteral("tiledata.mul"), size, patches, error);
}

bool stageAnimRecords(SaveTransaction& tx, const QString& mulDir, const ChangeSet& changes, QString* error)
{
    if (changes.animEntries.isEmpty())
        return true;
    const QString name = QStringLiteral("animdata.mul");
    const QFileInfo info(mulPath(mulDir, name));
    if (!info.isFile()) {
        *error = QStringLiteral("animdata.mul is missing in %1, so the animation data of %2 item(s) "
                                "cannot be written")
                     .arg(QDir::toNativeSeparators(mulDir)).arg(changes.animEntries.size());
        return false;
    }
    const qint64 size = info.size();
    QVector<RecordPatch> patches;
    for (auto it = changes.animEntries.cbegin(); it != changes.animEntries.cend(); ++it) {
        if (it.key() < 0 || it.key() >= kStaticCount || animOffset(it.key()) + kAnimRecordSize > size) {
            *error = QStringLiteral("animdata.mul has no entry for %1 (the file has %2 bytes); "
                                    "nothing was written")
                         .arg(itemName(Static, it.key())).arg(size);
            return false;
        }
        const QByteArray bytes = animBytes(it.value());
        if (bytes.size() != kAnimRecordSize) {
            *error = QStringLiteral("The animation data of %1 cannot be encoded; nothing was written")
                         .arg(itemName(Static, it.key()));
            return false;
        }
        patches.append({ animOffset(it.key()), bytes });
    }
    return stagePatchedCopy(tx, mulDir, name, size, patches, error);
}

} // namespace qm
