#pragma once

#include "changeset.h"
#include "editsession.h"
#include "records.h"

#include <QByteArray>
#include <QImage>
#include <QMainWindow>
#include <QMap>
#include <QString>

#include <set>

class QAction;
class QCloseEvent;
class QFrame;
class QHBoxLayout;
class QMdiArea;
class QMenu;
class QModelIndex;
class QSplitter;
class QTabWidget;
class QToolBar;
class QTreeView;
class QWidget;
class CataloguePane;
class CompareCommand;
class CataloguePanes;
class ItemWindows;
class PatchCommands;
class PictureBatches;
class RecentDirectories;
class SaveCommand;
class ThumbnailCache;
class myWidget;

// The program's one top-level window: the four catalogue lists on the left, the workspace of
// item windows on the right, and the commands that act on them. It builds the widgets, the
// actions and the menus; the work is done by its collaborators (the catalogue panes, the
// item windows, Save, picture batches, patch files), all of them views and callers of the
// one edit session.
class mainwindow : public QMainWindow {
    Q_OBJECT

    // First, so that the references below can be bound to it.
    qm::EditSession* const m_session;

public:
    explicit mainwindow(QWidget* parent = nullptr, const char* name = nullptr,
                        Qt::WindowFlags fl = Qt::Window);
    ~mainwindow() override;

    // Widget tree.
    QWidget* qt_central_widget;
    QHBoxLayout* mainwindowLayout;
    QSplitter* splitter1;
    QTabWidget* tabSelect;
    QWidget* tab;
    QWidget* tab_2;
    QWidget* TabPage;
    QWidget* TabPage_2;
    QHBoxLayout* tabLayout;
    QHBoxLayout* tabLayout_2;
    QHBoxLayout* TabPageLayout;
    QHBoxLayout* TabPageLayout_2;
    QTreeView* listLand;
    QTreeView* listStatic;
    QTreeView* listGump;
    QTreeView* listTexture;
    QFrame* frmWork;
    QToolBar* Toolbar;
    QMenuBar* MenuBar;
    QMenu* fileMenu;
    QMenu* editMenu;
    QMenu* viewMenu;
    QMenu* windowsMenu;
    QMenu* helpMenu;
    QMenu* itemMenu = nullptr;
    // File > Recent Directories ("recentDirectoriesMenu"), filled as it opens.
    QMenu* recentMenu = nullptr;

    // Actions.
    QAction* fileNewAction;
    QAction* fileOpenAction;
    QAction* fileSaveAction;
    QAction* fileSaveAsAction;
    QAction* filePrintAction;
    QAction* fileExitAction;
    QAction* editUndoAction;
    QAction* editRedoAction;
    QAction* editCutAction;
    QAction* editCopyAction;
    QAction* editPasteAction;
    QAction* editFindAction;
    QAction* helpContentsAction;
    QAction* helpIndexAction;
    QAction* helpAboutAction;
    QAction* popInsert;
    QAction* popEdit;
    QAction* popDelete;
    QAction* popImport;
    QAction* popExport;
    QAction* editSortAction;
    QAction* editSettingsAction;

    // The catalogue of the visible tab and its list, on which the list commands act.
    int currentKind = 0;
    QTreeView* currentList = nullptr;
    QMdiArea* workspace = nullptr;

    // The data directory (the session's).
    const QString& mulDir;

    // The change set: applied edits not yet written to the game's files (read-only views of
    // the session's).
    const QMap<int, QImage>& landImages;
    const QMap<int, QImage>& staticImages;
    const QMap<int, QImage>& gumpImages;
    const QMap<int, QImage>& textureImages;
    const QMap<int, qm::tile_struct>& landTiles;
    const QMap<int, qm::tile_struct>& staticTiles;
    const QMap<int, qm::anim_st>& animEntries;

    // Ids without a list entry, per catalogue; the smallest is handed out first.
    const qm::FreeIds (&freeIds)[qm::kItemKindCount];

    // The edit session: the data directory, its catalogues, the change set and the undo
    // history. Every view follows it; every edit goes through it.
    qm::EditSession* editSession() const { return m_session; }
    CataloguePanes* cataloguePanes() const { return m_panes; }
    ItemWindows* itemWindows() const { return m_items; }
    PictureBatches* pictureBatches() const { return m_batches; }
    CompareCommand* compareCommand() const { return m_compare; }
    // Whether the last Save failed (and so wrote nothing).
    bool lastSaveFailed() const;

    // The list of a catalogue, by ItemKind; nullptr for anything else.
    QTreeView* listForKind(int kind) const;
    // A catalogue's tab: filter box, list and grid; nullptr for anything else.
    CataloguePane* paneForKind(int kind) const;
    CataloguePane* currentPane() const { return paneForKind(currentKind); }
    ThumbnailCache* thumbnails() const;

    // Decoders, readers, encoders and pixel conversions, on the core library.
    virtual QImage getLand(int id);
    virtual QImage getStatic(int id);
    virtual QByteArray encodeGump(QImage& image);
    virtual QImage getGump(int id);
    virtual QByteArray encodeTexture(QImage& image);
    virtual QImage getTexture(int id);
    virtual QRgb color16ToRgb(qint16 c);
    virtual QImage fillImage(QImage& image, QRgb rgb);
    virtual qm::tile_struct getTile(int kind, int id);
    virtual QByteArray encodeStatic(QImage& image);
    virtual QByteArray encodeLand(QImage& image);
    virtual quint16 rgbToColor16(QRgb rgb);
    virtual qm::anim_st getAnim(int id);

public slots:
    virtual void setFiles();
    virtual void mdiList();
    virtual void windowsMenuActivated(int id);
    virtual void fileNew();
    virtual void fileOpen();
    virtual void fileSave();
    virtual void fileSaveAs();
    virtual void filePrint();
    virtual void fileExit();
    virtual void editUndo();
    virtual void editRedo();
    virtual void editCut();
    virtual void editCopy();
    virtual void editPaste();
    virtual void editFind();
    virtual void helpIndex();
    virtual void helpContents();
    virtual void helpAbout();
    virtual void selDelete();
    virtual void selEdit();
    virtual void selInsert();
    virtual void actPopup(const QModelIndex& item, const QPoint& p);
    virtual void tabChanged(QWidget* w);
    virtual void listDouble(const QModelIndex& item);
    virtual void rcvImage(int type, int tid, QImage& nimage);
    virtual void rcvTile(int type, int id, qm::tile_struct& data);
    virtual void saveArt();
    virtual void saveGump();
    virtual void saveTexture();
    virtual void fileExport();
    virtual void fileImport();
    virtual void editSort();
    virtual void editSettings();
    virtual void updateAnim(int id, qm::anim_st& data);
    virtual void saveAnimData();

signals:
    void updateImage(int, int, QImage&);
    void deleteWidget(int, int);
    void tileChange(int, int, qm::tile_struct&);
    void changeAnim(int, qm::anim_st&);

protected slots:
    virtual void languageChange();

protected:
    // Closing the window with unsaved edits asks Save / Discard / Cancel first.
    void closeEvent(QCloseEvent* event) override;
    // The workspace clears the window's modified flag whenever an item window closes or
    // hides; the flag is put back to the session's state at once.
    void changeEvent(QEvent* event) override;
    // Opens `dir` in the session (finishing or undoing an interrupted save first) and tells
    // the user what limits editing there.
    virtual void openDirectory(const QString& dir);
    // Before the session's edits are dropped: asks Save / Discard / Cancel when there are
    // unsaved edits. True to go on (saved or discarded).
    bool maybeSave();
    // Switches to data directory `dir` as Open does: asks first about open item windows and
    // unsaved edits; false when the user cancelled or `dir` is the one open.
    bool changeDirectory(QString dir);

private:
    void buildWidgets();
    void buildActions();
    void buildMenus();
    void buildCollaborators();
    void connectSignals();
    void connectSession();
    void init();
    void updateTitle();
    void updateUndoActions();
    void showStatus(const QString& text);
    // A command that does nothing says why where the user is looking: the status bar and a
    // message box.
    void refuseCommand(const QString& caption, const QString& text);
    // The status bar's line for the one item selected in `kind`'s tab.
    void showSelectedItem(int kind);
    // Remembers size, position, splitter and tab for the next start.
    void rememberWindowState();
    // Wires a new item window into the signal contract and gives it the item's data.
    void prepareItemWindow(myWidget* editor, int kind, int id);
    // Sends the `parts` (ItemPart bits) of an item's current state to every open item window.
    void broadcastItem(qm::ItemKind kind, int id, int parts);
    // Reports a refused edit in the status bar and puts the item windows back to what the
    // session holds. (The pages refuse what the files cannot take where it enters, with a
    // message box; this only catches what got past them.)
    void refuseEdit(qm::ItemKind kind, int id, const QString& error);

    CataloguePanes* m_panes = nullptr;
    ItemWindows* m_items = nullptr;
    SaveCommand* m_save = nullptr;
    PictureBatches* m_batches = nullptr;
    PatchCommands* m_patches = nullptr;
    RecentDirectories* m_recent = nullptr;
    // What Find was last given, offered again.
    QString m_lastFind;
    CompareCommand* m_compare = nullptr;
};
