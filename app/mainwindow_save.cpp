// The Save command: writing the change set into the game's files, and making sure a data
// directory is whole before it is read.
#include "mainwindow.h"

#include "dialogs.h"
#include "indexfile.h"
#include "rewrite.h"
#include "savetransaction.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
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

// Each step replaces its files only when all of them are written; a failed step leaves its
// files and its part of the change set as they were, and the steps after it are not run.
void mainwindow::fileSave()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    saveFailed = false;
    void (mainwindow::*const steps[])() = { &mainwindow::saveArt, &mainwindow::saveGump,
                                            &mainwindow::saveTexture, &mainwindow::saveAnimData };
    for (auto step : steps) {
        // Between steps the window repaints, so that the status text of each step shows.
        if (step != steps[0])
            QApplication::processEvents(QEventLoop::AllEvents, 1000);
        (this->*step)();
        if (saveFailed)
            break;
    }
    QApplication::restoreOverrideCursor();
}

void mainwindow::reportSaveFailure(const QString& error)
{
    saveFailed = true;
    statusBar()->showMessage(tr("Save failed"));
    NormalCursor cursor;
    Dialogs::get().critical(this, tr("Save failed"), error + tr(".\n\nYour unsaved edits are kept."));
}

void mainwindow::saveArt()
{
    statusBar()->showMessage(tr("Writing art.idx/mul and tiledata.mul"));
    QString error;
    QStringList notes;
    if (!listsStillCurrent(Land, &error)) {
        reportSaveFailure(error);
        return;
    }
    if (!saveArtFiles(mulDir, listedIds(Land), listedIds(Static), changes, tileDataWritable, &error, &notes)) {
        reportSaveFailure(error);
        return;
    }
    indexStamp[Land] = indexStamp[Static] = stampOf(mulPath(mulDir, indexFileName(Land)));
    if (!notes.isEmpty()) {
        NormalCursor cursor;
        Dialogs::get().warning(this, tr("Tile data not saved"), notes.join(QLatin1Char('\n')));
    }
    statusBar()->showMessage(tr("Ready"));
}

void mainwindow::saveGump()
{
    saveImageStep(Gump, tr("Writing gump.idx/mul"));
}

void mainwindow::saveTexture()
{
    saveImageStep(Texture, tr("Writing Textures "));
}

void mainwindow::saveImageStep(int kind, const QString& status)
{
    statusBar()->showMessage(status);
    QString error;
    if (!listsStillCurrent(kind, &error)) {
        reportSaveFailure(error);
        return;
    }
    if (!saveImageFiles(mulDir, kind, listedIds(kind), changes, &error)) {
        reportSaveFailure(error);
        return;
    }
    indexStamp[kind] = stampOf(mulPath(mulDir, indexFileName(kind)));
    statusBar()->showMessage(tr("Ready"));
}

// Save writes every unlisted entry as deleted, so the lists must still describe the index
// file: not empty merely because it could not be read, and not outdated by another program.
bool mainwindow::listsStillCurrent(int kind, QString* error) const
{
    if (!catalogueSafeToSave(mulDir, catalogueRead[kind], kind, error))
        return false;
    const QString path = mulPath(mulDir, indexFileName(kind));
    if (stampOf(path) == indexStamp[kind])
        return true;
    *error = tr("%1 was changed by another program after the directory was opened; saving "
                "would undo those changes. Open the directory again (restart the program) "
                "before saving").arg(QDir::toNativeSeparators(path));
    return false;
}

void mainwindow::saveAnimData()
{
    QString error;
    if (!saveAnimFile(mulDir, changes, &error))
        reportSaveFailure(error);
}

void mainwindow::checkDataDirectory()
{
    tileDataWritable = false;
    if (mulDir.isEmpty() || !QFileInfo(mulDir).isDir())
        return;

    QStringList report;
    QString error;
    if (!recoverInterruptedSave(mulDir, &report, &error)) {
        statusBar()->showMessage(tr("The data directory holds an unfinished save"));
        Dialogs::get().critical(this, tr("Interrupted save"),
                                error + tr(".\n\nThe data files may not match each other until this is "
                                           "resolved; Save refuses to run while the unfinished save remains."));
    } else if (!report.isEmpty()) {
        statusBar()->showMessage(report.join(QLatin1Char(' ')));
        Dialogs::get().information(this, tr("Interrupted save"), report.join(QLatin1Char('\n')));
    }

    qint64 size = -1;
    const TileDataState state = tileDataState(mulDir, &size);
    tileDataWritable = state == TileDataState::Writable;
    if (state == TileDataState::OtherLayout) {
        Dialogs::get().warning(this, tr("Tile data"),
                               tr("tiledata.mul (%1 bytes) has a layout this program cannot read or write, "
                                  "such as that of newer clients. Tile data is shown read-only and Save "
                                  "leaves the file untouched.").arg(size));
    } else if (state == TileDataState::Missing
               && QFileInfo::exists(mulPath(mulDir, indexFileName(Land)))) {
        Dialogs::get().warning(this, tr("Tile data"),
                               tr("tiledata.mul is missing in %1. Tile data cannot be shown or saved.")
                                   .arg(QDir::toNativeSeparators(mulDir)));
    }
}
