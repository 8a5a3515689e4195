// The main window as a view of its edit session: the lists follow the catalogues, the title
// and the Undo / Redo actions follow the history, and nothing unsaved is dropped unasked.
#include "mainwindow.h"

#include "cataloguegridmodel.h"
#include "cataloguepane.h"
#include "dialogs.h"
#include "mylistitem.h"
#include "mywidget.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTreeWidget>
#include <QUndoStack>

using namespace qm;

namespace {

// How far each new item window sits from the one opened before it.
constexpr int kCascadeStep = 24;

} // namespace

void mainwindow::connectSession()
{
    connect(session, &EditSession::cataloguesReset, this, &mainwindow::setFiles);
    // The lists and grids follow the catalogues through their panes' models.
    connect(session, &EditSession::itemListed, this,
            [this](ItemKind kind, int id) { paneForKind(kind)->model()->insertId(id); });
    connect(session, &EditSession::itemUnlisted, this,
            [this](ItemKind kind, int id) { paneForKind(kind)->model()->removeId(id); });
    connect(session, &EditSession::itemChanged, this, &mainwindow::followItem);
    connect(session, &EditSession::itemChanged, this, &mainwindow::broadcastItem);
    connect(session, &EditSession::modifiedChanged, this, &QWidget::setWindowModified);

    QUndoStack* history = session->undoStack();
    connect(history, &QUndoStack::canUndoChanged, this, &mainwindow::updateUndoActions);
    connect(history, &QUndoStack::canRedoChanged, this, &mainwindow::updateUndoActions);
    connect(history, &QUndoStack::undoTextChanged, this, &mainwindow::updateUndoActions);
    connect(history, &QUndoStack::redoTextChanged, this, &mainwindow::updateUndoActions);
}

void mainwindow::updateTitle()
{
    const QString base = tr("Quillmark Patch");
    setWindowTitle(mulDir.isEmpty() ? base + QStringLiteral("[*]")
                                    : base + QStringLiteral(" - ") + QDir::toNativeSeparators(mulDir)
                                          + QStringLiteral("[*]"));
    setWindowModified(session->isModified());
}

// The title's mark is the session's: QMdiSubWindow resets the top-level window's modified
// flag when a sub-window closes, hides or is destroyed (it mirrors a maximized child's flag
// there), so any change that disagrees with the session is undone here.
void mainwindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ModifiedChange && session && isWindowModified() != session->isModified())
        setWindowModified(session->isModified());
}

// The menu entries name the step they undo or redo: "Undo Replace Picture of Static 0x1a".
void mainwindow::updateUndoActions()
{
    const QUndoStack* history = session->undoStack();
    editUndoAction->setEnabled(history->canUndo());
    editRedoAction->setEnabled(history->canRedo());
    editUndoAction->setText(history->canUndo() ? tr("&Undo %1").arg(history->undoText()) : tr("&Undo"));
    editRedoAction->setText(history->canRedo() ? tr("&Redo %1").arg(history->redoText()) : tr("&Redo"));
}

void mainwindow::openDirectory(const QString& dir)
{
    EditSession::OpenReport report;
    session->open(dir, &report);
    updateTitle();
    // Which forms were opened (packages or classic pairs, the tile data layout); messages
    // about recovery below take the place of this line.
    statusBar()->showMessage(session->formsSummary());
    if (!report.recoveryError.isEmpty()) {
        statusBar()->showMessage(tr("The data directory holds an unfinished save"));
        Dialogs::get().critical(this, tr("Interrupted save"), report.recoveryError + QLatin1Char('.'));
    } else if (!report.recovered.isEmpty()) {
        statusBar()->showMessage(report.recovered.join(QLatin1Char(' ')));
        Dialogs::get().information(this, tr("Interrupted save"), report.recovered.join(QLatin1Char('\n')));
    }
    if (!report.tileDataWarning.isEmpty())
        Dialogs::get().warning(this, tr("Tile data"), report.tileDataWarning);
    for (const QString& warning : report.catalogueWarnings)
        Dialogs::get().warning(this, tr("Catalogue read-only"), warning);
}

bool mainwindow::maybeSave()
{
    if (!session->isModified())
        return true;
    const QMessageBox::StandardButton answer = Dialogs::get().question(
        this, tr("Unsaved edits"),
        tr("%1 has edits that are not saved. Save them before going on?").arg(QDir::toNativeSeparators(mulDir)),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer != QMessageBox::Save)
        return false;
    fileSave();
    return !saveFailed;
}

bool mainwindow::mayCloseItemWindows()
{
    QStringList pending;
    for (myWidget* editor : itemWindows())
        if (editor->hasUnappliedEdits())
            pending << editor->windowTitle();
    if (pending.isEmpty())
        return true;
    const QMessageBox::StandardButton answer = Dialogs::get().question(
        this, tr("Edits not applied"),
        tr("These item windows hold edits that were not applied: %1. Close them and drop those edits?")
            .arg(pending.join(QStringLiteral(", "))),
        QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
    return answer == QMessageBox::Discard;
}

void mainwindow::closeEvent(QCloseEvent* event)
{
    // Edits typed into an item window but not applied are as much the user's work as the
    // unsaved ones.
    if (mayCloseItemWindows() && maybeSave())
        event->accept();
    else
        event->ignore();
}

QList<myWidget*> mainwindow::itemWindows() const
{
    QList<myWidget*> editors;
    if (!workspace)
        return editors;
    for (QMdiSubWindow* frame : workspace->subWindowList())
        if (auto* editor = qobject_cast<myWidget*>(frame->widget()))
            editors << editor;
    return editors;
}

myWidget* mainwindow::activeItemWindow() const
{
    QMdiSubWindow* frame = workspace ? workspace->currentSubWindow() : nullptr;
    return frame ? qobject_cast<myWidget*>(frame->widget()) : nullptr;
}

// New item windows cascade from the workspace's corner and never open larger than it, so
// that each one's title bar and buttons stay in sight.
void mainwindow::placeItemWindow(QMdiSubWindow* frame)
{
    const QSize area = workspace->viewport()->size();
    // Room for a few steps of the cascade where the workspace allows it.
    const QSize cascadeRoom(3 * kCascadeStep, 3 * kCascadeStep);
    frame->resize(frame->sizeHint().boundedTo(area - cascadeRoom).expandedTo(frame->minimumSizeHint()).boundedTo(area));
    const int opened = int(workspace->subWindowList().size()) - 1;
    const int room = qMin(area.width() - frame->width(), area.height() - frame->height());
    const int steps = room >= kCascadeStep ? room / kCascadeStep + 1 : 1;
    const int offset = (opened % steps) * kCascadeStep;
    frame->move(offset, offset);
}

// The picture of the active item window, else of the item selected in the current list.
void mainwindow::editCopy()
{
    QImage picture;
    if (myWidget* editor = activeItemWindow()) {
        picture = editor->image();
    } else if (currentPane() && !currentPane()->selectedIds().isEmpty()) {
        picture = session->image(ItemKind(currentKind), currentPane()->selectedIds().first());
    }
    if (picture.isNull()) {
        statusBar()->showMessage(tr("No picture to copy"));
        return;
    }
    QApplication::clipboard()->setImage(picture);
    statusBar()->showMessage(tr("Picture copied"));
}

void mainwindow::editPaste()
{
    myWidget* editor = activeItemWindow();
    if (!editor) {
        statusBar()->showMessage(tr("Open an item window to paste a picture into"));
        return;
    }
    const QImage picture = QApplication::clipboard()->image();
    if (picture.isNull()) {
        statusBar()->showMessage(tr("The clipboard holds no picture"));
        return;
    }
    editor->pasteImage(picture);
}
