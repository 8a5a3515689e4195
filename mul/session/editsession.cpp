#include "editsession.h"

#include "artcodec.h"
#include "directoryforms.h"
#include "itemsource.h"
#include "recordsource.h"
#include "savetransaction.h"
#include "sessionsave.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <type_traits>

namespace qm {

namespace {

// Steps kept for Undo; images make a step large, so the oldest go.
constexpr int kUndoLimit = 200;

QString itemsName(const QString& verb, ItemKind kind, const QVector<int>& ids)
{
    return ids.size() == 1 ? QStringLiteral("%1 %2").arg(verb, itemName(kind, ids.first()))
                           : QStringLiteral("%1 %2 %3 Items").arg(verb).arg(ids.size()).arg(kindName(kind));
}

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

bool EditSession::setImage(ItemKind kind, int id, const QImage& image, QString* error)
{
    if (!checkImage(kind, id, image, error))
        return false;
    return change({ kind, id }, QStringLiteral("Replace Picture of %1").arg(itemName(kind, id)),
                  [&](ItemState& s) { s.picture = PictureEdit::replaced(image); });
}

bool EditSession::emptyImage(ItemKind kind, int id, QString* error)
{
    if (!canEditItem(kind, id, error))
        return false;
    return change({ kind, id }, QStringLiteral("Remove Picture of %1").arg(itemName(kind, id)),
                  [](ItemState& s) { s.picture = PictureEdit::emptied(); });
}

bool EditSession::setTile(ItemKind kind, int id, const tile_struct& tile, QString* error)
{
    // Kept even where tiledata.mul cannot be written: Save then leaves the file alone, says so
    // and keeps the record, as it does for a patch's tile data.
    const QString why = hasTileData(kind) ? itemIdRangeError(kind, id) : QStringLiteral("%1 has no tile data").arg(itemName(kind, id));
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    if (!checkTileFlags(kind, id, tile, error))
        return false;
    return change({ kind, id }, QStringLiteral("Change Tile Data of %1").arg(itemName(kind, id)),
                  [&](ItemState& s) { s.tile = tile; });
}

bool EditSession::setAnim(int id, const anim_st& anim, QString* error)
{
    const QString why = itemIdRangeError(Static, id);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    return change({ Static, id }, QStringLiteral("Change Animation Data of %1").arg(itemName(Static, id)),
                  [&](ItemState& s) { s.anim = anim; });
}

bool EditSession::insert(ItemKind kind, int id, QString* error)
{
    if (!canEditItem(kind, id, error))
        return false;
    return change({ kind, id }, QStringLiteral("New %1").arg(itemName(kind, id)), [](ItemState& s) { s.listed = true; });
}

bool EditSession::remove(ItemKind kind, const QVector<int>& ids, QString* error)
{
    for (int id : ids)
        if (!canEditItem(kind, id, error))
            return false;
    beginStep(itemsName(QStringLiteral("Delete"), kind, ids));
    for (int id : ids) {
        change({ kind, id }, QString(), [](ItemState& s) {
            s.listed = false;
            s.picture = PictureEdit::stored();
            s.tile.reset();
        });
    }
    endStep();
    return true;
}

bool EditSession::storeItem(ItemKind kind, int id, const PictureEdit& picture, const tile_struct& tile,
                            const anim_st& anim, const QString& stepName, QString* error)
{
    const bool pictureFits = picture.state == PictureEdit::Replaced ? checkImage(kind, id, picture.image, error)
                                                                    : canEditItem(kind, id, error);
    if (!pictureFits || !checkTileFlags(kind, id, tile, error))
        return false;
    return change({ kind, id }, stepName, [&](ItemState& s) {
        s.listed = true;
        s.picture = picture;
        if (hasTileData(kind))
            s.tile = tile;
        if (kind == Static)
            s.anim = anim;
    });
}

void EditSession::beginStep(const QString& name)
{
    if (m_pending) {
        ++m_pending->depth;
        return;
    }
    m_pending = std::make_unique<PendingStep>();
    m_pending->name = name;
}

void EditSession::endStep()
{
    if (!m_pending || --m_pending->depth > 0)
        return;
    const std::unique_ptr<PendingStep> step = std::move(m_pending);
    QMap<ItemKey, ItemStep::Transition> items;
    for (auto it = step->before.cbegin(); it != step->before.cend(); ++it) {
        const ItemState after = stateOf(it.key());
        if (after != it.value())
            items.insert(it.key(), { it.value(), after });
    }
    if (items.isEmpty())
        return;
    QString name = step->name;
    QStringList names = step->names;
    names.removeAll(QString());
    names.removeDuplicates();
    if (name.isEmpty() && names.size() == 1)
        name = names.first();
    if (name.isEmpty()) {
        const ItemKey first = items.firstKey();
        name = items.size() == 1 ? QStringLiteral("Edit %1").arg(itemName(first.kind, first.id))
                                 : QStringLiteral("Edit %1 Items").arg(items.size());
    }
    auto pushed = std::make_unique<ItemStep>(name, std::move(items));
    moveHistory([&] { m_history.push(std::move(pushed)); });
}

void EditSession::abandonStep()
{
    if (!m_pending)
        return;
    const std::unique_ptr<PendingStep> step = std::move(m_pending);
    for (auto it = step->before.cbegin(); it != step->before.cend(); ++it)
        applyState(it.key(), it.value());
    takeSnapshot();
}

QString EditSession::undoText() const
{
    const ItemStep* step = m_history.stepToUndo();
    return step ? step->text() : QString();
}

QString EditSession::redoText() const
{
    const ItemStep* step = m_history.stepToRedo();
    return step ? step->text() : QString();
}

void EditSession::undo()
{
    // An open step is the caller's to end first; moving under it would tear it.
    if (m_pending || !m_history.canUndo())
        return;
    moveHistory([this] {
        applyStep(*m_history.stepToUndo(), false);
        m_history.moveBack();
    });
}

void EditSession::redo()
{
    if (m_pending || !m_history.canRedo())
        return;
    moveHistory([this] {
        applyStep(*m_history.stepToRedo(), true);
        m_history.moveForward();
    });
}

void EditSession::applyStep(const ItemStep& step, bool forward)
{
    const auto& items = step.items();
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        applyState(it.key(), forward ? it.value().second : it.value().first);
}

void EditSession::moveHistory(const std::function<void()>& move)
{
    const bool wasModified = isModified();
    move();
    if (!m_pending)
        takeSnapshot();
    emit historyChanged();
    if (isModified() != wasModified)
        emit modifiedChanged(isModified());
}

bool EditSession::change(const ItemKey& key, const QString& name, const std::function<void(ItemState&)>& edit)
{
    beginStep();
    m_pending->names << name;
    if (!m_pending->before.contains(key))
        m_pending->before.insert(key, stateOf(key));
    ItemState state = stateOf(key);
    edit(state);
    applyState(key, state);
    endStep();
    return true;
}

ItemState EditSession::stateOf(const ItemKey& key) const
{
    ItemState s;
    s.listed = isListed(key.kind, key.id);
    s.picture = m_changes.picture(key.kind, key.id);
    if (hasTileData(key.kind)) {
        const auto tile = m_changes.tiles[key.kind].constFind(key.id);
        if (tile != m_changes.tiles[key.kind].constEnd())
            s.tile = *tile;
    }
    if (key.kind == Static) {
        const auto anim = m_changes.animEntries.constFind(key.id);
        if (anim != m_changes.animEntries.constEnd())
            s.anim = *anim;
    }
    return s;
}

void EditSession::applyState(const ItemKey& key, const ItemState& state)
{
    const ItemState old = stateOf(key);
    m_changes.setPicture(key.kind, key.id, state.picture);
    if (hasTileData(key.kind)) {
        if (state.tile)
            m_changes.tiles[key.kind].insert(key.id, *state.tile);
        else
            m_changes.tiles[key.kind].remove(key.id);
    }
    if (key.kind == Static) {
        if (state.anim)
            m_changes.animEntries.insert(key.id, *state.anim);
        else
            m_changes.animEntries.remove(key.id);
    }
    if (state.listed != old.listed) {
        if (state.listed) {
            m_catalogues.list(key.kind, key.id);
            emit itemListed(key.kind, key.id);
        } else {
            m_catalogues.unlist(key.kind, key.id);
            emit itemUnlisted(key.kind, key.id);
        }
    }
    const int parts = (old.picture != state.picture ? ImagePart : 0) | (old.tile != state.tile ? TilePart : 0)
        | (old.anim != state.anim ? AnimPart : 0);
    if (parts)
        emit itemChanged(key.kind, key.id, parts);
}

QStringList EditSession::staleIndexFiles() const
{
    QStringList stale;
    for (int kind : { int(Land), int(Gump), int(Texture) }) {
        const QString path = mulPath(m_dir, catalogueFileName(kind, m_forms[kind]));
        if (!isReadOnly(ItemKind(kind)) && stampOf(path) != m_stamps[kind])
            stale << QDir::toNativeSeparators(path);
    }
    return stale;
}

bool EditSession::save(QString* error, QStringList* notes, const Reapply& reapply)
{
    QString localError;
    if (!error)
        error = &localError;
    SessionSave run(*this);
    return run.begin(error, reapply) && run.stageArt(error, notes) && run.stageImages(Gump, error)
        && run.stageImages(Texture, error) && run.stageAnim(error) && run.commit(error);
}

QMap<ItemKey, ItemState> EditSession::historyFromFiles() const
{
    QMap<ItemKey, ItemState> files;
    for (const auto& step : m_history.steps()) {
        for (auto it = step->items().keyBegin(); it != step->items().keyEnd(); ++it) {
            const ItemKey& key = *it;
            if (files.contains(key))
                continue;
            ItemState s;
            s.picture = PictureEdit::holding(readImageFromFiles(m_dir, key.kind, key.id));
            if (hasTileData(key.kind))
                s.tile = currentTile(m_dir, ChangeSet(), key.kind, key.id);
            if (key.kind == Static)
                s.anim = currentAnim(m_dir, ChangeSet(), key.id);
            files.insert(key, s);
        }
    }
    return files;
}

void EditSession::pinHistoryToFiles(const QMap<ItemKey, ItemState>& filesBefore)
{
    for (const auto& step : m_history.steps())
        step->pinTo(filesBefore);
}

void EditSession::markSaved()
{
    for (int kind = 0; kind < kItemKindCount; ++kind)
        m_stamps[kind] = stampOf(mulPath(m_dir, catalogueFileName(kind, m_forms[kind])));
    moveHistory([this] { m_history.setClean(); });
}

void EditSession::forgetWritten(const Rewrite::Written& written)
{
    QMap<ItemKey, int> parts;
    const auto take = [&](ItemKind kind, int part, auto& edits) {
        if constexpr (std::is_same_v<std::decay_t<decltype(edits)>, QSet<int>>) {
            for (int id : edits)
                parts[{ kind, id }] |= part;
        } else {
            for (auto it = edits.keyBegin(); it != edits.keyEnd(); ++it)
                parts[{ kind, *it }] |= part;
        }
        edits.clear();
    };
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        const bool art = kind == Land || kind == Static;
        if (art ? written.artImages : written.images[kind]) {
            take(ItemKind(kind), ImagePart, m_changes.images[kind]);
            take(ItemKind(kind), ImagePart, m_changes.emptied[kind]);
        }
    }
    if (written.tiles) {
        take(Land, TilePart, m_changes.tiles[Land]);
        take(Static, TilePart, m_changes.tiles[Static]);
    }
    // The files changed under the sources: what they serve now is read from the new ones.
    openSources();
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        emit itemChanged(it.key().kind, it.key().id, it.value());
}

} // namespace qm
