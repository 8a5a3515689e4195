// The main window as a view of its edit session: the title and the Undo / Redo actions
// follow the history, edits from item windows go into the session and its changes go back
// out to every item window, and nothing unsaved is dropped unasked.
#include "mainwindow.h"

#include "artcodec.h"
#include "cataloguepanes.h"
#include "animpage.h"
#include "animplayer.h"
#include "dialogs.h"
#include "huechooser.h"
#include "imagepage.h"
#include "itemwindowset.h"
#include "mywidget.h"
#include "pixels.h"
#include "recentdirectories.h"
#include "savecommand.h"
#include "windowstate.h"

#include <QAction>
#include <QCloseEvent>
#include <QPointer>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

using namespace qm;

void mainwindow::connectSession()
{
    connect(m_session, &EditSession::cataloguesReset, this, &mainwindow::setFiles);
    connect(m_session, &EditSession::itemChanged, this, &mainwindow::broadcastItem);
    connect(m_session, &EditSession::modifiedChanged, this, &QWidget::setWindowModified);
    connect(m_session, &EditSession::historyChanged, this, &mainwindow::updateUndoActions);
    // Hue previews draw with the hues as edited, saved or not.
    connect(m_session, &EditSession::hueChanged, this, [this](int number) {
        const HueEntry hue = m_session->hue(number);
        for (myWidget* editor : m_items->editors())
            editor->tab->hueChooser()->setHue(number, hue);
    });
}

void mainwindow::updateTitle()
{
    const QString base = tr("Quillmark Patch");
    setWindowTitle(mulDir.isEmpty() ? base + QStringLiteral("[*]")
                                    : base + QStringLiteral(" - ") + QDir::toNativeSeparators(mulDir)
                                          + QStringLiteral("[*]"));
    setWindowModified(m_session->isModified());
}

// The title's mark is the session's: QMdiSubWindow resets the top-level window's modified
// flag when a sub-window closes, hides or is destroyed (it mirrors a maximized child's flag
// there), so any change that disagrees with the session is undone here.
void mainwindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ModifiedChange && isWindowModified() != m_session->isModified())
        setWindowModified(m_session->isModified());
}

// The menu entries name the step they undo or redo: "Undo Replace Picture of Static 0x1a".
void mainwindow::updateUndoActions()
{
    editUndoAction->setEnabled(m_session->canUndo());
    editRedoAction->setEnabled(m_session->canRedo());
    editUndoAction->setText(m_session->canUndo() ? tr("&Undo %1").arg(m_session->undoText()) : tr("&Undo"));
    editRedoAction->setText(m_session->canRedo() ? tr("&Redo %1").arg(m_session->redoText()) : tr("&Redo"));
}

void mainwindow::editUndo()
{
    m_session->undo();
}

void mainwindow::editRedo()
{
    m_session->redo();
}

void mainwindow::openDirectory(const QString& dir)
{
    EditSession::OpenReport report;
    m_session->open(dir, &report);
    updateTitle();
    // What was selected and filtered belonged to the other directory.
    m_panes->resetViews();
    if (QFileInfo(dir).isDir())
        m_recent->add(dir);
    // Which forms were opened (packages or classic pairs, the tile data layout); messages
    // about recovery below take the place of this line.
    statusBar()->showMessage(m_session->formsSummary());
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
    if (!m_session->isModified())
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
    return !m_save->failed();
}

void mainwindow::closeEvent(QCloseEvent* event)
{
    // Edits typed into an item window but not applied are as much the user's work as the
    // unsaved ones.
    if (m_items->mayCloseAll(this) && maybeSave()) {
        rememberWindowState();
        event->accept();
    } else
        event->ignore();
}

void mainwindow::rememberWindowState()
{
    saveWindowState(this, splitter1, tabSelect);
}

void mainwindow::prepareItemWindow(myWidget* editor, int kind, int id)
{
    connect(this, &mainwindow::deleteWidget, editor, &myWidget::rcvDelete);
    connect(this, &mainwindow::updateImage, editor, &myWidget::updateImage);
    connect(editor, &myWidget::imgChange, this, &mainwindow::rcvImage);
    if (hasTileData(kind))
        connect(this, &mainwindow::tileChange, editor, &myWidget::setTile);
    if (kind == Static) {
        connect(this, &mainwindow::changeAnim, editor, &myWidget::setAnimData);
        connect(editor, &myWidget::animChange, this, &mainwindow::updateAnim);
    }
    if (hasTileData(kind))
        connect(editor, &myWidget::tileChange, this, &mainwindow::rcvTile);
    // What one OK or Apply sends is one undo step.
    connect(editor, &myWidget::editsBegin, m_session, [this] { m_session->beginStep(); });
    connect(editor, &myWidget::editsEnd, m_session, [this] { m_session->endStep(); });

    QImage image;
    switch (kind) {
    case Land: image = getLand(id); break;
    case Static: image = getStatic(id); break;
    case Gump: image = getGump(id); break;
    default: image = getTexture(id); break;
    }
    // setData first: it fixes the identity that the other slots test.
    editor->setData(kind, id, image);
    if (hasTileData(kind)) {
        tile_struct record = getTile(kind, id);
        editor->setTile(kind, id, record);
        editor->setTileDataReadOnly(!m_session->tileDataWritable());
        editor->setTileLayout(m_session->tileDataLayout());
    }
    if (kind == Static) {
        // The animation's frames are drawn from the session, as every picture the window shows.
        editor->TabPage_2->player()->setPictureSource(
            [session = QPointer<EditSession>(m_session)](int staticId) {
                return session ? session->image(Static, staticId) : QImage();
            });
        anim_st record = getAnim(id);
        editor->setAnimData(id, record);
    }
    editor->setImageReadOnly(m_session->readOnlyReason(ItemKind(kind)));
    editor->tab->setHues(m_session->currentHues());
}

void mainwindow::rcvImage(int type, int tid, QImage& nimage)
{
    if (!isValidKind(type))
        return;
    // An item window sends a null picture for an item whose picture the user removed.
    QString error;
    const bool ok = nimage.isNull() ? m_session->emptyImage(ItemKind(type), tid, &error)
                                    : m_session->setImage(ItemKind(type), tid, nimage.copy(), &error);
    if (!ok)
        refuseEdit(ItemKind(type), tid, error);
}

void mainwindow::rcvTile(int type, int id, tile_struct& data)
{
    if (!hasTileData(type))
        return;
    QString error;
    if (!m_session->setTile(ItemKind(type), id, data, &error))
        refuseEdit(ItemKind(type), id, error);
}

void mainwindow::updateAnim(int id, anim_st& data)
{
    QString error;
    if (!m_session->setAnim(id, data, &error))
        refuseEdit(Static, id, error);
}

void mainwindow::refuseEdit(ItemKind kind, int id, const QString& error)
{
    statusBar()->showMessage(error);
    broadcastItem(kind, id, ImagePart | TilePart | AnimPart);
}

void mainwindow::broadcastItem(ItemKind kind, int id, int parts)
{
    if (parts & ImagePart) {
        QImage image = m_session->image(kind, id);
        emit updateImage(kind, id, image);
    }
    if ((parts & TilePart) && hasTileData(kind)) {
        tile_struct tile = m_session->tile(kind, id);
        emit tileChange(kind, id, tile);
    }
    if ((parts & AnimPart) && kind == Static) {
        anim_st anim = m_session->anim(id);
        emit changeAnim(id, anim);
    }
}

// Decoders, readers and encoders delegate to the session and the core library.
QImage mainwindow::getLand(int id) { return m_session->image(Land, id); }
QImage mainwindow::getStatic(int id) { return m_session->image(Static, id); }
QImage mainwindow::getGump(int id) { return m_session->image(Gump, id); }
QImage mainwindow::getTexture(int id) { return m_session->image(Texture, id); }
tile_struct mainwindow::getTile(int kind, int id) { return hasTileData(kind) ? m_session->tile(ItemKind(kind), id) : tile_struct(); }
anim_st mainwindow::getAnim(int id) { return m_session->anim(id); }
QByteArray mainwindow::encodeLand(QImage& image) { return ::encodeLand(image); }
QByteArray mainwindow::encodeStatic(QImage& image) { return ::encodeStatic(image); }
QByteArray mainwindow::encodeGump(QImage& image) { return ::encodeGump(image); }
QByteArray mainwindow::encodeTexture(QImage& image) { return ::encodeTexture(image); }
QRgb mainwindow::color16ToRgb(qint16 c) { return ::color16ToRgb(c); }
quint16 mainwindow::rgbToColor16(QRgb rgb) { return ::rgbToColor16(rgb); }
QImage mainwindow::fillImage(QImage& image, QRgb rgb) { return ::fillImage(image, rgb); }
