#include "patchcommands.h"

#include "catalogueselection.h"
#include "editsession.h"
#include "dialogs.h"
#include "patchfile.h"
#include "patchtransfer.h"

using namespace qm;

PatchCommands::PatchCommands(EditSession& session, CatalogueSelection& selection, QWidget* dialogParent,
                             ShowStatus status, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_selection(selection)
    , m_dialogParent(dialogParent)
    , m_status(std::move(status))
{
}

void PatchCommands::exportItem()
{
    QString selectedFilter;
    const QString chosen = Dialogs::get().getSaveFileName(m_dialogParent, tr("Export Item"), QString(),
                                                          tr("QMP (*.qmp);;All Files (*.*)"),
                                                          &selectedFilter);
    const QVector<int> selected = m_selection.selectedIds();
    if (selected.isEmpty() || chosen.isEmpty())
        return;

    const QString fileName = patchFileNameForFilter(chosen, selectedFilter);
    PatchItem patch;
    QString error;
    if (!buildPatch(m_session, m_selection.currentKind(), selected.first(), &patch, &error)
        || !writePatchFile(fileName, patch, &error))
        Dialogs::get().critical(m_dialogParent, tr("Export Item"), error);
}

// A refused import says why in the status bar and in a message box, where the user looks.
void PatchCommands::refuse(const QString& why)
{
    m_status(why);
    Dialogs::get().warning(m_dialogParent, tr("Import"), why);
}

void PatchCommands::importItem()
{
    const QString fileName = Dialogs::get().getOpenFileName(m_dialogParent, tr("File to import"), QString(),
                                                            tr("QMP (*.qmp);;All Files (*.*)"),
                                                            nullptr);
    if (fileName.isEmpty())
        return;

    // The whole file is read and checked before anything is asked or changed.
    PatchItem patch;
    QString error;
    if (!readPatchFile(fileName, &patch, &error)) {
        refuse(error);
        return;
    }
    if (const QString refusal = patchImportRefusal(m_session.directory(), patch); !refusal.isEmpty()) {
        refuse(refusal);
        return;
    }

    bool ok = false;
    const QString answer = Dialogs::get().getText(m_dialogParent, patchIdCaption(patch.kind),
                                                  tr("Enter id (null id to create one)"),
                                                  QString::number(patch.id), &ok);
    if (!ok)
        return;
    const PatchIdAnswer chosen = resolvePatchId(answer, patch.kind, m_session.freeIdSets()[patch.kind]);
    if (chosen.status == PatchIdAnswer::NotANumber)
        return;
    if (chosen.status != PatchIdAnswer::Ok) {
        refuse(chosen.message);
        return;
    }
    const int id = chosen.id;
    if (!importPatch(m_session, patch, id, &error)) {
        refuse(error);
        return;
    }
    // The session's signals have listed the item and shown the imported data in any editor
    // already open on it, so that its OK cannot write stale data back over it.
    m_selection.selectOnly(ItemKind(patch.kind), id);
}
