#include "savecommand.h"

#include "dialogs.h"
#include "editsession.h"
#include "sessionsave.h"

#include <QApplication>

using namespace qm;

namespace {

// Message boxes want the normal pointer even while Save shows the wait cursor.
class NormalCursor {
public:
    NormalCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

SaveCommand::SaveCommand(EditSession& session, QWidget* dialogParent, ShowStatus status, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_dialogParent(dialogParent)
    , m_status(std::move(status))
{
}

SaveCommand::~SaveCommand() = default;

// The stages write into one transaction: only when all of them are written is any file
// replaced, and a failed stage leaves every file and the whole change set as they were.
void SaveCommand::run(const RunStage& runStage)
{
    if (m_save)
        return;   // a Save is running already (a stage's pause let this one in)
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A second try only after a reload, which leaves the session with the directory as it is
    // now; should yet another program save in between, the next Save asks again.
    if (attempt(runStage))
        attempt(runStage);
    QApplication::restoreOverrideCursor();
}

bool SaveCommand::attempt(const RunStage& runStage)
{
    m_failed = false;
    m_notes.clear();
    m_save = std::make_unique<SessionSave>(m_session);
    QString error;
    if (!m_save->begin(&error)) {
        m_save.reset();
        if (!m_session.staleIndexFiles().isEmpty())
            return offerReload(error);
        reportFailure(error);
        return false;
    }
    const QVector<SaveStageInfo>& stages = saveStages();
    for (int i = 0; i < stages.size() && !m_failed; ++i) {
        // Between stages the window repaints, so that the status text of each shows.
        if (i > 0)
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 1000);
        runStage(stages[i].stage);
    }
    if (!m_failed) {
        if (m_save->commit(&error)) {
            m_status(tr("Ready"));
            if (!m_notes.isEmpty()) {
                NormalCursor cursor;
                Dialogs::get().warning(m_dialogParent, tr("Tile data not saved"), m_notes.join(QLatin1Char('\n')));
            }
        } else {
            reportFailure(error);
        }
    }
    m_save.reset();
    return false;
}

void SaveCommand::stage(SaveStage stage)
{
    if (!m_save) {
        run([this](SaveStage s) { this->stage(s); });
        return;
    }
    m_status(saveStageStatus(stage));
    QString error;
    if (!m_save->stage(stage, &error, &m_notes))
        reportFailure(error);
}

bool SaveCommand::offerReload(const QString& error)
{
    m_failed = true;
    m_status(tr("Save failed"));
    NormalCursor cursor;
    const int choice = Dialogs::get().choose(
        m_dialogParent, tr("Save failed"),
        error + tr(".\n\nNo file was changed; your unsaved edits are kept.\n\nReload and apply my edits again: "
                   "the directory is read anew as the other program left it, and your unsaved edits are made once "
                   "more on top of it."),
        { tr("Reload and apply my edits again") });
    if (choice != 0)
        return false;
    EditSession::ReplayReport report;
    QString why;
    if (!m_session.reloadAndReplay(&report, &why)) {
        reportFailure(why);
        return false;
    }
    if (!report.refused.isEmpty())
        Dialogs::get().warning(m_dialogParent, tr("Edits not applied again"),
                               tr("These edits do not fit the directory as the other program left it and were "
                                  "left out:\n%1")
                                   .arg(report.refused.join(QLatin1Char('\n'))));
    return true;
}

void SaveCommand::reportFailure(const QString& error)
{
    m_failed = true;
    m_status(tr("Save failed"));
    NormalCursor cursor;
    Dialogs::get().critical(m_dialogParent, tr("Save failed"),
                            error + tr(".\n\nNo file was changed; your unsaved edits are kept."));
}
