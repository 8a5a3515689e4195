// The commands of the menus and the lists: thin slots over the collaborators that do the work.
#include "mainwindow.h"

#include "cataloguelistmodel.h"
#include "cataloguegridmodel.h"
#include "cataloguepane.h"
#include "cataloguefilterbox.h"
#include "cataloguepanes.h"
#include "dialogs.h"
#include "huespane.h"
#include "itemstatus.h"
#include "itemwindowset.h"
#include "mywidget.h"
#include "patchcommands.h"
#include "savecommand.h"
#include "uodir.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMdiArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeView>

#include <climits>

using namespace qm;

void mainwindow::tabChanged(QWidget* w)
{
    const int index = tabSelect->indexOf(w);
    m_panes->setHuesShown(qobject_cast<HuesPane*>(w) != nullptr);
    if (!listForKind(index))
        return;
    currentKind = index;
    currentList = listForKind(index);
    m_panes->setCurrentKind(ItemKind(index));
}

// The lists and grids show the session's catalogues as they are now; the commands act on
// the tab the user sees.
void mainwindow::setFiles()
{
    m_panes->reload();
    tabChanged(tabSelect->currentWidget());
    // Item windows still open (the directory was read again under them) show what it holds.
    for (myWidget* editor : m_items->editors())
        if (isValidKind(editor->kind()))
            broadcastItem(ItemKind(editor->kind()), editor->itemId(), ImagePart | TilePart | AnimPart);
}

void mainwindow::actPopup(const QModelIndex&, const QPoint& p)
{
    Dialogs::get().execMenu(itemMenu, p);
}

void mainwindow::listDouble(const QModelIndex& item)
{
    if (!item.isValid())
        return;
    const int id = item.data(CatalogueGridModel::IdRole).toInt();
    // The item's own list names its catalogue; the visible tab is the fallback.
    int kind = currentKind;
    for (int k = 0; k < kItemKindCount; ++k)
        if (item.model() == listForKind(k)->model())
            kind = k;
    m_items->open(kind, id);
}

void mainwindow::selEdit()
{
    // Collected first: opening an item window must not disturb the selection being read.
    const QVector<int> ids = m_panes->selectedIds();
    for (int id : ids)
        m_items->open(currentKind, id);
}

void mainwindow::mdiList()
{
    m_items->rebuildMenu(windowsMenu);
}

void mainwindow::windowsMenuActivated(int id)
{
    m_items->activate(id);
}

void mainwindow::editSort()
{
    currentList->sortByColumn(currentList->header()->sortIndicatorSection(),
                              currentList->header()->sortIndicatorOrder());
}

void mainwindow::fileExit()
{
    close();
}

void mainwindow::helpAbout()
{
    Dialogs::get().information(this, tr("Quillmark Patch About"), tr("Quillmark Patch Version 0.96"));
}

// Open chooses the data directory.
void mainwindow::fileOpen()
{
    editSettings();
}

void mainwindow::fileNew() {}
void mainwindow::fileSaveAs() {}
void mainwindow::filePrint() {}
void mainwindow::editCut() {}
void mainwindow::helpIndex() {}
void mainwindow::helpContents() {}

void mainwindow::fileSave()
{
    // Each stage through its own slot, which is also a command of its own.
    m_save->run([this](SaveStage stage) {
        switch (stage) {
        case SaveStage::ArtAndTiles: saveArt(); break;
        case SaveStage::Gumps: saveGump(); break;
        case SaveStage::Textures: saveTexture(); break;
        case SaveStage::AnimData: saveAnimData(); break;
        case SaveStage::Hues: m_save->stage(SaveStage::Hues); break;
        }
    });
}

void mainwindow::saveArt() { m_save->stage(SaveStage::ArtAndTiles); }
void mainwindow::saveGump() { m_save->stage(SaveStage::Gumps); }
void mainwindow::saveTexture() { m_save->stage(SaveStage::Textures); }
void mainwindow::saveAnimData() { m_save->stage(SaveStage::AnimData); }

void mainwindow::fileExport() { m_patches->exportItem(); }
void mainwindow::fileImport() { m_patches->importItem(); }

// The picture of the active item window, else of the item selected in the current list.
void mainwindow::editCopy()
{
    QImage picture;
    if (myWidget* editor = m_items->active()) {
        picture = editor->image();
    } else if (const QVector<int> selected = m_panes->selectedIds(); !selected.isEmpty()) {
        picture = m_session->image(ItemKind(currentKind), selected.first());
    }
    if (picture.isNull()) {
        refuseCommand(tr("Copy"), tr("No picture to copy"));
        return;
    }
    QApplication::clipboard()->setImage(picture);
    statusBar()->showMessage(tr("Picture copied"));
}

void mainwindow::editPaste()
{
    myWidget* editor = m_items->active();
    if (!editor) {
        refuseCommand(tr("Paste"), tr("Open an item window to paste a picture into"));
        return;
    }
    const QImage picture = QApplication::clipboard()->image();
    if (picture.isNull()) {
        refuseCommand(tr("Paste"), tr("The clipboard holds no picture"));
        return;
    }
    editor->pasteImage(picture);
}

void mainwindow::selInsert()
{
    bool ok = false;
    const QString answer = Dialogs::get()
                               .getText(this, tr("Insert a new entry"),
                                        tr("Enter the desired id, or blank for auto selection"),
                                        QString(), &ok)
                               .simplified();
    if (!ok)
        return;
    const qm::FreeIds& freeSet = freeIds[currentKind];
    quint32 id = 0;
    if (!answer.isEmpty()) {
        bool parsed = false;
        const qint64 typed = parseTypedNumber(answer, &parsed);
        if (!parsed || typed < 0 || typed > 0xffffffffLL) {
            refuseCommand(tr("New"), tr("Invalid input for item number"));
            return;
        }
        id = quint32(typed);
        if (!freeSet.count(id)) {
            refuseCommand(tr("New"), tr("Item ") + QString::number(id) + tr(" in use"));
            return;
        }
    } else {
        if (freeSet.empty()) {
            refuseCommand(tr("New"), tr("No available entries"));
            return;
        }
        id = *freeSet.begin();
    }
    QString error;
    if (!m_session->insert(ItemKind(currentKind), int(id), &error)) {
        refuseCommand(tr("New"), error);
        return;
    }
    m_panes->selectOnly(ItemKind(currentKind), int(id));
    statusBar()->showMessage(tr("Item ") + QString::number(id) + tr(" created."));
}

void mainwindow::selDelete()
{
    // Only what the user sees selected: rows the filter hides are not in the view at all.
    const QVector<int> ids = m_panes->selectedIds();
    if (ids.isEmpty())
        return;
    QString error;
    if (!m_session->canEditItem(ItemKind(currentKind), ids.first(), &error)) {
        refuseCommand(tr("Delete"), error);
        return;
    }
    for (int id : ids)
        emit deleteWidget(currentKind, id);
    if (!m_session->remove(ItemKind(currentKind), ids, &error))
        refuseCommand(tr("Delete"), error);
}

// An id the filter hides is shown by clearing the filter; one that is not in the catalogue
// is reported. The last text typed is offered again.
void mainwindow::editFind()
{
    bool ok = false;
    const QString answer = Dialogs::get()
                               .getText(this, tr("Find Item"), tr("Enter id to find"), m_lastFind, &ok)
                               .simplified();
    if (!ok || answer.isEmpty())
        return;
    m_lastFind = answer;
    bool parsed = false;
    const qint64 number = parseTypedNumber(answer, &parsed);
    if (!parsed || number < 0 || number > INT_MAX) {
        refuseCommand(tr("Find Item"), tr("%1 is not an item number").arg(answer));
        return;
    }
    const ItemKind kind = ItemKind(currentKind);
    const int id = int(number);
    if (!m_session->isListed(kind, id)) {
        refuseCommand(tr("Find Item"), tr("There is no %1").arg(itemName(kind, id)));
        return;
    }
    if (!m_panes->selectOnly(kind, id)) {
        m_panes->pane(kind)->filterBox()->clear();
        m_panes->selectOnly(kind, id);
        showStatus(tr("The filter was cleared to show %1").arg(itemName(kind, id)));
    }
}

void mainwindow::editSettings()
{
    changeDirectory(Dialogs::get().getExistingDirectory(this, tr("Mul File Directory"), mulDir));
}

bool mainwindow::changeDirectory(QString dir)
{
    dir = dir.simplified();
    if (dir.isEmpty())
        return false;
    if (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    if (dir == mulDir)
        return false;
    // The item windows and the edits belong to the old directory: each question's Cancel
    // keeps everything as it was.
    if (!m_items->mayCloseAll(this) || !maybeSave())
        return false;
    m_items->closeAll();
    statusBar()->showMessage(tr("Setting UODir to ") + dir);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    writeUODir(dir);
    openDirectory(dir);
    // The commands act on the list the user sees.
    tabSelect->setCurrentIndex(0);
    statusBar()->showMessage(tr("Ready"));
    QApplication::restoreOverrideCursor();
    return true;
}

void mainwindow::refuseCommand(const QString& caption, const QString& text)
{
    showStatus(text);
    Dialogs::get().warning(this, caption, text);
}

void mainwindow::showSelectedItem(int kind)
{
    if (kind != currentKind)
        return;
    const QVector<int> ids = m_panes->selectedIds();
    if (ids.size() == 1)
        showStatus(itemStatusText(*m_session, ItemKind(kind), ids.first()));
    else if (ids.size() > 1)
        showStatus(tr("%n item(s) selected", nullptr, int(ids.size())));
}
