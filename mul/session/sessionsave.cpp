// Save: the stages into one transaction, then what the session knows after it.
#include "sessionsave.h"

#include "itemsource.h"
#include "savetransaction.h"

#include <QDir>
#include <QSet>

#include <type_traits>

namespace qm {

SessionSave::SessionSave(EditSession& session)
    : m_session(session)
{
}

SessionSave::~SessionSave()
{
    if (m_open)
        m_session.cancelSave();
}

bool SessionSave::begin(QString* error, const EditSession::Reapply& reapply)
{
    m_open = m_session.beginSave(error, reapply);
    return m_open;
}

bool SessionSave::stage(SaveStage stage, QString* error, QStringList* notes)
{
    return m_open && m_session.saveStage(stage, error, notes);
}

bool SessionSave::commit(QString* error)
{
    if (!m_open)
        return false;
    m_open = false;
    return m_session.commitSave(error);
}

QStringList EditSession::staleIndexFiles() const
{
    QStringList stale;
    for (int kind : { int(Land), int(Gump), int(Texture) }) {
        const QString path = mulPath(m_dir, catalogueFileName(kind, m_forms[kind]));
        if (!isReadOnly(ItemKind(kind)) && stampOf(path) != m_stamps[kind])
            stale << QDir::toNativeSeparators(path);
    }
    // hues.mul is written only for hue edits; only then would Save undo another program's.
    const QString huePath = mulPath(m_dir, hueFileName());
    if (!m_hueEdits.isEmpty() && stampOf(huePath) != m_hueStamp)
        stale << QDir::toNativeSeparators(huePath);
    return stale;
}

bool EditSession::save(QString* error, QStringList* notes, const Reapply& reapply)
{
    QString localError;
    if (!error)
        error = &localError;
    SessionSave run(*this);
    if (!run.begin(error, reapply))
        return false;
    for (const SaveStageInfo& stage : saveStages())
        if (!run.stage(stage.stage, error, notes))
            return false;
    return run.commit(error);
}

bool EditSession::beginSave(QString* error, const Reapply& reapply)
{
    if (m_saving) {
        *error = QStringLiteral("A save is running already");
        return false;
    }
    m_saving = std::make_unique<Rewrite>(m_dir);
    if (!m_saving->begin(error)) {
        m_saving.reset();
        return false;
    }
    // Under the lock no other save can change the files any more, so what is checked now
    // still holds when the files are swapped in.
    const QStringList stale = staleIndexFiles();
    if (stale.isEmpty())
        return true;
    if (!reapply) {
        *error = QStringLiteral("%1 was changed by another program after the directory was opened; saving "
                                "now would undo those changes. Nothing was written and your edits are kept "
                                "(reload the directory and apply your edits again, or export them as patches "
                                "and import them after opening it again)")
                     .arg(stale.join(QStringLiteral(", ")));
        m_saving.reset();
        return false;
    }
    // The directory as it is now, then the caller's edit once more on top of it.
    reload();
    if (!reapply(*this, error)) {
        m_saving.reset();
        return false;
    }
    return true;
}

bool EditSession::saveStage(SaveStage stage, QString* error, QStringList* notes)
{
    if (!m_saving) {
        *error = QStringLiteral("No save is running");
        return false;
    }
    switch (stage) {
    case SaveStage::ArtAndTiles:
        if (!isReadOnly(Land) && !m_saving->stageArtPair(listed(Land), listed(Static), m_changes, error, notes))
            return false;
        return m_saving->stageTiles(m_changes, tileDataWritable(), error, notes);
    case SaveStage::Gumps:
    case SaveStage::Textures: {
        const ItemKind kind = stage == SaveStage::Gumps ? Gump : Texture;
        return isReadOnly(kind) || m_saving->stageImages(kind, listed(kind), m_changes, error, notes);
    }
    case SaveStage::AnimData:
        return m_saving->stageAnim(m_changes, error);
    case SaveStage::Hues:
        return m_saving->stageHues(m_hueEdits, m_hueFile.size, error);
    }
    return false;
}

bool EditSession::commitSave(QString* error)
{
    if (!m_saving) {
        *error = QStringLiteral("No save is running");
        return false;
    }
    // What the files hold now is what the history's "as the files hold it" means; read it
    // before the files are replaced.
    const QMap<ItemKey, ItemState> filesBefore = historyFromFiles();
    const QVector<HueEntry> huesBefore = m_hueFile.hues;
    const bool ok = m_saving->commit(error);
    const Rewrite::Written written = m_saving->written();
    m_saving.reset();
    if (!ok)
        return false;
    pinHistoryToFiles(filesBefore);
    for (const auto& step : m_history.steps())
        step->pinHuesTo(huesBefore);
    markSaved();
    forgetWritten(written);
    emit saved();
    return true;
}

void EditSession::cancelSave()
{
    m_saving.reset();
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
    if (written.hues) {
        const QVector<int> edited = editedHues();
        readHues();
        for (int number : edited)
            emit hueChanged(number);
    }
}

} // namespace qm
