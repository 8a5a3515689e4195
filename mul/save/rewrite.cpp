#include "rewrite.h"

#include "animdata.h"
#include "artcodec.h"
#include "durablefile.h"
#include "entrycopier.h"
#include "indexdamage.h"
#include "indexfile.h"
#include "littleendian.h"
#include "packagestage.h"
#include "recordsource.h"
#include "savetransaction.h"
#include "tiledata.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <vector>

namespace qm {

namespace {

constexpr qint64 kLargestOffset = std::numeric_limits<qint32>::max();

// The catalogue an index record belongs to and its id there; kind -1 for the records of
// artidx.mul after the static tiles, which belong to none.
struct RecordOwner {
    int kind;
    int id;
};

RecordOwner ownerOf(int indexKind, qint64 record)
{
    if (indexKind != Land)
        return { indexKind, int(record) };
    if (record < kLandCount)
        return { Land, int(record) };
    if (record < kArtRecordCount)
        return { Static, int(record - kLandCount) };
    return { -1, int(record) };
}

QByteArray encodeFor(int kind, const QImage& image, QString* why)
{
    switch (kind) {
    case Land: return encodeLand(image, why);
    case Static: return encodeStatic(image, why);
    case Gump: return encodeGump(image, why);
    case Texture: return encodeTexture(image, why);
    default: return {};
    }
}

// The extra field of an edited entry: art keeps the old one; a gump's holds its height in
// the low and its width in the high half; a texture's says whether it is 128 wide.
quint32 extraFor(int kind, const QImage& image, quint32 oldExtra)
{
    switch (kind) {
    case Gump: return gumpExtraFor(image.width(), image.height());
    case Texture: return textureExtraFor(image.width());
    default: return oldExtra;
    }
}

bool readWhole(const QString& path, QByteArray* bytes, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Opening %1 failed: %2").arg(QFileInfo(path).fileName(), f.errorString());
        return false;
    }
    const qint64 size = f.size();
    *bytes = f.readAll();
    if (bytes->size() != size) {
        *error = QStringLiteral("Reading %1 failed: %2").arg(QFileInfo(path).fileName(), f.errorString());
        return false;
    }
    return true;
}

bool writeWhole(QFile& file, const QByteArray& bytes, QString* error)
{
    return writeAll(file, bytes.constData(), bytes.size(), error);
}

// Writes `bytes` at `offset` of a staged copy; the caller has checked the place exists.
bool patchAt(QFile& file, qint64 offset, const QByteArray& bytes, QString* error)
{
    if (!file.seek(offset)) {
        *error = QStringLiteral("Writing %1 failed: %2").arg(QFileInfo(file.fileName()).fileName(), file.errorString());
        return false;
    }
    return writeWhole(file, bytes, error);
}

// A whole copy of mulDir/name into the transaction, for files that are patched in place.
QFile* stageCopy(SaveTransaction& tx, const QString& mulDir, const QString& name, qint64 size,
                 QString* error)
{
    QFile* staged = tx.stage(name, error);
    if (!staged)
        return nullptr;
    EntryCopier copier(mulPath(mulDir, name), *staged);
    if (!copier.copy(0, size, error) || !copier.flush(error))
        return nullptr;
    return staged;
}

// Whether the rewrite of a pair would give back both files byte for byte: no edited image,
// no deletion of an entry that still has data, and the kept entries already one after the
// other in index order from offset 0 up to the end of the data file. Saving then leaves the
// pair alone instead of copying it whole.
bool rewriteWouldChangeNothing(const QString& mulDir, int indexKind, const QByteArray& oldIndex,
                               const std::vector<char>& listed, const ChangeSet& changes)
{
    const qint64 count = oldIndex.size() / kIndexRecordSize;
    qint64 end = 0;
    for (qint64 i = 0; i < count; ++i) {
        const IndexRecord old = indexRecordAt(oldIndex, i);
        const RecordOwner owner = ownerOf(indexKind, i);
        const bool isListed = i < qint64(listed.size()) && listed[size_t(i)];
        if (owner.kind >= 0 && !isListed) {
            if (!old.isEmpty())
                return false;
            continue;
        }
        if (owner.kind >= 0 && changes.picture(owner.kind, owner.id).state == PictureEdit::Replaced)
            return false;
        if (owner.kind >= 0 && changes.emptied[owner.kind].contains(owner.id) && !old.isEmpty())
            return false;
        if (old.isEmpty())
            continue;
        if (old.offset != end || old.length < 0)
            return false;
        end += old.length;
    }
    const QFileInfo data(mulPath(mulDir, dataFileName(indexKind)));
    return data.isFile() && data.size() == end;
}

// Rewrites one index file and its data file into the transaction: kept entries one after
// the other in index order from offset 0, edited images encoded, deleted entries emptied.
// `indexKind` is Land for artidx.mul (land and static), else Gump or Texture.
bool rewritePair(SaveTransaction& tx, const QString& mulDir, int indexKind,
                 const std::vector<char>& listed, const ChangeSet& changes, QString* error)
{
    const QString indexName = indexFileName(indexKind);
    const QString dataName = dataFileName(indexKind);
    QByteArray oldIndex;
    if (!readWhole(mulPath(mulDir, indexName), &oldIndex, error))
        return false;

    const qint64 oldCount = oldIndex.size() / kIndexRecordSize;
    // Listed ids past the end of the index extend it, so that no edit is dropped; a short
    // artidx.mul is completed to its land and static records.
    const qint64 count = qMax<qint64>(oldCount, qint64(listed.size()));
    if (count == oldCount && rewriteWouldChangeNothing(mulDir, indexKind, oldIndex, listed, changes))
        return true;

    QFile* data = tx.stage(dataName, error);
    if (!data)
        return false;
    EntryCopier copier(mulPath(mulDir, dataName), *data);

    QByteArray newIndex;
    newIndex.reserve(int(count * kIndexRecordSize));
    for (qint64 i = 0; i < count; ++i) {
        const IndexRecord old = indexRecordAt(oldIndex, i);
        const RecordOwner owner = ownerOf(indexKind, i);
        IndexRecord out = old;
        const bool isListed = i < qint64(listed.size()) && listed[size_t(i)];
        const PictureEdit edit = owner.kind >= 0 && isListed ? changes.picture(owner.kind, owner.id) : PictureEdit();
        const QImage image = edit.image;

        if (owner.kind >= 0 && (!isListed || edit.state == PictureEdit::Emptied)) {
            out.offset = -1;   // deleted or emptied by the user: only the offset changes
        } else if (!image.isNull()) {
            QString why;
            const QByteArray bytes = encodeFor(owner.kind, image, &why);
            if (bytes.isEmpty()) {
                *error = QStringLiteral("%1 cannot be saved: %2. Nothing was written")
                             .arg(itemName(owner.kind, owner.id),
                                  why.isEmpty() ? QStringLiteral("its image cannot be encoded") : why);
                return false;
            }
            out.offset = qint32(copier.position());
            out.length = bytes.size();
            out.extra = extraFor(owner.kind, image, old.extra);
            if (copier.position() + bytes.size() > kLargestOffset) {
                *error = QStringLiteral("%1 would grow past 2 GB; nothing was written").arg(dataName);
                return false;
            }
            if (!copier.append(bytes, error))
                return false;
        } else if (!old.isEmpty()) {
            // No picture edit: the entry keeps its data.
            if (old.length > 0) {
                const qint64 size = copier.sourceSize(error);
                if (size < 0)
                    return false;
                if (old.offset < 0 || qint64(old.offset) + old.length > size) {
                    const QString what = owner.kind >= 0 ? itemName(owner.kind, owner.id)
                                                         : QStringLiteral("Record %1").arg(i);
                    *error = QStringLiteral("%1 in %2 points outside %3 (offset %4, length %5, file size "
                                            "%6). Delete the entry or repair the file, then save again")
                                 .arg(what, indexName, dataName)
                                 .arg(old.offset).arg(old.length).arg(size);
                    return false;
                }
            } else if (old.length < 0) {
                *error = QStringLiteral("%1 in %2 has a negative length (%3). Delete the entry or "
                                        "repair the file, then save again")
                             .arg(owner.kind >= 0 ? itemName(owner.kind, owner.id) : QStringLiteral("Record %1").arg(i),
                                  indexName).arg(old.length);
                return false;
            }
            if (copier.position() + old.length > kLargestOffset) {
                *error = QStringLiteral("%1 would grow past 2 GB; nothing was written").arg(dataName);
                return false;
            }
            out.offset = qint32(copier.position());
            if (!copier.copy(old.offset, old.length, error))
                return false;
        }
        appendIndexRecord(newIndex, out);
    }
    if (!copier.flush(error))
        return false;
    // Bytes after the last whole record mean nothing to the game; they stay as they were.
    if (count == oldCount)
        newIndex.append(oldIndex.mid(int(oldCount * kIndexRecordSize)));

    QFile* index = tx.stage(indexName, error);
    return index && writeWhole(*index, newIndex, error);
}

// Whether the change set or the lists differ from what a damaged index holds: an edited or
// emptied picture, or an id listed or deleted since it was read.
bool hasEditsFor(int indexKind, const QByteArray& index, const std::vector<char>& listed,
                 const ChangeSet& changes)
{
    for (int kind : indexKind == Land ? QVector<int> { Land, Static } : QVector<int> { indexKind })
        if (changes.hasPictureEdits(kind))
            return true;
    const qint64 count = qMax<qint64>(index.size() / kIndexRecordSize, qint64(listed.size()));
    for (qint64 i = 0; i < count; ++i) {
        const bool inIndex = !indexRecordAt(index, i).isEmpty() && ownerOf(indexKind, i).kind >= 0;
        const bool isListed = i < qint64(listed.size()) && listed[size_t(i)];
        if (inIndex != isListed)
            return true;
    }
    return false;
}

// rewritePair for an index that is sound. A damaged index would have the rewrite drop every
// record it no longer lists, so its pair is left as it is: the save goes on for the other
// files (with a note), unless it holds edits to that pair, which fail it instead of being lost.
bool rewriteSoundPair(SaveTransaction& tx, const QString& mulDir, int indexKind,
                      const std::vector<char>& listed, const ChangeSet& changes, QString* error,
                      QStringList* notes)
{
    const QString damage = qm::indexDamage(mulDir, indexKind);
    if (damage.isEmpty())
        return rewritePair(tx, mulDir, indexKind, listed, changes, error);
    QByteArray index;
    if (!readWhole(mulPath(mulDir, indexFileName(indexKind)), &index, error))
        return false;
    if (hasEditsFor(indexKind, index, listed, changes)) {
        *error = QStringLiteral("%1, so edits to its entries cannot be saved until it is repaired; "
                                "nothing was written").arg(damage);
        return false;
    }
    if (notes)
        notes->append(QStringLiteral("%1; it and %2 were left as they are")
                          .arg(damage, dataFileName(indexKind)));
    return true;
}

// Marks the record of every listed id of `kind` in `set`. False when an id has no place in
// its index file.
bool markListed(int kind, const QVector<int>& ids, qint64 limit, std::vector<char>& set, QString* error)
{
    const qint64 shift = kind == Static ? kLandCount : 0;
    for (int id : ids) {
        if (id < 0 || id >= limit) {
            *error = QStringLiteral("%1 lies beyond the ids that %2 can hold; nothing was written")
                         .arg(itemName(kind, id), indexFileName(kind));
            return false;
        }
        const size_t at = size_t(id + shift);
        if (at >= set.size())
            set.resize(at + 1, 0);
        set[at] = 1;
    }
    return true;
}

// Writes the tile records of the change set into a staged copy of tiledata.mul.
bool stageTileData(SaveTransaction& tx, const QString& mulDir, const ChangeSet& changes, qint64 size,
                   QString* error)
{
    // Records go where the file's own layout puts them; every place is checked before
    // anything is written.
    const TileLayout layout = tileLayoutForSize(size);
    for (int kind : { int(Land), int(Static) }) {
        const int limit = kind == Land ? kLandCount : kStaticCount;
        for (auto it = changes.tiles[kind].cbegin(); it != changes.tiles[kind].cend(); ++it) {
            if (it.key() < 0 || it.key() >= limit
                || tileOffset(kind, it.key(), layout) + tileRecordSize(kind, layout) > size) {
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
        }
    }
    QFile* staged = stageCopy(tx, mulDir, QStringLiteral("tiledata.mul"), size, error);
    if (!staged)
        return false;
    for (int kind : { int(Land), int(Static) }) {
        for (auto it = changes.tiles[kind].cbegin(); it != changes.tiles[kind].cend(); ++it) {
            const QByteArray bytes = tileBytes(kind, it.value(), layout);
            if (bytes.size() != tileRecordSize(kind, layout)) {
                *error = QStringLiteral("The tile data of %1 cannot be encoded; nothing was written")
                             .arg(itemName(kind, it.key()));
                return false;
            }
            if (!patchAt(*staged, tileOffset(kind, it.key(), layout), bytes, error))
                return false;
        }
    }
    return true;
}

QString missingIndexError(const QString& mulDir, int kind)
{
    return QStringLiteral("%1 is missing in %2, so the %3 entries cannot be saved")
        .arg(indexFileName(kind), QDir::toNativeSeparators(mulDir), kindName(kind));
}

using Written = Rewrite::Written;

// A package catalogue's ids, listed land and static ids (art) or gump ids, as package ids.
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

// Writes a package catalogue back as a package: kept entries keep their stored bytes, edited
// pictures are encoded, deleted and empty ids get no entry, and a catalogue without a change
// leaves its package as it is. The .mul pair beside it, if any, is never touched.
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
        return itemOf(packageId, &itemKind, &id) ? changes.picture(itemKind, id) : PictureEdit();
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
        const QByteArray record = encodeFor(itemKind, image, &why);
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

bool stageArtPair(SaveTransaction& tx, const QString& mulDir, const QVector<int>& landIds,
                  const QVector<int>& staticIds, const ChangeSet& changes, Written& written, QString* error,
                  QStringList* notes)
{
    if (catalogueForm(mulDir, Land) == CatalogueForm::Package) {
        if (!stagePackageCatalogue(tx, mulDir, PackageKind::Art, packageIds(PackageKind::Art, landIds, staticIds),
                                   changes, error))
            return false;
    } else if (QFileInfo::exists(mulPath(mulDir, indexFileName(Land)))) {
        std::vector<char> listed(kArtRecordCount, 0);
        if (!markListed(Land, landIds, kLandCount, listed, error)
            || !markListed(Static, staticIds, kStaticCount, listed, error)
            || !rewriteSoundPair(tx, mulDir, Land, listed, changes, error, notes))
            return false;
    } else if (!landIds.isEmpty() || !staticIds.isEmpty()) {
        *error = missingIndexError(mulDir, Land);
        return false;
    }
    // Without an index only edits of deleted items can be staged: nothing to write.
    written.artImages = true;
    return true;
}

bool stageTiles(SaveTransaction& tx, const QString& mulDir, const ChangeSet& changes, bool tileDataWritable,
                Written& written, QString* error, QStringList* notes)
{
    const int tileCount = changes.tiles[Land].size() + changes.tiles[Static].size();
    if (tileCount == 0)
        return true;
    qint64 size = -1;
    const TileDataState state = tileDataState(mulDir, &size);
    if (tileDataWritable && state == TileDataState::Writable) {
        written.tiles = true;
        return stageTileData(tx, mulDir, changes, size, error);
    }
    // The file is left alone; the records stay in the change set.
    if (notes) {
        const QString reason = state == TileDataState::Missing
            ? QStringLiteral("tiledata.mul is missing")
            : QStringLiteral("tiledata.mul has a layout this program cannot write (%1 bytes)").arg(size);
        notes->append(QStringLiteral("The tile data of %1 item(s) was not written: %2. The edits are kept")
                          .arg(tileCount).arg(reason));
    }
    return true;
}

bool stageImages(SaveTransaction& tx, const QString& mulDir, int kind, const QVector<int>& ids,
                 const ChangeSet& changes, Written& written, QString* error, QStringList* notes)
{
    if (catalogueForm(mulDir, kind) == CatalogueForm::Package) {
        if (!stagePackageCatalogue(tx, mulDir, PackageKind::Gump, packageIds(PackageKind::Gump, ids, {}), changes, error))
            return false;
        written.images[kind] = true;
        return true;
    }
    const QFileInfo index(mulPath(mulDir, indexFileName(kind)));
    if (!index.exists()) {
        if (!ids.isEmpty()) {
            *error = missingIndexError(mulDir, kind);
            return false;
        }
        written.images[kind] = true;   // only edits of deleted items can be staged
        return true;
    }
    std::vector<char> listed;
    if (!markListed(kind, ids, qMax(index.size() / kIndexRecordSize, kGrownIndexLimit), listed, error)
        || !rewriteSoundPair(tx, mulDir, kind, listed, changes, error, notes))
        return false;
    written.images[kind] = true;
    return true;
}

bool stageAnim(SaveTransaction& tx, const QString& mulDir, const ChangeSet& changes, QString* error)
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
    for (auto it = changes.animEntries.cbegin(); it != changes.animEntries.cend(); ++it) {
        if (it.key() < 0 || it.key() >= kStaticCount || animOffset(it.key()) + kAnimRecordSize > size) {
            *error = QStringLiteral("animdata.mul has no entry for %1 (the file has %2 bytes); "
                                    "nothing was written")
                         .arg(itemName(Static, it.key())).arg(size);
            return false;
        }
    }
    QFile* staged = stageCopy(tx, mulDir, name, size, error);
    if (!staged)
        return false;
    for (auto it = changes.animEntries.cbegin(); it != changes.animEntries.cend(); ++it) {
        const QByteArray bytes = animBytes(it.value());
        if (bytes.size() != kAnimRecordSize) {
            *error = QStringLiteral("The animation data of %1 cannot be encoded; nothing was written")
                         .arg(itemName(Static, it.key()));
            return false;
        }
        if (!patchAt(*staged, animOffset(it.key()), bytes, error))
            return false;
    }
    return true;
}

} // namespace

TileDataState tileDataState(const QString& mulDir, qint64* size)
{
    const QFileInfo info(mulPath(mulDir, QStringLiteral("tiledata.mul")));
    if (size)
        *size = info.exists() ? info.size() : -1;
    if (!info.exists() || !info.isFile())
        return TileDataState::Missing;
    return isKnownTileDataSize(info.size()) ? TileDataState::Writable : TileDataState::OtherLayout;
}

Rewrite::Rewrite(const QString& mulDir)
    : m_dir(mulDir)
{
}

Rewrite::~Rewrite() = default;

bool Rewrite::begin(QString* error)
{
    if (m_dir.isEmpty() || !QFileInfo(m_dir).isDir()) {
        *error = m_dir.isEmpty() ? QStringLiteral("No data directory is set")
                                 : QStringLiteral("The data directory %1 does not exist").arg(QDir::toNativeSeparators(m_dir));
        return false;
    }
    m_tx = std::make_unique<SaveTransaction>(m_dir);
    if (m_tx->begin(error))
        return true;
    m_tx.reset();
    return false;
}

bool Rewrite::stageArt(const QVector<int>& landIds, const QVector<int>& staticIds, const ChangeSet& changes,
                       bool tileDataWritable, QString* error, QStringList* notes)
{
    return stageArtPair(landIds, staticIds, changes, error, notes) && stageTiles(changes, tileDataWritable, error, notes);
}

bool Rewrite::stageArtPair(const QVector<int>& landIds, const QVector<int>& staticIds, const ChangeSet& changes,
                           QString* error, QStringList* notes)
{
    return m_tx && qm::stageArtPair(*m_tx, m_dir, landIds, staticIds, changes, m_written, error, notes);
}

bool Rewrite::stageTiles(const ChangeSet& changes, bool tileDataWritable, QString* error, QStringList* notes)
{
    return m_tx && qm::stageTiles(*m_tx, m_dir, changes, tileDataWritable, m_written, error, notes);
}

bool Rewrite::stageImages(int kind, const QVector<int>& ids, const ChangeSet& changes, QString* error,
                          QStringList* notes)
{
    if (kind != Gump && kind != Texture) {
        *error = QStringLiteral("Only gumps and textures have files of their own");
        return false;
    }
    return m_tx && qm::stageImages(*m_tx, m_dir, kind, ids, changes, m_written, error, notes);
}

bool Rewrite::stageAnim(const ChangeSet& changes, QString* error)
{
    return m_tx && qm::stageAnim(*m_tx, m_dir, changes, error);
}

bool Rewrite::commit(QString* error)
{
    if (!m_tx || !m_tx->commit(error))
        return false;
    m_tx.reset();
    return true;
}

// The animation records stay in the change set: they are written again by every save.
void forgetWritten(ChangeSet& changes, const Rewrite::Written& written)
{
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        if (kind == Land || kind == Static ? written.artImages : written.images[kind]) {
            changes.images[kind].clear();
            changes.emptied[kind].clear();
        }
    }
    if (written.tiles) {
        changes.tiles[Land].clear();
        changes.tiles[Static].clear();
    }
}

namespace {

// One stage in a transaction of its own.
template <typename Stage>
bool saveAlone(const QString& mulDir, ChangeSet& changes, QString* error, Stage&& stage)
{
    QString localError;
    if (!error)
        error = &localError;
    Rewrite rewrite(mulDir);
    if (!rewrite.begin(error) || !stage(rewrite, error) || !rewrite.commit(error))
        return false;
    forgetWritten(changes, rewrite.written());
    return true;
}

} // namespace

bool saveArtFiles(const QString& mulDir, const QVector<int>& landIds, const QVector<int>& staticIds,
                  ChangeSet& changes, bool tileDataWritable, QString* error, QStringList* notes)
{
    return saveAlone(mulDir, changes, error, [&](Rewrite& r, QString* e) {
        return r.stageArt(landIds, staticIds, changes, tileDataWritable, e, notes);
    });
}

bool saveImageFiles(const QString& mulDir, int kind, const QVector<int>& ids, ChangeSet& changes,
                    QString* error)
{
    return saveAlone(mulDir, changes, error, [&](Rewrite& r, QString* e) { return r.stageImages(kind, ids, changes, e); });
}

bool saveAnimFile(const QString& mulDir, const ChangeSet& changes, QString* error)
{
    if (changes.animEntries.isEmpty())
        return true;
    ChangeSet untouched;   // the animation records stay where they are
    return saveAlone(mulDir, untouched, error, [&](Rewrite& r, QString* e) { return r.stageAnim(changes, e); });
}

bool saveAll(const QString& mulDir, const QVector<int> listed[kItemKindCount], ChangeSet& changes,
             bool tileDataWritable, QString* error, QStringList* notes)
{
    return saveAlone(mulDir, changes, error, [&](Rewrite& r, QString* e) {
        return r.stageArt(listed[Land], listed[Static], changes, tileDataWritable, e, notes)
            && r.stageImages(Gump, listed[Gump], changes, e, notes)
            && r.stageImages(Texture, listed[Texture], changes, e, notes)
            && r.stageAnim(changes, e);
    });
}

} // namespace qm
