#include "editsession.h"

#include "artcodec.h"
#include "directoryforms.h"
#include "itemsource.h"
#include "recordsource.h"
#include "savetransaction.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace qm {

namespace {

// Steps kept for Undo; images make a step large, so the oldest go.
constexpr int kUndoLimit = 200;

} // namespace

EditSession::EditSession(QObject* parent)
    : QObject(parent)
    , m_history(kUndoLimit)
    , m_snapshot(std::make_shared<PictureSnapshot>())
{
}

EditSession::~EditSession() = default;

void EditSession::open(const QString& mulDir, OpenReport* report)
{
    OpenReport local;
    if (!report)
        report = &local;
    m_dir = mulDir;
    if (!m_dir.isEmpty() && QFileInfo(m_dir).isDir()
        && !recoverInterruptedSave(m_dir, &report->recovered, &report->recoveryError)) {
        report->recoveryError += QStringLiteral(". The data directory may not match each other until this is "
                                                "resolved; Save refuses to run while the unfinished save remains");
    }
    reload();
    for (int kind : { int(Land), int(Gump), int(Texture) })
        if (isReadOnly(ItemKind(kind)))
            report->catalogueWarnings << m_readOnly[kind];
    if (m_tileState == TileDataState::OtherLayout) {
        report->tileDataWarning = QStringLiteral("tiledata.mul (%1 bytes) has a size that fits neither the classic nor the wide "
                                           "layout. Tile data is shown read-only and Save leaves the file untouched.").arg(m_tileDataSize);
    } else if (m_tileState == TileDataState::Missing
               && QFileInfo::exists(mulPath(m_dir, catalogueFileName(Land, m_forms[Land])))) {
        report->tileDataWarning = QStringLiteral("tiledata.mul is missing in %1. Tile data cannot be shown or saved.")
                                      .arg(QDir::toNativeSeparators(m_dir));
    }
}

// The one way the session comes to serve the directory as its files are: no edits, no
// history, everything read anew.
void EditSession::reload()
{
    m_pending.reset();
    m_changes = ChangeSet();
    m_hueEdits.clear();
    moveHistory([this] { m_history.clear(); });
    readDirectory();
    emit cataloguesReset();
}

void EditSession::readDirectory()
{
    m_catalogues = readCatalogues(m_dir);
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        m_forms[kind] = catalogueForm(m_dir, kind);
        const QString path = mulPath(m_dir, catalogueFileName(kind, m_forms[kind]));
        m_stamps[kind] = stampOf(path);
        QString damage = m_catalogues.damage[kind];
        if (damage.isEmpty() && !catalogueSafeToSave(m_dir, m_catalogues.indexRead[kind], kind, nullptr))
            damage = QStringLiteral("%1 could not be read").arg(QDir::toNativeSeparators(path));
        m_readOnly[kind] = damage.isEmpty() ? QString()
                                            : QStringLiteral("%1, so the %2 catalogue is read-only: its edits are "
                                                             "refused and Save leaves its files as they are.")
                                                  .arg(damage, kindName(kind));
    }
    m_tileState = m_dir.isEmpty() ? TileDataState::Missing : qm::tileDataState(m_dir, &m_tileDataSize);
    m_tileLayout = m_tileState == TileDataState::Missing ? TileLayout::Unknown : tileLayoutForSize(m_tileDataSize);
    readHues();
    openSources();
}

void EditSession::openSources()
{
    for (int kind = 0; kind < kItemKindCount; ++kind)
        m_sources[kind] = m_dir.isEmpty() ? nullptr : std::make_shared<const RecordSource>(m_dir, kind);
    m_storedTiles.reset(m_dir);
    takeSnapshot();
}

void EditSession::takeSnapshot()
{
    auto snapshot = std::make_shared<const PictureSnapshot>(m_sources, m_changes);
    const QMutexLocker lock(&m_snapshotLock);
    m_snapshot = std::move(snapshot);
}

std::shared_ptr<const PictureSnapshot> EditSession::pictureSnapshot() const
{
    const QMutexLocker lock(&m_snapshotLock);
    return m_snapshot;
}

QString EditSession::formsSummary() const
{
    return directoryFormsLine(directoryForms(m_dir, m_catalogues));
}

QString EditSession::tileDataReason() const
{
    switch (m_tileState) {
    case TileDataState::Writable: return QString();
    case TileDataState::Missing: return QStringLiteral("tiledata.mul is missing");
    case TileDataState::OtherLayout:
        return QStringLiteral("tiledata.mul (%1 bytes) has a size that fits neither the classic nor the wide layout").arg(m_tileDataSize);
    }
    return QString();
}

QImage EditSession::image(ItemKind kind, int id) const
{
    if (!isValidKind(kind) || id < 0)
        return QImage();
    const PictureEdit edit = m_changes.picture(kind, id);
    if (edit.isEdit())
        return edit.image;
    if ((kind == Land && id >= kLandCount) || (kind == Static && id >= kStaticCount))
        return QImage();
    return m_sources[kind] ? m_sources[kind]->decode(id) : QImage();
}

tile_struct EditSession::tile(ItemKind kind, int id) const
{
    if (!hasTileData(kind))
        return tile_struct();
    const auto it = m_changes.tiles[kind].constFind(id);
    return it != m_changes.tiles[kind].constEnd() ? *it : m_storedTiles.record(kind, id);
}

QVector<tile_struct> EditSession::tileRecords(ItemKind kind) const
{
    if (!hasTileData(kind))
        return {};
    QVector<tile_struct> records = m_storedTiles.records(kind);
    for (auto it = m_changes.tiles[kind].cbegin(); it != m_changes.tiles[kind].cend(); ++it)
        if (it.key() >= 0 && it.key() < records.size())
            records[it.key()] = it.value();
    return records;
}

QByteArray EditSession::storedTileBytes(ItemKind kind, int id) const
{
    return m_storedTiles.rawRecord(kind, id);
}

bool EditSession::isEdited(ItemKind kind, int id) const
{
    return isValidKind(kind)
        && (m_changes.picture(kind, id).isEdit() || (hasTileData(kind) && m_changes.tiles[kind].contains(id))
            || (kind == Static && m_changes.animEntries.contains(id)));
}

QVector<int> EditSession::editedIds(ItemKind kind) const
{
    if (!isValidKind(kind))
        return {};
    QSet<int> ids(m_changes.emptied[kind]);
    for (auto it = m_changes.images[kind].keyBegin(); it != m_changes.images[kind].keyEnd(); ++it)
        ids.insert(*it);
    if (hasTileData(kind))
        for (auto it = m_changes.tiles[kind].keyBegin(); it != m_changes.tiles[kind].keyEnd(); ++it)
            ids.insert(*it);
    if (kind == Static)
        for (auto it = m_changes.animEntries.keyBegin(); it != m_changes.animEntries.keyEnd(); ++it)
            ids.insert(*it);
    QVector<int> sorted(ids.cbegin(), ids.cend());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

anim_st EditSession::anim(int id) const
{
    return currentAnim(m_dir, m_changes, id);
}

bool EditSession::canEditItem(ItemKind kind, int id, QString* error) const
{
    QString why;
    if (!isValidKind(kind))
        why = QStringLiteral("There is no such catalogue");
    else if (isReadOnly(kind))
        why = m_readOnly[kind];
    else
        why = itemIdRangeError(kind, id);
    if (why.isEmpty())
        return true;
    if (error)
        *error = why;
    return false;
}

bool EditSession::checkImage(ItemKind kind, int id, const QImage& image, QString* error) const
{
    if (!canEditItem(kind, id, error))
        return false;
    QString why;
    if (image.isNull())
        why = QStringLiteral("a picture without pixels is no picture (remove the picture instead)");
    else if (canEncode(kind, image, &why))
        return true;
    if (error)
        *error = QStringLiteral("%1 cannot hold this picture: %2").arg(itemName(kind, id), why);
    return false;
}

// Flag bits past the low 32 have a place only in the wide layout; anywhere else they would
// be dropped without a word when the record is written.
bool EditSession::checkTileFlags(ItemKind kind, int id, const tile_struct& tile, QString* error) const
{
    if (!hasTileData(kind) || tileFlagsFit(tile, m_tileLayout))
        return true;
    if (error)
        *error = QStringLiteral("The flags of %1 (0x%2) need more than the 32 bits that tiledata.mul holds in "
                                "its %3 layout")
                     .arg(itemName(kind, id), QString::number(tile.flags, 16), tileLayoutName(m_tileLayout));
    return false;
}

} // namespace qm
