#include "directoryview.h"

#include "animdata.h"
#include "artcodec.h"
#include "indexdamage.h"
#include "itemkind.h"
#include "packagenames.h"
#include "savetransaction.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace qm {

namespace {

const QString kTileDataName = QStringLiteral("tiledata.mul");
const QString kAnimDataName = QStringLiteral("animdata.mul");

bool indexedByRecord(int kind) { return kind == Land || kind == Static; }

} // namespace

DirectoryView::DirectoryView(const QString& dir)
    : m_dir(QDir::cleanPath(dir))
{
    const QFileInfo info(m_dir);
    if (!info.exists()) {
        m_error = QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(m_dir));
        return;
    }
    if (!info.isDir() || !info.isReadable() || !QDir(m_dir).isReadable()) {
        m_error = QStringLiteral("%1 is not a readable directory").arg(QDir::toNativeSeparators(m_dir));
        return;
    }
    m_open = true;
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        m_forms[kind] = catalogueForm(m_dir, kind);
        if (m_forms[kind] == CatalogueForm::Package) {
            m_packages[kind] = std::make_unique<RecordSource>(m_dir, kind);
            listPackage(kind);
            continue;
        }
        if (kind == Static && m_index[Land]) {
            m_index[kind] = m_index[Land];
            m_data[kind] = m_data[Land];
        } else {
            m_index[kind] = std::make_shared<MappedFile>(mulPath(m_dir, indexFileName(kind)));
            m_data[kind] = std::make_shared<ArtDataFile>(m_dir, kind);
        }
        listPair(kind);
    }
    m_tiles = std::make_unique<MappedFile>(mulPath(m_dir, kTileDataName));
    m_tileLayout = tileLayoutForSize(m_tiles->size());
    m_anims = std::make_unique<MappedFile>(mulPath(m_dir, kAnimDataName));
}

DirectoryView::~DirectoryView() = default;

void DirectoryView::listPair(int kind)
{
    const MappedFile& index = *m_index[kind];
    if (!index.isOpen()) {
        m_unreadable[kind] = index.errorString();
        return;
    }
    m_damage[kind] = indexDamage(m_dir, kind);
    const qint64 first = indexRecordNumber(kind, 0);
    qint64 count = index.size() / kIndexRecordSize - first;
    if (kind == Land)
        count = std::min<qint64>(count, kLandCount);
    else if (kind == Static)
        count = std::min<qint64>(count, kStaticCount);
    QVector<int>& listed = m_listed[kind];
    listed.reserve(std::max<qint64>(count, 0));
    for (qint64 id = 0; id < count; ++id) {
        // Only the offset tells an empty record, as everywhere else.
        const char* p = index.data() + (first + id) * kIndexRecordSize;
        if (qFromLittleEndian<qint32>(p) != -1)
            listed.append(int(id));
    }
}

void DirectoryView::listPackage(int kind)
{
    PackageKind pk;
    const PackageDirectory* dir = m_packages[kind]->packageDirectory();
    if (!dir || !packageKindOf(kind, &pk)) {
        m_unreadable[kind] = m_packages[kind]->errorString();
        return;
    }
    m_damage[kind] = packageDamage(pk, *dir);
    QVector<int>& listed = m_listed[kind];
    for (const PackageEntry& e : dir->entries) {
        int itemKind = Gump;
        int id = packageIdForHash(pk, e.hash);
        if (id >= 0 && pk == PackageKind::Art && !itemOfArtPackageId(id, &itemKind, &id))
            continue;
        if (id >= 0 && itemKind == kind)
            listed.append(id);
    }
    std::sort(listed.begin(), listed.end());
    listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
}

QString DirectoryView::sideWarning() const
{
    // Recovering it would mean writing there; the files are compared as they are.
    if (m_open && hasPendingSave(m_dir))
        return QStringLiteral("%1 holds a save that was interrupted and not finished (%2): its files may mix old "
                              "and new contents until the editor or qmtool opens it for editing")
            .arg(QDir::toNativeSeparators(m_dir), QLatin1String(kJournalName));
    return QString();
}

QVector<int> DirectoryView::listedIds(int kind) const
{
    return isValidKind(kind) ? m_listed[kind] : QVector<int>();
}

QString DirectoryView::catalogueUnreadable(int kind) const
{
    if (!m_open)
        return m_error;
    if (!isValidKind(kind))
        return QStringLiteral("no such item kind");
    return m_unreadable[kind];
}

QString DirectoryView::catalogueWarning(int kind) const
{
    if (!m_open || !isValidKind(kind) || !m_unreadable[kind].isEmpty())
        return QString();
    QStringList warnings;
    if (!m_damage[kind].isEmpty())
        warnings << m_damage[kind];
    if (hasTileData(kind) && !tileDataWarning().isEmpty())
        warnings << tileDataWarning();
    if (kind == Static && !m_anims->exists())
        warnings << m_anims->errorString();
    return warnings.join(QStringLiteral("; "));
}

QString DirectoryView::tileDataWarning() const
{
    if (!m_tiles->exists())
        return m_tiles->errorString();
    if (m_tileLayout == TileLayout::Unknown)
        return QStringLiteral("%1 has a size neither layout gives (%2 bytes): it is read as classic")
            .arg(kTileDataName)
            .arg(m_tiles->size());
    return QString();
}

bool DirectoryView::pairRecord(int kind, int id, IndexRecord* record, QString* error) const
{
    const MappedFile& index = *m_index[kind];
    if (!index.isOpen()) {
        *error = index.errorString();
        return false;
    }
    const qint64 number = indexRecordNumber(kind, id);
    if (number < 0 || (number + 1) * kIndexRecordSize > index.size()) {
        *record = IndexRecord();
        return true;
    }
    const QByteArray bytes = QByteArray::fromRawData(index.data() + number * kIndexRecordSize, kIndexRecordSize);
    *record = indexRecordAt(bytes, 0);
    if (record->isEmpty())
        return true;
    const ArtDataFile& data = *m_data[kind];
    if (!data.isOpen()) {
        *error = QStringLiteral("%1 cannot be read: %2").arg(dataFileName(kind), data.errorString());
        return false;
    }
    if (record->offset < 0 || record->length < 0) {
        *error = QStringLiteral("its record in %1 is damaged (offset %2, length %3)")
                     .arg(indexFileName(kind))
                     .arg(record->offset)
                     .arg(record->length);
        return false;
    }
    if (qint64(record->offset) + record->length > data.size()) {
        *error = QStringLiteral("its record lies outside %1 (offset %2, length %3, file size %4)")
                     .arg(dataFileName(kind))
                     .arg(record->offset)
                     .arg(record->length)
                     .arg(data.size());
        return false;
    }
    return true;
}

bool DirectoryView::recordBytes(int kind, int id, QByteArray* bytes, quint32* extra, QString* error) const
{
    *bytes = QByteArray();
    *extra = 0;
    if (!m_open || !isValidKind(kind)) {
        *error = catalogueUnreadable(kind);
        return false;
    }
    if (m_packages[kind]) {
        ItemRecord record;
        if (!m_packages[kind]->read(id, &record, error))
            return false;
        *bytes = record.bytes.isNull() ? QByteArray("") : record.bytes;
        *extra = record.extra;
        return true;
    }
    IndexRecord record;
    if (!pairRecord(kind, id, &record, error))
        return false;
    if (record.isEmpty()) {
        *bytes = QByteArray("");
        return true;
    }
    *bytes = record.length == 0 ? QByteArray("")
                                : QByteArray::fromRawData(m_data[kind]->bytesFrom(record.offset).constData(), record.length);
    *extra = indexedByRecord(kind) ? 0 : record.extra;
    return true;
}

QImage DirectoryView::picture(int kind, int id, QString* error) const
{
    if (!m_open || !isValidKind(kind)) {
        *error = catalogueUnreadable(kind);
        return QImage();
    }
    DecodeReport report;
    QImage image;
    if (m_packages[kind]) {
        image = m_packages[kind]->decode(id, &report, error);
        if (image.isNull() && !error->isEmpty())
            return QImage();
    } else {
        IndexRecord record;
        if (!pairRecord(kind, id, &record, error))
            return QImage();
        // Static and gump records don't state their length to the decoders: they get the
        // rest of the file, as the editor and the game read them.
        // The art file serves land and static alike: decode by the kind asked for, never by
        // the kind the shared file was opened for.
        if (!record.isEmpty()) {
            const QByteArray bytes = m_data[kind]->bytesFrom(record.offset);
            if (!bytes.isEmpty())
                image = decodeRecord(kind, bytes, record.extra, &report);
        }
    }
    if (image.isNull() || !report.complete) {
        *error = image.isNull() ? QStringLiteral("its picture cannot be decoded")
                                : QStringLiteral("its picture is damaged: part of it cannot be decoded");
        return QImage();
    }
    return image;
}

bool DirectoryView::tileRecord(int kind, int id, tile_struct* tile, bool* present, QString* error) const
{
    *tile = tile_struct();
    *present = false;
    int flagsBytes = 0;
    const QByteArray bytes = storedTileRecord(kind, id, &flagsBytes);
    if (!bytes.isEmpty()) {
        *tile = parseTile(kind, bytes.constData(), m_tileLayout);
        *present = true;
        return true;
    }
    if (!m_open || !hasTileData(kind)) {
        *error = m_open ? QStringLiteral("%1 items have no tile data").arg(kindName(kind)) : m_error;
        return false;
    }
    if (!m_tiles->isOpen()) {
        *error = m_tiles->errorString();
        return !m_tiles->exists();
    }
    // A file of a layout's size that ends early simply holds fewer records; one cut to a
    // size no layout gives was damaged, and what it lost cannot be told.
    *error = m_tileLayout == TileLayout::Unknown
        ? QStringLiteral("%1 is cut short (%2 bytes) before its record").arg(kTileDataName).arg(m_tiles->size())
        : QStringLiteral("%1 ends (%2 bytes) before its record").arg(kTileDataName).arg(m_tiles->size());
    return true;
}

QByteArray DirectoryView::storedTileRecord(int kind, int id, int* flagsBytes) const
{
    *flagsBytes = tileFlagsBytes(m_tileLayout);
    if (!m_open || !m_tiles->isOpen())
        return QByteArray();
    const qint64 offset = tileOffset(kind, id, m_tileLayout);
    const int size = tileRecordSize(kind, m_tileLayout);
    if (offset < 0 || size <= 0 || offset + size > m_tiles->size())
        return QByteArray();
    return QByteArray::fromRawData(m_tiles->data() + offset, size);
}

bool DirectoryView::animRecord(int id, QByteArray* bytes, bool* present, QString* error) const
{
    *bytes = QByteArray();
    *present = false;
    if (!m_open) {
        *error = m_error;
        return false;
    }
    const qint64 offset = animOffset(id);
    if (offset < 0) {
        *error = QStringLiteral("static ids run to 0xffff");
        return false;
    }
    if (!m_anims->isOpen()) {
        *error = m_anims->errorString();
        return !m_anims->exists();
    }
    if (offset + kAnimRecordSize <= m_anims->size()) {
        *bytes = QByteArray::fromRawData(m_anims->data() + offset, kAnimRecordSize);
        *present = true;
        return true;
    }
    *error = m_anims->size() % kAnimBlockSize != 0
        ? QStringLiteral("%1 is cut short (%2 bytes) before its record").arg(kAnimDataName).arg(m_anims->size())
        : QStringLiteral("%1 ends (%2 bytes) before its record").arg(kAnimDataName).arg(m_anims->size());
    return true;
}

} // namespace qm
