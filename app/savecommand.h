#pragma once

#include "itemkind.h"

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
// left unsaved). A failed stage writes nothing and keeps every edit.
class SaveCommand : public QObject {
    Q_OBJECT

public:
    enum Stage { ArtStage, GumpStage, TextureStage, AnimStage };
    using ShowStatus = std::function<void(const QString&)>;

    SaveCommand(qm::EditSession& session, QWidget* dialogParent, ShowStatus status, QObject* parent = nullptr);
    ~SaveCommand() override;

    // The whole Save, each stage through `runStage` (the window's own stage slots).
    void run(const std::function<void(Stage)>& runStage);
    // One stage of the Save running; outside a Save the whole Save runs instead, since a part
    // of the change set cannot be written alone without breaking the all-or-nothing promise.
    void stage(Stage stage);
    // Whether the last Save failed (and wrote nothing).
    bool failed() const { return m_failed; }

private:
    // One try.
    bool attempt(const std::function<void(Stage)>& runStage);
    void reportFailure(const QString& error);

    qm::EditSession& m_session;
    QWidget* m_dialogParent;
    ShowStatus m_status;
    std::unique_ptr<qm::SessionSave> m_save;
    std::function<void(Stage)> m_runStage;
    QStringList m_notes;
    bool m_failed = false;
};
