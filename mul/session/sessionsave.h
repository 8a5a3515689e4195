#pragma once

#include "editsession.h"
#include "savestages.h"

#include <QString>
#include <QStringList>

namespace qm {

// One Save of a session, stage by stage (see saveStages()), so that a window can show each
// stage's status text and repaint between them. All stages go into one transaction: nothing
// is replaced before commit(), and a failure anywhere (or destroying the object first)
// changes no file and leaves the change set and the history as they were.
class SessionSave {
public:
    explicit SessionSave(EditSession& session);
    ~SessionSave();
    SessionSave(const SessionSave&) = delete;
    SessionSave& operator=(const SessionSave&) = delete;

    // Takes the directory's save lock, then, under it, checks that the lists still describe
    // the index files (see EditSession::save for `reapply`).
    bool begin(QString* error, const EditSession::Reapply& reapply = {});
    // `notes` receives what the user should know about a save that goes through.
    bool stage(SaveStage stage, QString* error, QStringList* notes = nullptr);
    // Swaps everything in; the session then announces what was written.
    bool commit(QString* error);

private:
    EditSession& m_session;
    bool m_open = false;
};

} // namespace qm
