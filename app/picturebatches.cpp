// Pictures in and out of a catalogue many at a time: a picture file dropped onto a list row,
// and folders of PNG files named by kind and id, written from or read into the session.
#include "picturebatches.h"

#include "catalogueselection.h"
#include "editsession.h"

#include "artcodec.h"
#include "dialogs.h"
#include "imagebatchexport.h"
#include "imagebatchimport.h"
#include "imagebatchnames.h"
#include "imagefiles.h"
#include "imageimport.h"
#include "itemkind.h"
#include "picturedrop.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>

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

PictureBatches::PictureBatches(EditSession& session, CatalogueSelection& selection, QWidget* dialogParent,
                               ShowStatus status, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_selection(selection)
    , m_dialogParent(dialogParent)
    , m_status(std::move(status))
    , m_export(new QAction(this))
    , m_import(new QAction(this))
{
    m_export->setObjectName(QStringLiteral("exportPicturesAction"));
    m_import->setObjectName(QStringLiteral("importPicturesAction"));
    connect(m_export, &QAction::triggered, this, &PictureBatches::exportPictures);
    connect(m_import, &QAction::triggered, this, &PictureBatches::importPictures);
    retranslate();
}

void PictureBatches::retranslate()
{
    m_export->setText(tr("Export Pictures..."));
    m_import->setText(tr("Import Pictures..."));
    const QString exportTip = tr("Write the pictures of the selected items (else of all shown) to a folder");
    const QString importTip = tr("Replace pictures from the picture files of a folder, by their names");
    m_export->setStatusTip(exportTip);
    m_export->setToolTip(exportTip);
    m_import->setStatusTip(importTip);
    m_import->setToolTip(importTip);
}

void PictureBatches::addActionsAfter(QMenu* menu, QAction* after) const
{
    const QList<QAction*> actions = menu->actions();
    const int at = int(actions.indexOf(after)) + 1;
    QAction* before = at > 0 && at < actions.size() ? actions[at] : nullptr;
    menu->insertActions(before, { m_export, m_import });
}

void PictureBatches::acceptDrops(QAbstractItemView* view, int kind)
{
    auto* target = new PictureDropTarget(view, kind);
    connect(target, &PictureDropTarget::pictureDropped, this, &PictureBatches::dropPicture);
}

void PictureBatches::dropPicture(int kind, int id, const QString& path)
{
    if (!isValidKind(kind))
        return;
    const QString title = tr("Replace Picture");
    const QString file = QDir::toNativeSeparators(path);
    QString error;
    if (!m_session.canEditItem(ItemKind(kind), id, &error)) {
        Dialogs::get().warning(m_dialogParent, title, tr("%1 was not used: %2").arg(file, error));
        return;
    }
    const QImage picture = readPicture(path, &error);
    if (picture.isNull()) {
        Dialogs::get().warning(m_dialogParent, title, error);
        return;
    }
    // The rules of the item window's Import: the kind's size, land masked to its diamond,
    // and nothing Save could not write.
    const QImage image = prepareImportedImage(kind, picture);
    if (!canEncode(kind, image, &error)) {
        Dialogs::get().warning(m_dialogParent, title, tr("%1 cannot be used for %2: %3").arg(file, itemName(kind, id), error));
        return;
    }
    if (!m_session.setImage(ItemKind(kind), id, image, &error)) {
        Dialogs::get().warning(m_dialogParent, title, tr("%1 was not used: %2").arg(file, error));
        return;
    }
    m_status(tr("Picture of %1 replaced by %2").arg(itemName(kind, id), QFileInfo(path).fileName()));
}

QVector<int> PictureBatches::batchIds() const
{
    // The selected items, else every item the list or grid shows (a filter hides the others).
    const QVector<int> selected = m_selection.selectedIds();
    return selected.isEmpty() ? m_selection.shownIds() : selected;
}

void PictureBatches::exportPictures()
{
    const ItemKind kind = m_selection.currentKind();
    const QVector<int> ids = batchIds();
    const QString title = tr("Export Pictures");
    if (ids.isEmpty()) {
        const QString refusal = tr("No %1 items to export").arg(kindName(kind).toLower());
        m_status(refusal);
        Dialogs::get().warning(m_dialogParent, title, refusal);
        return;
    }
    const QString start = m_folder.isEmpty() ? QDir::homePath() : m_folder;
    const QString folder = Dialogs::get().getExistingDirectory(m_dialogParent, title, start);
    if (folder.isEmpty())
        return;
    // A folder name the user typed that is not there yet is made.
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        Dialogs::get().warning(m_dialogParent, title,
                               tr("The folder %1 could not be created").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    m_folder = folder;

    ImageExportResult result;
    {
        BatchProgressDialog progress(m_dialogParent, tr("Exporting %1 pictures...").arg(ids.size()));
        result = exportImages(
            kind, ids, folder, [this](ItemKind k, int id) { return m_session.image(k, id); }, {},
            progress.callback());
    }
    if (!result.error.isEmpty()) {
        Dialogs::get().warning(m_dialogParent, title, result.error);
        return;
    }
    const QString counts = tr("%1 written, %2 skipped, %3 failed")
                               .arg(result.written)
                               .arg(result.emptyIds.size() + result.kept)
                               .arg(result.failures.size());
    m_status(result.cancelled
                                 ? tr("Export to %1 cancelled: %2").arg(QDir::toNativeSeparators(folder), counts)
                                 : tr("Pictures exported to %1: %2").arg(QDir::toNativeSeparators(folder), counts));
    if (!result.failures.isEmpty())
        Dialogs::get().warning(m_dialogParent, title, tr("These pictures could not be written:\n%1").arg(failureList(result.failures)));
}

void PictureBatches::importPictures()
{
    const ItemKind kind = m_selection.currentKind();
    const QString title = tr("Import Pictures");
    const QString folder = Dialogs::get().getExistingDirectory(m_dialogParent, title,
                                                               m_folder.isEmpty() ? QDir::homePath() : m_folder);
    if (folder.isEmpty())
        return;
    m_folder = folder;
    const QString where = QDir::toNativeSeparators(folder);

    ImageImportPlan plan;
    {
        BatchProgressDialog progress(m_dialogParent, tr("Reading pictures in %1...").arg(where));
        plan = planImageImport(kind, folder, 0, progress.callback());
    }
    if (!plan.error.isEmpty()) {
        Dialogs::get().warning(m_dialogParent, title, plan.error);
        return;
    }
    if (plan.cancelled) {
        m_status(tr("Import cancelled; nothing was changed"));
        return;
    }
    // Items the session would refuse are refused here with the files, so that the step below
    // never stops half-way.
    QString error;
    for (const AcceptedPicture& picture : plan.accepted)
        if (!m_session.canEditItem(kind, picture.id, &error))
            plan.refused << BatchItemFailure { picture.id, picture.fileName, error };
    if (!plan.refused.isEmpty()) {
        Dialogs::get().warning(m_dialogParent, title,
                               tr("%1 of the pictures in %2 cannot be imported, so none was:\n%3")
                                   .arg(plan.refused.size())
                                   .arg(where, failureList(plan.refused)));
        m_status(tr("Nothing was imported"));
        return;
    }
    if (plan.accepted.isEmpty()) {
        Dialogs::get().information(m_dialogParent, title,
                                   tr("No file in %1 is named for a %2 item, such as %3.")
                                       .arg(where, kindName(kind).toLower(), batchImageFileName(kind, 0x1a2b)));
        return;
    }

    // All or nothing: a refusal half-way takes back what the step held so far, and nothing of
    // it stays on the history to be redone.
    QVector<int> newIds;
    if (!m_apply(m_session, kind, plan.accepted, title, &newIds, &error)) {
        Dialogs::get().warning(m_dialogParent, title, tr("Nothing was imported: %1").arg(error));
        return;
    }
    QString message = tr("%1 pictures imported from %2").arg(plan.accepted.size()).arg(where);
    if (!newIds.isEmpty()) {
        QStringList names;
        for (int id : newIds)
            names << hexId(id);
        message += tr("; new items: %1").arg(names.join(QStringLiteral(", ")));
    }
    m_status(message);
}
