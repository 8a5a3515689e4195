// Reload and apply my edits again: the directory read anew, the unsaved steps on top.
#include "editsession.h"

namespace qm {

namespace {

// A step copied out of the history, which the reload empties.
struct Replay {
    QString name;
    QMap<ItemKey, QPair<ItemState, ItemState>> items;   // before, after
    QMap<int, std::optional<HueEntry>> hues;             // after
};

} // namespace

bool EditSession::reloadAndReplay(ReplayReport* report, QString* error)
{
    ReplayReport local;
    if (!report)
        report = &local;
    *report = ReplayReport();
    if (m_pending || m_saving) {
        *error = QStringLiteral("The directory cannot be read again while an edit or a save is under way");
        return false;
    }
    std::vector<SessionHistory::Move> path;
    if (!m_history.pathFromClean(&path)) {
        *error = QStringLiteral("The history no longer reaches back to the last save, so your edits cannot be "
                                "applied again one by one; nothing was changed (export them as patches instead)");
        return false;
    }
    QVector<Replay> replays;
    for (const SessionHistory::Move& move : path) {
        Replay replay { move.forward ? move.step->text() : QStringLiteral("Undo %1").arg(move.step->text()), {}, {} };
        const auto& items = move.step->items();
        for (auto it = items.cbegin(); it != items.cend(); ++it)
            replay.items.insert(it.key(), move.forward ? it.value() : qMakePair(it.value().second, it.value().first));
        for (auto it = move.step->hues().cbegin(); it != move.step->hues().cend(); ++it)
            replay.hues.insert(it.key(), move.forward ? it.value().second : it.value().first);
        replays << replay;
    }

    reload();
    for (const Replay& replay : replays) {
        beginStep(replay.name);
        QString why;
        bool ok = true;
        for (auto it = replay.items.cbegin(); ok && it != replay.items.cend(); ++it)
            ok = replayItem(it.key(), it.value().first, it.value().second, &why);
        for (auto it = replay.hues.cbegin(); ok && it != replay.hues.cend(); ++it) {
            const HueEntry* stored = m_hueFile.hue(it.key());
            ok = setHue(it.key(), it.value() ? *it.value() : stored ? *stored : HueEntry(), &why);
        }
        if (ok) {
            endStep();
            report->replayed << replay.name;
        } else {
            abandonStep();
            report->refused << QStringLiteral("%1: %2").arg(replay.name, why);
        }
    }
    return true;
}

bool EditSession::replayItem(const ItemKey& key, const ItemState& before, const ItemState& after, QString* why)
{
    const ItemState now = stateOf(key);
    const QString name = itemName(key.kind, key.id);
    if (!before.listed && after.listed && now.listed) {
        *why = QStringLiteral("%1 was listed by another program").arg(name);
        return false;
    }
    if (before.listed && !now.listed) {
        *why = QStringLiteral("%1 was deleted by another program").arg(name);
        return false;
    }
    const bool lists = before.listed != after.listed;
    const bool pictures = before.picture != after.picture;
    const bool tiles = before.tile != after.tile;
    const bool anims = before.anim != after.anim;
    if (pictures && after.picture.state == PictureEdit::Replaced) {
        if (!checkImage(key.kind, key.id, after.picture.image, why))
            return false;
    } else if ((lists || pictures) && !canEditItem(key.kind, key.id, why)) {
        return false;
    }
    if (tiles && after.tile && !checkTileFlags(key.kind, key.id, *after.tile, why))
        return false;
    return change(key, QString(), [&](ItemState& s) {
        if (lists)
            s.listed = after.listed;
        if (pictures)
            s.picture = after.picture;
        if (tiles)
            s.tile = after.tile;
        if (anims)
            s.anim = after.anim;
    });
}

} // namespace qm
