// The Save command: the session's one transaction, stage by stage with a status text each.
#include "mainwindow.h"

#include "dialogs.h"
#include "sessionsave.h"

#include <QApplication>
#include <QStatusBar>

using namespace qm;

namespace {

// Message boxes want the normal pointer even while Save shows the wait cursor.
class NormalCursor {
public:
    NormalCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

// The stages write into one transaction: only when all of them are written is any file
// replaced, and a failed stage leaves every file and the whole change set as they were.
void mainwindow::fileSave()
{
    if (m_save)
        return;   // a Save is running already (a stage's pause let this one in)
    QApplication::setOverrideCursor(Qt::WaitCursor);
    saveFailed = false;
    m_saveNotes.clear();
    m_save = std::make_unique<SessionSave>(*session);
    QString error;
    if (!m_save->begin(&error)) {
        m_save.reset();
        QApplication::restoreOverrideCursor();
        if (!session->staleIndexFiles().isEmpty() && offerReloadAndReplay(error))
            fileSave();
        else
            reportSaveFailure(error);
        return;
    }
    const QVector<SaveStageInfo>& stages = saveStages();
    for (int i = 0; i < stages.size() && !saveFailed; ++i) {
        // Between stages the window repaints, so that the status text of each shows.
        if (i > 0)
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 1000);
        runSaveStage(stages[i].stage);
    }
    if (!saveFailed) {
        if (m_save->commit(&error)) {
            refreshEditedItems();
            statusBar()->showMessage(tr("Ready"));
            if (!m_saveNotes.isEmpty()) {
                NormalCursor cursor;
                Dialogs::get().warning(this, tr("Tile data not saved"), m_saveNotes.join(QLatin1Char('\n')));
            }
        } else {
            reportSaveFailure(error);
        }
    }
    m_save.reset();
    QApplication::restoreOverrideCursor();
}

bool mainwindow::offerReloadAndReplay(const QString& refusal)
{
    const QString title = tr("Save refused");
    const auto answer = Dialogs::get().question(
        this, title,
        refusal + tr(".\n\nReload and apply my edits again? The directory is read anew and your unsaved edits "
                     "are made once more on top of what the other program saved."),
        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Yes)
        return false;
    EditSession::ReplayReport report;
    QString error;
    if (!session->reloadAndReplay(&report, &error)) {
        reportSaveFailure(error);
        return false;
    }
    if (!report.refused.isEmpty())
        Dialogs::get().warning(this, title,
                               tr("These edits could not be applied again and were left out:\n%1")
                                   .arg(report.refused.join(QLatin1Char('\n'))));
    return true;
}

void mainwindow::reportSaveFailure(const QString& error)
{
    saveFailed = true;
    statusBar()->showMessage(tr("Save failed"));
    NormalCursor cursor;
    Dialogs::get().critical(this, tr("Save failed"), error + tr(".\n\nNo file was changed; your unsaved edits are kept."));
}

void mainwindow::runSaveStage(SaveStage stage)
{
    if (!m_save) {
        fileSave();
        return;
    }
    statusBar()->showMessage(saveStageStatus(stage));
    QString error;
    if (!m_save->stage(stage, &error, &m_saveNotes))
        reportSaveFailure(error);
}

// Each stage is also a command of its own.
void mainwindow::saveArt()
{
    runSaveStage(SaveStage::ArtAndTiles);
}

void mainwindow::saveGump()
{
    runSaveStage(SaveStage::Gumps);
}

void mainwindow::saveTexture()
{
    runSaveStage(SaveStage::Textures);
}

void mainwindow::saveAnimData()
{
    runSaveStage(SaveStage::AnimData);
}
