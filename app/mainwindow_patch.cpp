// Patch export and import.
#include "mainwindow.h"

#include "cataloguepane.h"
#include "dialogs.h"
#include "mylistitem.h"
#include "patchfile.h"
#include "patchtransfer.h"

#include <QStatusBar>
#include <QTreeWidget>

using namespace qm;

void mainwindow::fileExport()
{
    QString selectedFilter;
    const QString chosen = Dialogs::get().getSaveFileName(this, tr("Export Item"), QString(),
                                                          tr("QMP (*.qmp);;All Files (*.*)"),
                                                          &selectedFilter);
    const QVector<int> selected = currentPane() ? currentPane()->selectedIds() : QVector<int>();
    if (selected.isEmpty() || chosen.isEmpty())
        return;

    const QString fileName = patchFileNameForFilter(chosen, selectedFilter);
    PatchItem patch;
    QString error;
    if (!buildPatch(*session, ItemKind(currentKind), selected.first(), &patch, &error)
        || !writePatchFile(fileName, patch, &error))
        Dialogs::get().critical(this, tr("Export Item"), error);
}

void mainwindow::fileImport()
{
    const QString fileName = Dialogs::get().getOpenFileName(this, tr("File to import"), QString(),
                                                            tr("QMP (*.qmp);;All Files (*.*)"),
                                                            nullptr);
    if (fileName.isEmpty())
        return;

    // The whole file is read and checked before anything is asked or changed.
    PatchItem patch;
    QString error;
    if (!readPatchFile(fileName, &patch, &error)) {
        statusBar()->showMessage(error);
        return;
    }
    if (const QString refusal = patchImportRefusal(mulDir, patch); !refusal.isEmpty()) {
        statusBar()->showMessage(refusal);
        return;
    }

    bool ok = false;
    const QString answer = Dialogs::get().getText(this, patchIdCaption(patch.kind),
                                                  tr("Enter id (null id to create one)"),
                                                  QString::number(patch.id), &ok);
    if (!ok)
        return;
    const PatchIdAnswer chosen = resolvePatchId(answer, patch.kind, freeIds[patch.kind]);
    if (chosen.status == PatchIdAnswer::NotANumber)
        return;
    if (chosen.status != PatchIdAnswer::Ok) {
        statusBar()->showMessage(chosen.message);
        return;
    }
    const int id = chosen.id;
    if (!importPatch(*session, patch, id, &error)) {
        statusBar()->showMessage(error);
        return;
    }
    // The session's signals have listed the item and shown the imported data in any editor
    // already open on it, so that its OK cannot write stale data back over it.
    paneForKind(patch.kind)->selectOnly(id);
}
