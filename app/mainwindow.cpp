#include "mainwindow.h"

#include "cataloguegridview.h"
#include "cataloguepane.h"
#include "cataloguepanes.h"
#include "comparecommand.h"
#include "itemwindowset.h"
#include "huespane.h"
#include "huewindowset.h"
#include "patchcommands.h"
#include "picturebatches.h"
#include "recentdirectories.h"
#include "savecommand.h"
#include "uodir.h"
#include "windowstate.h"

#include <QAction>
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
#include <QTreeView>

using namespace qm;

// The built-in images live in this static library; make sure the linker keeps them.
static void initImageCollection()
{
    Q_INIT_RESOURCE(images);
}

namespace {

// The lists are views over each catalogue's rows: 65,536 rows cost no item objects.
QTreeView* makeList(QWidget* page, const char* name)
{
    auto* list = new QTreeView(page);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);   // 65,536 rows: let the view skip measuring each one
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);   // several for batch export
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSortIndicatorShown(true);
    list->header()->setSectionsClickable(true);
    list->setSortingEnabled(true);
    return list;
}

} // namespace

mainwindow::mainwindow(QWidget* parent, const char* name, Qt::WindowFlags fl)
    : QMainWindow(parent, fl)
    , m_session(new EditSession(this))
    , mulDir(m_session->directory())
    , landImages(m_session->changes().images[Land])
    , staticImages(m_session->changes().images[Static])
    , gumpImages(m_session->changes().images[Gump])
    , textureImages(m_session->changes().images[Texture])
    , landTiles(m_session->changes().tiles[Land])
    , staticTiles(m_session->changes().tiles[Static])
    , animEntries(m_session->changes().animEntries)
    , freeIds(m_session->freeIdSets())
{
    initImageCollection();
    statusBar();
    setObjectName(name ? QString::fromLatin1(name) : QStringLiteral("mainwindow"));
    setWindowIcon(QIcon(QStringLiteral(":/images/qm.png")));

    buildWidgets();
    buildActions();
    buildCollaborators();
    buildMenus();
    languageChange();

    const QSize hint = minimumSizeHint();
    resize(QSize(778, 588).expandedTo(hint));

    connectSignals();
    connectSession();
    init();
    restoreWindowState(this, splitter1, tabSelect);
}

mainwindow::~mainwindow()
{
    // The session outlives this part of the window (it is its child): what it announces
    // while it is destroyed must not reach the half-destroyed window or its collaborators.
    m_session->disconnect();
    m_panes->detachSession();
}

void mainwindow::buildWidgets()
{
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
    const char* pageNames[4] = { "tab", "tab_2", "TabPage", "TabPage_2" };
    const char* layoutNames[4] = { "tabLayout", "tabLayout_2", "TabPageLayout", "TabPageLayout_2" };
    const char* listNames[4] = { "listLand", "listStatic", "listGump", "listTexture" };
    QWidget* pages[4];
    QHBoxLayout* layouts[4];
    QTreeView* lists[4];
    for (int i = 0; i < 4; ++i) {
        pages[i] = new QWidget(tabSelect);
        pages[i]->setObjectName(QString::fromLatin1(pageNames[i]));
        layouts[i] = new QHBoxLayout(pages[i]);
        layouts[i]->setObjectName(QString::fromLatin1(layoutNames[i]));
        layouts[i]->setContentsMargins(11, 11, 11, 11);
        layouts[i]->setSpacing(6);
        lists[i] = makeList(pages[i], listNames[i]);
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

    // Made here rather than in init() so that the item windows' keeper holds it from the
    // start; init() lays it into frmWork.
    workspace = new QMdiArea(frmWork);
    workspace->setObjectName(QStringLiteral("workspace"));
    // With scroll bars the workspace need not fit every item window, so opening one never
    // makes the main window grow past the screen.
    workspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    workspace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void mainwindow::buildCollaborators()
{
    QTreeView* const lists[kItemKindCount] = { listLand, listStatic, listGump, listTexture };
    QBoxLayout* const layouts[kItemKindCount] = { tabLayout, tabLayout_2, TabPageLayout, TabPageLayout_2 };
    m_panes = new CataloguePanes(*m_session, lists, layouts, this);
    m_items = new ItemWindows(workspace,
                              [this](myWidget* editor, int kind, int id) { prepareItemWindow(editor, kind, id); }, this);
    auto status = [this](const QString& text) { showStatus(text); };
    m_save = new SaveCommand(*m_session, this, status, this);
    m_batches = new PictureBatches(*m_session, *m_panes, this, status, this);
    m_patches = new PatchCommands(*m_session, *m_panes, this, status, this);
    m_recent = new RecentDirectories(this);
    m_compare = new CompareCommand(*m_session, *this, *m_items, status, this);

    // Hues are no catalogue of items: their tab comes after the four and opens hue windows.
    auto* hues = new HuesPane(*m_session, tabSelect);
    hues->setObjectName(QStringLiteral("huesPane"));
    tabSelect->addTab(hues, QStringLiteral("Hues"));
    m_panes->setHuesPane(hues);
    auto* hueWindows = new HueWindows(*m_session, workspace, this);
    hueWindows->setObjectName(QStringLiteral("hueWindows"));
    connect(hues, &HuesPane::hueActivated, hueWindows, &HueWindows::open);
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
    fileOpenAction = make("fileOpenAction", "datadir");
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
    Toolbar->addAction(m_panes->viewGridAction());
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
    recentMenu = fileMenu->addMenu(QString());
    recentMenu->setObjectName(QStringLiteral("recentDirectoriesMenu"));
    fileMenu->addAction(fileSaveAction);
    fileMenu->addAction(m_compare->action());
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
    viewMenu->addAction(m_panes->viewGridAction());
    viewMenu->addAction(m_panes->viewScaleUpAction());
    viewMenu->addAction(m_panes->previewHueAction());
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
    // The File menu's entries told apart by what they act on; their texts stay as they are.
    auto tip = [](QAction* a, const QString& text) {
        a->setStatusTip(text);
        a->setToolTip(text);
    };
    tip(popInsert, tr("Create a new item in the current catalogue"));
    tip(popEdit, tr("Open the selected item"));
    tip(popDelete, tr("Delete the selected items"));
    tip(popImport, tr("Import a patch file (.qmp) into the current catalogue"));
    tip(popExport, tr("Export the selected item as a patch file (.qmp)"));
    tip(fileOpenAction, tr("Choose the data directory"));
    tip(fileSaveAction, tr("Write every edit to the data directory"));
    tip(fileExitAction, tr("Close the program"));
    recentMenu->setTitle(tr("Recent Directories"));
    recentMenu->menuAction()->setStatusTip(tr("Open one of the data directories used last"));
    m_panes->retranslate();
    m_batches->retranslate();

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
    for (QTreeView* list : { listLand, listGump, listStatic, listTexture }) {
        connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& pos) {
            actPopup(list->indexAt(pos), list->viewport()->mapToGlobal(pos));
        });
    }
    for (QTreeView* list : { listLand, listGump, listStatic, listTexture })
        connect(list, &QAbstractItemView::doubleClicked, this, &mainwindow::listDouble);
    connect(popImport, &QAction::triggered, this, &mainwindow::fileImport);
    connect(popExport, &QAction::triggered, this, &mainwindow::fileExport);
    connect(editSortAction, &QAction::triggered, this, &mainwindow::editSort);
    connect(editSettingsAction, &QAction::triggered, this, &mainwindow::editSettings);

    connect(m_panes, &CataloguePanes::itemActivated, m_items, &ItemWindows::open);
    connect(m_panes, &CataloguePanes::menuRequested, this, [this](const QPoint& at) { actPopup(QModelIndex(), at); });
    connect(m_panes, &CataloguePanes::deleteRequested, this, &mainwindow::selDelete);
    connect(m_panes, &CataloguePanes::openRequested, this, &mainwindow::selEdit);
    connect(m_panes, &CataloguePanes::selectionChanged, this, &mainwindow::showSelectedItem);
    connect(recentMenu, &QMenu::aboutToShow, this, [this] { m_recent->fillMenu(recentMenu); });
    connect(m_recent, &RecentDirectories::chosen, this, [this](const QString& dir) { changeDirectory(dir); });
    connect(m_items, &ItemWindows::windowChosen, this, &mainwindow::windowsMenuActivated);
    // Picture files dropped onto a list row or a grid cell.
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        m_batches->acceptDrops(listForKind(kind), kind);
        connect(paneForKind(kind)->grid()->view(), &CatalogueGridView::pictureDropped, m_batches,
                &PictureBatches::dropPicture);
    }
}

void mainwindow::init()
{
    connect(windowsMenu, &QMenu::aboutToShow, this, &mainwindow::mdiList);

    auto* workLayout = new QHBoxLayout(frmWork);
    workLayout->setContentsMargins(0, 0, 0, 0);
    workLayout->addWidget(workspace);

    itemMenu = new QMenu(this);
    itemMenu->setObjectName(QStringLiteral("itemMenu"));
    itemMenu->addAction(popInsert);
    itemMenu->addAction(popEdit);
    itemMenu->addAction(popDelete);
    itemMenu->addAction(popImport);
    itemMenu->addAction(popExport);
    // Beside the one-item Import and Export, in the File menu and the list's menu.
    for (QMenu* menu : { fileMenu, itemMenu })
        m_batches->addActionsAfter(menu, popExport);

    openDirectory(readUODir());
}

CataloguePane* mainwindow::paneForKind(int kind) const
{
    return m_panes->pane(kind);
}

ThumbnailCache* mainwindow::thumbnails() const
{
    return m_panes->thumbnails();
}

bool mainwindow::lastSaveFailed() const
{
    return m_save->failed();
}

QTreeView* mainwindow::listForKind(int kind) const
{
    switch (kind) {
    case 0: return listLand;
    case 1: return listStatic;
    case 2: return listGump;
    case 3: return listTexture;
    default: return nullptr;
    }
}

void mainwindow::showStatus(const QString& text)
{
    statusBar()->showMessage(text);
}
