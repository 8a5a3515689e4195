#include "rewrite.h"

#include "indexfile.h"
#include "packagerewrite.h"
#include "pairrewrite.h"
#include "recordpatch.h"
#include "recordsource.h"
#include "savetransaction.h"
#include "tiledata.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace qm {

namespace {

QString missingIndexError(const QString& mulDir, ItemKind kind)
{
    return QStringLiteral("%1 is missing in %2, so the %3 entries cannot be saved")
        .arg(indexFileName(kind), QDir::toNativeSeparators(mulDir), kindName(kind));
}

using Written = Rewrite::Written;

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
        return stageTileRecords(tx, mulDir, changes, size, error);
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

bool stageImages(SaveTransaction& tx, const QString& mulDir, ItemKind kind, const QVector<int>& ids,
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

bool Rewrite::stageImages(ItemKind kind, const QVector<int>& ids, const ChangeSet& changes, QString* error,
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
    return m_tx && stageAnimRecords(*m_tx, m_dir, changes, error);
}

bool Rewrite::stageHues(const QMap<int, HueEntry>& hues, qint64 fileSize, QString* error)
{
    if (!m_tx)
        return false;
    if (hues.isEmpty())
        return true;
    QVector<RecordPatch> patches;
    if (!hueRecordPatches(hues, fileSize, &patches, error)
        || !stagePatchedCopy(*m_tx, m_dir, hueFileName(), fileSize, patches, error))
        return false;
    m_written.hues = true;
    return true;
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

} // namespace qm
