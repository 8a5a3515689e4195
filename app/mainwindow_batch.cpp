// Pictures in and out of a catalogue many at a time: a picture file dropped onto a list row,
// and folders of PNG files named by kind and id, written from or read into the session.
#include "mainwindow.h"

#include "artcodec.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "cataloguepane.h"
#include "dialogs.h"
#include "imagebatchexport.h"
#include "imagebatchimport.h"
#include "imagebatchnames.h"
#include "imagefiles.h"
#include "imageimport.h"
#include "itemkind.h"
#include "mylistitem.h"
#include "picturedrop.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTreeWidget>

#include <algorithm>

using namespace qm;

namespace {

// A message box listing thousands of files helps nobody: the first ones and a count.
constexpr int kListedFailures = 20;

QString failureList(const QVector<BatchItemFailure>& failures)
{
    QStringList lines;
    for (int i = 0; i < failures.size() && i < kListedFailures; ++i)
        lines << QStringLiteral("%1: %2").arg(failures[i].fileName, failures[i].reason);
    if (failures.size() > kListedFailures)
        lines << QObject::tr("... and %1 more").arg(failures.size() - kListedFailures);
    return lines.join(QLatin1Char('\n'));
}

// Progress of a batch in a cancellable dialog, shown only when the batch takes a while.
class BatchProgressDialog {
public:
    BatchProgressDialog(QWidget* parent, const QString& label)
        : m_dialog(label, QObject::tr("Cancel"), 0, 0, parent)
    {
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
    }

    BatchProgress callback()
    {
        return [this](int done, int total) {
            m_dialog.setMaximum(total);
            m_dialog.setValue(done);
            return !m_dialog.wasCanceled();
        };
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

void mainwindow::setUpPictureBatches()
{
    exportPicturesAction = new QAction(tr("Export Pictures..."), this);
    exportPicturesAction->setObjectName(QStringLiteral("exportPicturesAction"));
    importPicturesAction = new QAction(tr("Import Pictures..."), this);
    importPicturesAction->setObjectName(QStringLiteral("importPicturesAction"));
    connect(exportPicturesAction, &QAction::triggered, this, &mainwindow::exportPictures);
    connect(importPicturesAction, &QAction::triggered, this, &mainwindow::importPictures);
    // Beside the one-item Import and Export, in the File menu and the list's menu.
    for (QMenu* menu : { fileMenu, itemMenu }) {
        const QList<QAction*> actions = menu->actions();
        const int at = int(actions.indexOf(popExport)) + 1;
        QAction* before = at > 0 && at < actions.size() ? actions[at] : nullptr;
        menu->insertActions(before, { exportPicturesAction, importPicturesAction });
    }
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        auto* target = new PictureDropTarget(listForKind(kind), kind);
        connect(target, &PictureDropTarget::pictureDropped, this, &mainwindow::dropPicture);
        connect(paneForKind(kind)->grid()->view(), &CatalogueGridView::pictureDropped, this,
                &mainwindow::dropPicture);
    }
}

void mainwindow::dropPicture(int kind, int id, const QString& path)
{
    if (!isValidKind(kind))
        return;
    const QString title = tr("Replace Picture");
    const QString file = QDir::toNativeSeparators(path);
    QString error;
    if (!session->canEditItem(ItemKind(kind), id, &error)) {
        Dialogs::get().warning(this, title, tr("%1 was not used: %2").arg(file, error));
        return;
    }
    const QImage picture = readPicture(path, &error);
    if (picture.isNull()) {
        Dialogs::get().warning(this, title, error);
        return;
    }
    // The rules of the item window's Import: the kind's size, land masked to its diamond,
    // and nothing Save could not write.
    const QImage image = prepareImportedImage(kind, picture);
    if (!canEncode(kind, image, &error)) {
        Dialogs::get().warning(this, title, tr("%1 cannot be used for %2: %3").arg(file, itemName(kind, id), error));
        return;
    }
    if (!session->setImage(ItemKind(kind), id, image, &error)) {
        Dialogs::get().warning(this, title, tr("%1 was not used: %2").arg(file, error));
        return;
    }
    statusBar()->showMessage(tr("Picture of %1 replaced by %2").arg(itemName(kind, id), QFileInfo(path).fileName()));
}

QVector<int> mainwindow::pictureBatchIds() const
{
    // The selected items, else every item the list or grid shows (a filter hides the others).
    CataloguePane* pane = currentPane();
    if (!pane)
        return {};
    const QVector<int> selected = pane->selectedIds();
    return selected.isEmpty() ? pane->model()->shownIds() : selected;
}

void mainwindow::exportPictures()
{
    const ItemKind kind = ItemKind(currentKind);
    const QVector<int> ids = pictureBatchIds();
    const QString title = tr("Export Pictures");
    if (ids.isEmpty()) {
        statusBar()->showMessage(tr("No %1 items to export").arg(kindName(kind).toLower()));
        return;
    }
    const QString folder = Dialogs::get().getExistingDirectory(this, title, m_pictureFolder);
    if (folder.isEmpty())
        return;
    m_pictureFolder = folder;

    ImageExportResult result;
    {
        BatchProgressDialog progress(this, tr("Exporting %1 pictures...").arg(ids.size()));
        result = exportImages(
            kind, ids, folder, [this](ItemKind k, int id) { return session->image(k, id); }, {},
            progress.callback());
    }
    if (!result.error.isEmpty()) {
        Dialogs::get().warning(this, title, result.error);
        return;
    }
    const QString counts = tr("%1 written, %2 skipped, %3 failed")
                               .arg(result.written)
                               .arg(result.emptyIds.size() + result.kept)
                               .arg(result.failures.size());
    statusBar()->showMessage(result.cancelled
                                 ? tr("Export to %1 cancelled: %2").arg(QDir::toNativeSeparators(folder), counts)
                                 : tr("Pictures exported to %1: %2").arg(QDir::toNativeSeparators(folder), counts));
    if (!result.failures.isEmpty())
        Dialogs::get().warning(this, title, tr("These pictures could not be written:\n%1").arg(failureList(result.failures)));
}

void mainwindow::importPictures()
{
    const ItemKind kind = ItemKind(currentKind);
    const QString title = tr("Import Pictures");
    const QString folder = Dialogs::get().getExistingDirectory(this, title, m_pictureFolder);
    if (folder.isEmpty())
        return;
    m_pictureFolder = folder;
    const QString where = QDir::toNativeSeparators(folder);

    ImageImportPlan plan;
    {
        BatchProgressDialog progress(this, tr("Reading pictures in %1...").arg(where));
        plan = planImageImport(kind, folder, 0, progress.callback());
    }
    if (!plan.error.isEmpty()) {
        Dialogs::get().warning(this, title, plan.error);
        return;
    }
    if (plan.cancelled) {
        statusBar()->showMessage(tr("Import cancelled; nothing was changed"));
        return;
    }
    // Items the session would refuse are refused here with the files, so that the step below
    // never stops half-way.
    QString error;
    for (const AcceptedPicture& picture : plan.accepted)
        if (!session->canEditItem(kind, picture.id, &error))
            plan.refused << BatchItemFailure { picture.id, picture.fileName, error };
    if (!plan.refused.isEmpty()) {
        Dialogs::get().warning(this, title,
                               tr("%1 of the pictures in %2 cannot be imported, so none was:\n%3")
                                   .arg(plan.refused.size())
                                   .arg(where, failureList(plan.refused)));
        statusBar()->showMessage(tr("Nothing was imported"));
        return;
    }
    if (plan.accepted.isEmpty()) {
        Dialogs::get().information(this, title,
                                   tr("No file in %1 is named for a %2 item, such as %3.")
                                       .arg(where, kindName(kind).toLower(), batchImageFileName(kind, 0x1a2b)));
        return;
    }

    // All or nothing: a refusal half-way takes back what the step held so far, and nothing of
    // it stays on the history to be redone.
    QVector<int> newIds;
    if (!applyImageImport(*session, kind, plan.accepted, title, &newIds, &error)) {
        Dialogs::get().warning(this, title, tr("Nothing was imported: %1").arg(error));
        return;
    }
    QString message = tr("%1 pictures imported from %2").arg(plan.accepted.size()).arg(where);
    if (!newIds.isEmpty()) {
        QStringList names;
        for (int id : newIds)
            names << hexId(id);
        message += tr("; new items: %1").arg(names.join(QStringLiteral(", ")));
    }
    statusBar()->showMessage(message);
}
