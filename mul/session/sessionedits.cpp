// The session's edits, their steps and the undo history.
#include "editsession.h"

namespace qm {

namespace {

QString itemsName(const QString& verb, ItemKind kind, const QVector<int>& ids)
{
    return ids.size() == 1 ? QStringLiteral("%1 %2").arg(verb, itemName(kind, ids.first()))
                           : QStringLiteral("%1 %2 %3 Items").arg(verb).arg(ids.size()).arg(kindName(kind));
}

} // namespace

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
    QMap<int, ItemStep::HueTransition> hues;
    for (auto it = step->huesBefore.cbegin(); it != step->huesBefore.cend(); ++it) {
        const std::optional<HueEntry> after = hueState(it.key());
        if (after != it.value())
            hues.insert(it.key(), { it.value(), after });
    }
    if (items.isEmpty() && hues.isEmpty())
        return;
    QString name = step->name;
    QStringList names = step->names;
    names.removeAll(QString());
    names.removeDuplicates();
    if (name.isEmpty() && names.size() == 1)
        name = names.first();
    if (name.isEmpty() && items.isEmpty())
        name = QStringLiteral("Change %1 Hues").arg(hues.size());
    if (name.isEmpty()) {
        const ItemKey first = items.firstKey();
        name = items.size() == 1 ? QStringLiteral("Edit %1").arg(itemName(first.kind, first.id))
                                 : QStringLiteral("Edit %1 Items").arg(items.size());
    }
    auto pushed = std::make_unique<ItemStep>(name, std::move(items), std::move(hues));
    moveHistory([&] { m_history.push(std::move(pushed)); });
}

void EditSession::abandonStep()
{
    if (!m_pending)
        return;
    const std::unique_ptr<PendingStep> step = std::move(m_pending);
    for (auto it = step->before.cbegin(); it != step->before.cend(); ++it)
        applyState(it.key(), it.value());
    for (auto it = step->huesBefore.cbegin(); it != step->huesBefore.cend(); ++it)
        applyHueState(it.key(), it.value());
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
    for (auto it = step.hues().cbegin(); it != step.hues().cend(); ++it)
        applyHueState(it.key(), forward ? it.value().second : it.value().first);
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

} // namespace qm
