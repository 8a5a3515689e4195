#pragma once

#include "changeset.h"
#include "editsession.h"
#include "records.h"

#include <QByteArray>
#include <QImage>
#include <QMainWindow>
#include <QMap>
#include <QString>

#include <memory>
#include <set>

class QAction;
class QFrame;
class QHBoxLayout;
class QCloseEvent;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class CataloguePane;
class ThumbnailCache;
class ThumbnailSource;
class myWidget;

namespace qm {
class SessionSave;
}

// The program's one top-level window: the four catalogue lists on the left, the workspace of
// editor windows on the right, and the commands that act on them.
class mainwindow : public QMainWindow {
    Q_OBJECT

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
    QTreeWidget* listLand;
    QTreeWidget* listStatic;
    QTreeWidget* listGump;
    QTreeWidget* listTexture;
    QFrame* frmWork;
    QToolBar* Toolbar;
    QMenuBar* MenuBar;
    QMenu* fileMenu;
    QMenu* editMenu;
    QMenu* viewMenu;
    QMenu* windowsMenu;
    QMenu* helpMenu;
    QMenu* itemMenu = nullptr;

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
    QAction* viewGridAction;   // checked: the current catalogue shows the thumbnail grid

    // State shared by the commands.
    int currentKind = 0;
    QTreeWidget* currentList = nullptr;
    QMdiArea* workspace = nullptr;

    // The edit session: the data directory, its catalogues, the change set and the undo
    // history. The lists below mirror its catalogues; every edit goes through it.
    qm::EditSession* const session;
    const QString& mulDir;

    // The change set: applied edits not yet written to the game's files (read-only views of
    // the session's).
    const qm::ChangeSet& changes;
    const QMap<int, QImage>& landImages = changes.images[qm::Land];
    const QMap<int, QImage>& staticImages = changes.images[qm::Static];
    const QMap<int, QImage>& gumpImages = changes.images[qm::Gump];
    const QMap<int, QImage>& textureImages = changes.images[qm::Texture];
    const QMap<int, qm::tile_struct>& landTiles = changes.tiles[qm::Land];
    const QMap<int, qm::tile_struct>& staticTiles = changes.tiles[qm::Static];
    const QMap<int, qm::anim_st>& animEntries = changes.animEntries;

    // Ids without a list entry, per catalogue; the smallest is handed out first.
    const std::set<quint32> (&freeIds)[qm::kItemKindCount];

    // Set by a Save step that failed, so that the Save command runs no later step.
    bool saveFailed = false;

    // The list of a catalogue, by ItemKind; nullptr for anything else.
    QTreeWidget* listForKind(int kind) const;
    // A catalogue's tab: filter box, list and grid; nullptr for anything else.
    CataloguePane* paneForKind(int kind) const;
    CataloguePane* currentPane() const { return paneForKind(currentKind); }
    ThumbnailCache* thumbnails() const { return m_thumbnails; }

    // Opens an item window on the item, as a double-click does.
    void openItem(int kind, int id);

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
    virtual void actPopup(QTreeWidgetItem* item, const QPoint& p);
    virtual void tabChanged(QWidget* w);
    virtual void listDouble(QTreeWidgetItem* item);
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
    // Shows the current catalogue as a thumbnail grid (true) or as the id list.
    virtual void viewGrid(bool grid);

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
    // Tells the user why a Save step failed and marks the Save as failed.
    void reportSaveFailure(const QString& error);
    // The gump or texture step of Save, showing `status` while it writes.
    void saveImageStep(qm::ItemKind kind, const QString& status);
    // Before the session's edits are dropped: asks Save / Discard / Cancel when there are
    // unsaved edits. True to go on (saved or discarded).
    bool maybeSave();
    // Before the item windows are closed: asks when one holds edits not yet applied.
    bool mayCloseItemWindows();
    // Runs a Save stage; outside a Save the whole Save runs instead, since a part of the
    // change set cannot be written alone without breaking the all-or-nothing promise.
    template <typename Stage>
    void runSaveStage(const QString& status, Stage&& stage);

private:
    void init();
    void buildActions();
    void buildMenus();
    void connectSignals();
    void connectSession();
    void updateTitle();
    void updateUndoActions();
    QTreeWidget* makeList(QWidget* page, const char* name);
    // The browsing views: the panes follow the session, the grids remember their settings.
    void connectPanes();
    void followItem(qm::ItemKind kind, int id, int parts);
    // Whether the change set holds anything of the item.
    bool isEdited(qm::ItemKind kind, int id) const;
    // After a Save emptied the change set: the marks and edited pictures follow it.
    void refreshEditedItems();
    // Sends the `parts` (ItemPart bits) of an item's current state to every open editor window.
    void broadcastItem(qm::ItemKind kind, int id, int parts);
    // Reports a refused edit in the status bar and puts the editor windows back to what the
    // session holds. (The pages refuse what the files cannot take where it enters, with a
    // message box; this only catches what got past them.)
    void refuseEdit(qm::ItemKind kind, int id, const QString& error);
    void placeItemWindow(QMdiSubWindow* frame);
    QList<myWidget*> itemWindows() const;
    myWidget* activeItemWindow() const;

    std::shared_ptr<ThumbnailSource> m_pictures;
    ThumbnailCache* m_thumbnails = nullptr;
    CataloguePane* m_panes[qm::kItemKindCount] = {};
    std::unique_ptr<qm::SessionSave> m_save;
    QStringList m_saveNotes;

    // Pictures many at a time (mainwindow_batch.cpp).
public:
    QAction* exportPicturesAction = nullptr;
    QAction* importPicturesAction = nullptr;
public slots:
    // Replaces the item's picture with a dropped picture file under Import's rules, as one
    // undo step; refusals are told in a message naming the file. For the lists and the grid.
    void dropPicture(int kind, int id, const QString& path);
    // The selected items of the current catalogue (all it shows when none is) into a folder,
    // one PNG each named by kind and id.
    void exportPictures();
    // Such a folder back as one undo step; when any file is refused, nothing is applied.
    void importPictures();
private:
    void setUpPictureBatches();
    QVector<int> pictureBatchIds() const;
    QString m_pictureFolder;
};
