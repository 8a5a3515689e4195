#include "mainwindow.h"

#include "artcodec.h"
#include "cataloguepane.h"
#include "dialogs.h"
#include "indexfile.h"
#include "mylistitem.h"
#include "mywidget.h"
#include "pixels.h"
#include "sessionsave.h"
#include "thumbnailcache.h"
#include "thumbnailsource.h"
#include "uodir.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

using namespace qm;

// The built-in images live in this static library; make sure the linker keeps them.
static void initImageCollection()
{
    Q_INIT_RESOURCE(images);
}

mainwindow::mainwindow(QWidget* parent, const char* name, Qt::WindowFlags fl)
    : QMainWindow(parent, fl)
    , session(new EditSession(this))
    , mulDir(session->directory())
    , changes(session->changes())
    , freeIds(session->freeIdSets())
    , m_pictures(std::make_shared<ThumbnailSource>())
{
    initImageCollection();
    statusBar();
    setObjectName(name ? QString::fromLatin1(name) : QStringLiteral("mainwindow"));
    setWindowIcon(QIcon(QStringLiteral(":/images/qm.png")));

    qt_central_widget = new QWidget(this);
    qt_central_widget->setObjectName(QStringLiteral("qt_central_widget"));
    mainwindowLayout = new QHBoxLayout(qt_central_widget);
    mainwindowLayout->setObjectName(QStringLiteral("mainwindowLayout"));
    mainwindowLayout->setContentsMargins(11, 11, 11, 11);
    mainwindowLayout->setSpacing(6);

    splitter1 = new QSplitter(Qt::Horizontal, qt_central_widget);
    splitter1->setObjectName(QStringLiteral("splitter1"));

    tabSelect = new QTabWidget(splitter1);
    tabSelect->setObjectName(QStringLiteral("tabSelect"));
    // One cache for the four grids, decoding on worker threads from what the session serves.
    m_thumbnails = new ThumbnailCache([pictures = m_pictures](int kind, int id) { return pictures->picture(kind, id); }, this);
    const char* pageNames[4] = { "tab", "tab_2", "TabPage", "TabPage_2" };
    const char* layoutNames[4] = { "tabLayout", "tabLayout_2", "TabPageLayout", "TabPageLayout_2" };
    const char* listNames[4] = { "listLand", "listStatic", "listGump", "listTexture" };
    QWidget* pages[4];
    QHBoxLayout* layouts[4];
    QTreeWidget* lists[4];
    for (int i = 0; i < 4; ++i) {
        pages[i] = new QWidget(tabSelect);
        pages[i]->setObjectName(QString::fromLatin1(pageNames[i]));
        layouts[i] = new QHBoxLayout(pages[i]);
        layouts[i]->setObjectName(QString::fromLatin1(layoutNames[i]));
        layouts[i]->setContentsMargins(11, 11, 11, 11);
        layouts[i]->setSpacing(6);
        lists[i] = makeList(pages[i], listNames[i]);
        m_panes[i] = new CataloguePane(i, lists[i], m_thumbnails, pages[i]);
        layouts[i]->addWidget(m_panes[i]);
        tabSelect->addTab(pages[i], QString());
    }
    tab = pages[0];
    tab_2 = pages[1];
    TabPage = pages[2];
    TabPage_2 = pages[3];
    tabLayout = layouts[0];
    tabLayout_2 = layouts[1];
    TabPageLayout = layouts[2];
    TabPageLayout_2 = layouts[3];
    listLand = lists[0];
    listStatic = lists[1];
    listGump = lists[2];
    listTexture = lists[3];

    frmWork = new QFrame(splitter1);
    frmWork->setObjectName(QStringLiteral("frmWork"));
    frmWork->setFrameShape(QFrame::StyledPanel);
    frmWork->setFrameShadow(QFrame::Raised);
    splitter1->setStretchFactor(1, 1);

    mainwindowLayout->addWidget(splitter1);
    setCentralWidget(qt_central_widget);

    buildActions();
    buildMenus();
    languageChange();

    const QSize hint = minimumSizeHint();
    resize(QSize(778, 588).expandedTo(hint));

    connectSignals();
    connectSession();
    init();
    setUpPictureBatches();
}

mainwindow::~mainwindow()
{
    // The session and its history outlive this part of the window (they are its children):
    // what they announce while they are destroyed must not reach the half-destroyed window.
    session->disconnect(this);
}

QTreeWidget* mainwindow::makeList(QWidget* page, const char* name)
{
    auto* list = new QTreeWidget(page);
    list->setObjectName(QString::fromLatin1(name));
    list->setColumnCount(1);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true); // 65,536 rows: let the view skip measuring each one
    list->setSelectionMode(QAbstractItemView::ExtendedSelection); // several for batch export
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setSortIndicatorShown(true);
    list->header()->setSectionsClickable(true);
    list->setSortingEnabled(true);
    list->sortByColumn(0, Qt::AscendingOrder);
    return list;
}

void mainwindow::buildActions()
{
    auto make = [this](const char* name, const char* icon) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        if (icon)
            a->setIcon(QIcon(QStringLiteral(":/images/") + QString::fromLatin1(icon)));
        return a;
    };
    fileNewAction = make("fileNewAction", "filenew");
    fileOpenAction = make("fileOpenAction", "fileopen");
    fileSaveAction = make("fileSaveAction", "filesave");
    fileSaveAsAction = make("fileSaveAsAction", nullptr);
    filePrintAction = make("filePrintAction", "print");
    fileExitAction = make("fileExitAction", nullptr);
    editUndoAction = make("editUndoAction", "undo");
    editRedoAction = make("editRedoAction", "redo");
    editCutAction = make("editCutAction", "editcut");
    editCopyAction = make("editCopyAction", "editcopy");
    editPasteAction = make("editPasteAction", "editpaste");
    editFindAction = make("editFindAction", "searchfind");
    helpContentsAction = make("helpContentsAction", nullptr);
    helpIndexAction = make("helpIndexAction", nullptr);
    helpAboutAction = make("helpAboutAction", nullptr);
    popInsert = make("popInsert", "filenew");
    popEdit = make("popEdit", "fileopen");
    popDelete = make("popDelete", nullptr);
    popImport = make("popImport", nullptr);
    popExport = make("popExport", nullptr);
    editSortAction = make("editSortAction", nullptr);
    editSettingsAction = make("editSettingsAction", nullptr);
    viewGridAction = make("viewGridAction", nullptr);
    viewGridAction->setCheckable(true);
}

void mainwindow::buildMenus()
{
    Toolbar = new QToolBar(this);
    addToolBar(Qt::TopToolBarArea, Toolbar);
    Toolbar->addAction(fileSaveAction);
    Toolbar->addSeparator();
    Toolbar->addAction(editUndoAction);
    Toolbar->addAction(editRedoAction);
    Toolbar->addSeparator();
    Toolbar->addAction(viewGridAction);
    Toolbar->addSeparator();
    Toolbar->addAction(helpAboutAction);

    MenuBar = menuBar();
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    fileMenu = new QMenu(this);
    fileMenu->addAction(popInsert);
    fileMenu->addAction(popEdit);
    fileMenu->addAction(popDelete);
    fileMenu->addAction(popImport);
    fileMenu->addAction(popExport);
    fileMenu->addSeparator();
    fileMenu->addAction(fileOpenAction);
    fileMenu->addAction(fileSaveAction);
    fileMenu->addSeparator();
    fileMenu->addAction(fileExitAction);
    MenuBar->addMenu(fileMenu);

    editMenu = new QMenu(this);
    editMenu->addAction(editUndoAction);
    editMenu->addAction(editRedoAction);
    editMenu->addSeparator();
    editMenu->addAction(editCopyAction);
    editMenu->addAction(editPasteAction);
    editMenu->addSeparator();
    editMenu->addAction(editFindAction);
    editMenu->addAction(editSortAction);
    editMenu->addSeparator();
    editMenu->addAction(editSettingsAction);
    MenuBar->addMenu(editMenu);

    viewMenu = new QMenu(this);
    viewMenu->addAction(viewGridAction);
    MenuBar->addMenu(viewMenu);

    windowsMenu = new QMenu(this);
    MenuBar->addMenu(windowsMenu);

    helpMenu = new QMenu(this);
    helpMenu->addAction(helpAboutAction);
    MenuBar->addMenu(helpMenu);
}

void mainwindow::languageChange()
{
    updateTitle();
    tabSelect->setTabText(0, tr("Land"));
    tabSelect->setTabText(1, tr("Static"));
    tabSelect->setTabText(2, tr("Gump"));
    tabSelect->setTabText(3, tr("Texture"));
    for (int kind = 0; kind < kItemKindCount; ++kind)
        listForKind(kind)->setHeaderLabels(hasTileData(kind) ? QStringList { tr("ID"), tr("Name") }
                                                             : QStringList { tr("ID") });

    // Menu entries show the menu text where there is one; the tool bar shows the text.
    auto set = [](QAction* a, const QString& text, const QString& menuText,
                  const QKeySequence& key = QKeySequence()) {
        a->setIconText(text);
        a->setText(menuText.isEmpty() ? text : menuText);
        a->setShortcut(key);
    };
    set(fileNewAction, tr("New"), tr("&New"));
    set(fileOpenAction, tr("Open"), tr("&Open..."), QKeySequence(tr("Ctrl+O")));
    set(fileSaveAction, tr("Save"), tr("&Save"), QKeySequence(tr("Ctrl+S")));
    set(fileSaveAsAction, tr("Save As"), tr("Save &As..."));
    set(filePrintAction, tr("Print"), tr("&Print..."), QKeySequence(tr("Ctrl+P")));
    set(fileExitAction, tr("Exit"), tr("E&xit"));
    set(editUndoAction, tr("Undo"), tr("&Undo"), QKeySequence(tr("Ctrl+Z")));
    set(editRedoAction, tr("Redo"), tr("&Redo"), QKeySequence(tr("Ctrl+Y")));
    editRedoAction->setShortcuts({ QKeySequence(tr("Ctrl+Y")), QKeySequence(tr("Ctrl+Shift+Z")) });
    set(editCutAction, tr("Cut"), tr("Cu&t"), QKeySequence(tr("Ctrl+X")));
    set(editCopyAction, tr("Copy"), tr("&Copy"), QKeySequence(tr("Ctrl+C")));
    set(editPasteAction, tr("Paste"), tr("&Paste"), QKeySequence(tr("Ctrl+V")));
    set(editFindAction, tr("Find"), tr("&Find..."), QKeySequence(tr("Ctrl+F")));
    set(helpContentsAction, tr("Contents"), tr("&Contents..."));
    set(helpIndexAction, tr("Index"), tr("&Index..."));
    set(helpAboutAction, tr("&About"), tr("&About"));
    set(popInsert, tr("New"), QString());
    set(popEdit, tr("Open"), QString());
    set(popDelete, tr("Delete"), QString());
    set(popImport, tr("Import"), QString());
    set(popExport, tr("Export"), QString());
    set(editSortAction, tr("Sort"), tr("Sort"));
    set(editSettingsAction, tr("Settings"), tr("Settings"));
    set(viewGridAction, tr("Thumbnails"), tr("&Thumbnail Grid"), QKeySequence(tr("Ctrl+G")));
    viewGridAction->setToolTip(tr("Show the catalogue as a grid of pictures or as a list of ids"));

    Toolbar->setWindowTitle(tr("Tools"));
    fileMenu->setTitle(tr("&File"));
    editMenu->setTitle(tr("&Edit"));
    viewMenu->setTitle(tr("&View"));
    windowsMenu->setTitle(tr("&Window"));
    helpMenu->setTitle(tr("&Help"));
    updateUndoActions();
}

void mainwindow::connectSignals()
{
    const struct {
        QAction* action;
        void (mainwindow::*slot)();
    } actions[] = {
        { fileNewAction, &mainwindow::fileNew },       { fileOpenAction, &mainwindow::fileOpen },
        { fileSaveAction, &mainwindow::fileSave },     { fileSaveAsAction, &mainwindow::fileSaveAs },
        { filePrintAction, &mainwindow::filePrint },   { fileExitAction, &mainwindow::fileExit },
        { editUndoAction, &mainwindow::editUndo },     { editRedoAction, &mainwindow::editRedo },
        { editCutAction, &mainwindow::editCut },       { editCopyAction, &mainwindow::editCopy },
        { editPasteAction, &mainwindow::editPaste },   { editFindAction, &mainwindow::editFind },
        { helpIndexAction, &mainwindow::helpIndex },   { helpContentsAction, &mainwindow::helpContents },
        { helpAboutAction, &mainwindow::helpAbout },   { popDelete, &mainwindow::selDelete },
        { popEdit, &mainwindow::selEdit },             { popInsert, &mainwindow::selInsert },
    };
    for (const auto& a : actions)
        connect(a.action, &QAction::triggered, this, a.slot);

    connect(tabSelect, &QTabWidget::currentChanged, this,
            [this](int index) { tabChanged(tabSelect->widget(index)); });
    for (QTreeWidget* list : { listLand, listGump, listStatic, listTexture }) {
        connect(list, &QTreeWidget::customContextMenuRequested, this, [this, list](const QPoint& pos) {
            actPopup(list->itemAt(pos), list->viewport()->mapToGlobal(pos));
        });
    }
    for (QTreeWidget* list : { listLand, listGump, listStatic, listTexture }) {
        connect(list, &QTreeWidget::itemDoubleClicked, this,
                [this](QTreeWidgetItem* item, int) { listDouble(item); });
    }
    connect(popImport, &QAction::triggered, this, &mainwindow::fileImport);
    connect(popExport, &QAction::triggered, this, &mainwindow::fileExport);
    connect(editSortAction, &QAction::triggered, this, &mainwindow::editSort);
    connect(editSettingsAction, &QAction::triggered, this, &mainwindow::editSettings);
    connectPanes();
}

void mainwindow::init()
{
    connect(windowsMenu, &QMenu::aboutToShow, this, &mainwindow::mdiList);

    auto* workLayout = new QHBoxLayout(frmWork);
    workLayout->setContentsMargins(0, 0, 0, 0);
    workspace = new QMdiArea(frmWork);
    workspace->setObjectName(QStringLiteral("workspace"));
    // With scroll bars the workspace need not fit every editor window, so opening one never
    // makes the main window grow past the screen.
    workspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    workspace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    workLayout->addWidget(workspace);

    itemMenu = new QMenu(this);
    itemMenu->setObjectName(QStringLiteral("itemMenu"));
    itemMenu->addAction(popInsert);
    itemMenu->addAction(popEdit);
    itemMenu->addAction(popDelete);
    itemMenu->addAction(popImport);
    itemMenu->addAction(popExport);

    openDirectory(readUODir());
}

CataloguePane* mainwindow::paneForKind(int kind) const
{
    return isValidKind(kind) ? m_panes[kind] : nullptr;
}

QTreeWidget* mainwindow::listForKind(int kind) const
{
    switch (kind) {
    case 0: return listLand;
    case 1: return listStatic;
    case 2: return listGump;
    case 3: return listTexture;
    default: return nullptr;
    }
}

void mainwindow::actPopup(QTreeWidgetItem*, const QPoint& p)
{
    Dialogs::get().execMenu(itemMenu, p);
}

void mainwindow::selEdit()
{
    // Collected first: opening an item window must not disturb the selection being read.
    const QVector<int> ids = currentPane() ? currentPane()->selectedIds() : QVector<int>();
    for (int id : ids)
        openItem(currentKind, id);
}

void mainwindow::editSort()
{
    currentList->sortItems(currentList->sortColumn(), currentList->header()->sortIndicatorOrder());
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

void mainwindow::editUndo()
{
    session->undo();
}

void mainwindow::editRedo()
{
    session->redo();
}

void mainwindow::rcvImage(int type, int tid, QImage& nimage)
{
    if (!isValidKind(type))
        return;
    // An item window sends a null picture for an item whose picture the user removed.
    QString error;
    const bool ok = nimage.isNull() ? session->emptyImage(ItemKind(type), tid, &error)
                                    : session->setImage(ItemKind(type), tid, nimage.copy(), &error);
    if (!ok)
        refuseEdit(ItemKind(type), tid, error);
}

void mainwindow::rcvTile(int type, int id, tile_struct& data)
{
    if (!hasTileData(type))
        return;
    QString error;
    if (!session->setTile(ItemKind(type), id, data, &error))
        refuseEdit(ItemKind(type), id, error);
}

void mainwindow::updateAnim(int id, anim_st& data)
{
    QString error;
    if (!session->setAnim(id, data, &error))
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
        QImage image = session->image(kind, id);
        emit updateImage(kind, id, image);
    }
    if ((parts & TilePart) && hasTileData(kind)) {
        tile_struct tile = session->tile(kind, id);
        emit tileChange(kind, id, tile);
    }
    if ((parts & AnimPart) && kind == Static) {
        anim_st anim = session->anim(id);
        emit changeAnim(id, anim);
    }
}

void mainwindow::editSettings()
{
    QString dir = Dialogs::get()
                      .getExistingDirectory(this, tr("Mul File Directory"), mulDir)
                      .simplified();
    if (dir.isEmpty())
        return;
    if (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    if (dir == mulDir)
        return;
    // The item windows and the edits belong to the old directory: each question's Cancel
    // keeps everything as it was.
    if (!mayCloseItemWindows() || !maybeSave())
        return;
    for (myWidget* editor : itemWindows())
        editor->close();
    statusBar()->showMessage(tr("Setting UODir to ") + dir);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    writeUODir(dir);
    openDirectory(dir);
    // The commands act on the list the user sees.
    tabSelect->setCurrentIndex(0);
    statusBar()->showMessage(tr("Ready"));
    QApplication::restoreOverrideCursor();
}

// Decoders, readers and encoders delegate to the core library.
QImage mainwindow::getLand(int id) { return session->image(Land, id); }
QImage mainwindow::getStatic(int id) { return session->image(Static, id); }
QImage mainwindow::getGump(int id) { return session->image(Gump, id); }
QImage mainwindow::getTexture(int id) { return session->image(Texture, id); }
tile_struct mainwindow::getTile(int kind, int id) { return hasTileData(kind) ? session->tile(ItemKind(kind), id) : tile_struct(); }
anim_st mainwindow::getAnim(int id) { return session->anim(id); }
QByteArray mainwindow::encodeLand(QImage& image) { return ::encodeLand(image); }
QByteArray mainwindow::encodeStatic(QImage& image) { return ::encodeStatic(image); }
QByteArray mainwindow::encodeGump(QImage& image) { return ::encodeGump(image); }
QByteArray mainwindow::encodeTexture(QImage& image) { return ::encodeTexture(image); }
QRgb mainwindow::color16ToRgb(qint16 c) { return ::color16ToRgb(c); }
quint16 mainwindow::rgbToColor16(QRgb rgb) { return ::rgbToColor16(rgb); }
QImage mainwindow::fillImage(QImage& image, QRgb rgb) { return ::fillImage(image, rgb); }
