#pragma once

#include "changeset.h"
#include "indexfile.h"
#include "records.h"

#include <QByteArray>
#include <QImage>
#include <QMainWindow>
#include <QMap>
#include <QString>

#include <set>

class QAction;
class QFrame;
class QHBoxLayout;
class QMdiArea;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

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

    // State shared by the commands.
    int currentKind = 0;
    QTreeWidget* currentList = nullptr;
    QMdiArea* workspace = nullptr;
    QString mulDir;

    // The change set: applied edits not yet written to the game's files.
    qm::ChangeSet changes;
    QMap<int, QImage>& landImages = changes.images[0];
    QMap<int, QImage>& staticImages = changes.images[1];
    QMap<int, QImage>& gumpImages = changes.images[2];
    QMap<int, QImage>& textureImages = changes.images[3];
    QMap<int, qm::tile_struct>& landTiles = changes.tiles[0];
    QMap<int, qm::tile_struct>& staticTiles = changes.tiles[1];
    QMap<int, qm::anim_st>& animEntries = changes.animEntries;

    // Ids without a list entry, per catalogue; the smallest is handed out first.
    std::set<quint32> freeIds[4];

    // False when tiledata.mul is of a layout this program cannot write; tile pages are then
    // read-only and Save leaves the file alone.
    bool tileDataWritable = true;
    // Set by a Save step that failed, so that the Save command runs no later step.
    bool saveFailed = false;
    // Which index files setFiles could read; Save refuses to rewrite a pair whose list is
    // empty only because its index could not be read.
    bool catalogueRead[4] = {};
    // The index files as the lists were read from them (or last saved): Save refuses to write
    // lists that another program's change to the index has made stale.
    qm::FileStamp indexStamp[4];

    // The list of a catalogue, by ItemKind; nullptr for anything else.
    QTreeWidget* listForKind(int kind) const;
    // The ids listed in a catalogue, ascending.
    QVector<int> listedIds(int kind) const;

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

signals:
    void updateImage(int, int, QImage&);
    void deleteWidget(int, int);
    void tileChange(int, int, qm::tile_struct&);
    void changeAnim(int, qm::anim_st&);

protected slots:
    virtual void languageChange();

protected:
    // Before the directory's index files are read: finishes or undoes what an interrupted
    // Save left behind, and checks that tiledata.mul has a layout we can write.
    virtual void checkDataDirectory();
    // Tells the user why a Save step failed and marks the Save as failed.
    void reportSaveFailure(const QString& error);
    // The gump or texture step of Save, showing `status` while it writes.
    void saveImageStep(int kind, const QString& status);

private:
    void init();
    bool listsStillCurrent(int kind, QString* error) const;
    void buildActions();
    void buildMenus();
    void connectSignals();
    QTreeWidget* makeList(QWidget* page, QHBoxLayout* layout, const char* name);
    void fillList(QTreeWidget* list, const QVector<int>& ids);
};
