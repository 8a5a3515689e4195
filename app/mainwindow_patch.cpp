// Patch export and import.
#include "mainwindow.h"

#include "dialogs.h"
#include "mylistitem.h"
#include "patchfile.h"
#include "patchtransfer.h"

#include <QHeaderView>
#include <QStatusBar>
#include <QTreeWidget>

using namespace qm;

void mainwindow::fileExport()
{
    QString selectedFilter;
    const QString chosen = Dialogs::get().getSaveFileName(this, tr("Export Item"), QString(),
                                                          tr("QMP (*.qmp);;All Files (*.*)"),
                                                          &selectedFilter);
    const QList<QTreeWidgetItem*> selected = currentList ? currentList->selectedItems()
                                                         : QList<QTreeWidgetItem*>();
    if (selected.isEmpty() || chosen.isEmpty())
        return;

    const QString fileName = patchFileNameForFilter(chosen, selectedFilter);
    PatchItem patch;
    QString error;
    if (!buildPatch(mulDir, changes, currentKind, myListItem::idOf(selected.first()), &patch, &error)
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

    QTreeWidget* list = listForKind(patch.kind);
    const QString label = myListItem::labelFor(id);
    const QList<QTreeWidgetItem*> found =
        list->findItems(label, Qt::MatchFixedString | Qt::MatchCaseSensitive, 0);
    QTreeWidgetItem* item = found.value(0);
    if (!item) {
        freeIds[patch.kind].erase(quint32(id));
        item = new myListItem(list, label);
        list->sortItems(list->sortColumn(), list->header()->sortIndicatorOrder());
    }
    list->clearSelection();
    item->setSelected(true);

    // Through the receiving slots, so that an editor already open on this item shows the
    // imported data instead of keeping stale data that its OK would write back over it.
    QImage image = patch.image;
    rcvImage(patch.kind, id, image);
    if (hasTileData(patch.kind)) {
        tile_struct tile = patchTile(patch);
        rcvTile(patch.kind, id, tile);
    }
    if (patch.kind == Static) {
        anim_st anim = patchAnim(patch);
        updateAnim(id, anim);
    }
}
