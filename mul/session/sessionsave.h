#pragma once

#include "editsession.h"
#include "rewrite.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace qm {

// One Save of a session, stage by stage, so that a window can show each stage's status text
// and repaint between them. All stages go into one transaction: nothing is replaced before
// commit(), and a failure anywhere (or destroying the object first) changes no file and
// leaves the change set and the history as they were.
class SessionSave {
public:
    explicit SessionSave(EditSession& session);
    ~SessionSave();

    // Takes the directory's save lock, then, under it, checks that the lists still describe
    // the index files (see EditSession::save for `reapply`).
    bool begin(QString* error, const EditSession::Reapply& reapply = {});
    // art.mul + artidx.mul (unless that catalogue is read-only) and tiledata.mul. `notes`
    // receives what the user should know about a save that goes through.
    bool stageArt(QString* error, QStringList* notes = nullptr);
    // The gump or texture pair (unless read-only).
    bool stageImages(ItemKind kind, QString* error);
    bool stageAnim(QString* error);
    // Swaps everything in, empties the written maps of the change set, and marks the
    // history saved.
    bool commit(QString* error);

private:
    EditSession& m_session;
    std::unique_ptr<Rewrite> m_rewrite;
};

} // namespace qm
