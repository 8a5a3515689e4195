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
    if (!m_save->begin(&error))
        reportSaveFailure(error);
    void (mainwindow::*const steps[])() = { &mainwindow::saveArt, &mainwindow::saveGump,
                                            &mainwindow::saveTexture, &mainwindow::saveAnimData };
    for (auto step : steps) {
        if (saveFailed)
            break;
        // Between steps the window repaints, so that the status text of each step shows.
        if (step != steps[0])
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 1000);
        (this->*step)();
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

void mainwindow::reportSaveFailure(const QString& error)
{
    saveFailed = true;
    statusBar()->showMessage(tr("Save failed"));
    NormalCursor cursor;
    Dialogs::get().critical(this, tr("Save failed"), error + tr(".\n\nNo file was changed; your unsaved edits are kept."));
}

template <typename Stage>
void mainwindow::runSaveStage(const QString& status, Stage&& stage)
{
    if (!m_save) {
        fileSave();
        return;
    }
    statusBar()->showMessage(status);
    QString error;
    if (!stage(*m_save, &error))
        reportSaveFailure(error);
}

void mainwindow::saveArt()
{
    runSaveStage(tr("Writing art.idx/mul and tiledata.mul"),
                 [this](SessionSave& save, QString* error) { return save.stageArt(error, &m_saveNotes); });
}

void mainwindow::saveGump()
{
    saveImageStep(Gump, tr("Writing gump.idx/mul"));
}

void mainwindow::saveTexture()
{
    saveImageStep(Texture, tr("Writing Textures "));
}

void mainwindow::saveImageStep(ItemKind kind, const QString& status)
{
    runSaveStage(status, [kind](SessionSave& save, QString* error) { return save.stageImages(kind, error); });
}

void mainwindow::saveAnimData()
{
    runSaveStage(tr("Writing animdata.mul"),
                 [](SessionSave& save, QString* error) { return save.stageAnim(error); });
}
