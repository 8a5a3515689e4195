#pragma once

#include "savestages.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace qm {
class EditSession;
class SessionSave;
}

// The Save command: the session's one transaction stage by stage, a status text for each
// and a repaint between them, then what the user must know about it (a failure, tile data
// left unsaved). A failed stage writes nothing and keeps every edit. When another program
// saved into the directory meanwhile, it offers to read the directory again and apply the
// unsaved edits on top of what that program wrote, and then saves.
class SaveCommand : public QObject {
    Q_OBJECT

public:
    using ShowStatus = std::function<void(const QString&)>;
    using RunStage = std::function<void(qm::SaveStage)>;

    SaveCommand(qm::EditSession& session, QWidget* dialogParent, ShowStatus status, QObject* parent = nullptr);
    ~SaveCommand() override;

    // The whole Save, each stage through `runStage` (the window's own stage slots).
    void run(const RunStage& runStage);
    // One stage of the Save running; outside a Save the whole Save runs instead, since a part
    // of the change set cannot be written alone without breaking the all-or-nothing promise.
    void stage(qm::SaveStage stage);
    // Whether the last Save failed (and wrote nothing).
    bool failed() const { return m_failed; }

private:
    // One try: true when it ended in a reload of the directory and Save should run again.
    bool attempt(const RunStage& runStage);
    // Save found the directory changed by another program: offers to read it anew and apply
    // the unsaved edits again on top. True when that was done.
    bool offerReload(const QString& error);
    void reportFailure(const QString& error);

    qm::EditSession& m_session;
    QWidget* m_dialogParent;
    ShowStatus m_status;
    std::unique_ptr<qm::SessionSave> m_save;
    QStringList m_notes;
    bool m_failed = false;
};
