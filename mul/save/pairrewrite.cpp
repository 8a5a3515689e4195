#include "pairrewrite.h"

#include "artcodec.h"
#include "durablefile.h"
#include "entrycopier.h"
#include "indexdamage.h"
#include "indexfile.h"
#include "savetransaction.h"

#include <QFileInfo>

#include <limits>

namespace qm {

namespace {

constexpr qint64 kLargestOffset = std::numeric_limits<qint32>::max();

// The catalogue an index record belongs to and its id there; kind -1 for the records of
// artidx.mul after the static tiles, which belong to none.
struct RecordOwner {
    int kind;
    int id;
};

RecordOwner ownerOf(ItemKind indexKind, qint64 record)
{
    if (indexKind != Land)
        return { indexKind, int(record) };
    if (record < kLandCount)
        return { Land, int(record) };
    if (record < kArtRecordCount)
        return { Static, int(record - kLandCount) };
    return { -1, int(record) };
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

// Whether the rewrite of a pair would give back both files byte for byte: no edited image,
// no deletion of an entry that still has data, and the kept entries already one after the
// other in index order from offset 0 up to the end of the data file. Saving then leaves the
// pair alone instead of copying it whole.
bool rewriteWouldChangeNothing(const QString& mulDir, ItemKind indexKind, const QByteArray& oldIndex,
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
        if (owner.kind >= 0 && changes.picture(ItemKind(owner.kind), owner.id).state == PictureEdit::Replaced)
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
bool rewritePair(SaveTransaction& tx, const QString& mulDir, ItemKind indexKind,
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
        const PictureEdit edit = owner.kind >= 0 && isListed ? changes.picture(ItemKind(owner.kind), owner.id) : PictureEdit();
        const QImage image = edit.image;

        if (owner.kind >= 0 && (!isListed || edit.state == PictureEdit::Emptied)) {
            out.offset = -1;   // deleted or emptied by the user: only the offset changes
        } else if (!image.isNull()) {
            QString why;
            const QByteArray bytes = encodeRecord(owner.kind, image, &why);
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
bool hasEditsFor(ItemKind indexKind, const QByteArray& index, const std::vector<char>& listed,
                 const ChangeSet& changes)
{
    for (int kind : indexKind == Land ? QVector<int> { Land, Static } : QVector<int> { indexKind })
        if (changes.hasPictureEdits(ItemKind(kind)))
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

} // namespace

// rewritePair for an index that is sound. A damaged index would have the rewrite drop every
// record it no longer lists, so its pair is left as it is: the save goes on for the other
// files (with a note), unless it holds edits to that pair, which fail it instead of being lost.
bool rewriteSoundPair(SaveTransaction& tx, const QString& mulDir, ItemKind indexKind,
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
bool markListed(ItemKind kind, const QVector<int>& ids, qint64 limit, std::vector<char>& set, QString* error)
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

} // namespace qm
