// Browsing the catalogues: each tab's filter box, id list and thumbnail grid, kept in step
// with the session, and the view settings the program remembers.
#include "cataloguepanes.h"

#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "cataloguepane.h"
#include "editsession.h"
#include "huespane.h"
#include "previewhue.h"
#include "picturesnapshot.h"
#include "thumbnailcache.h"

#include <QAction>
#include <QBoxLayout>
#include <QKeySequence>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QShortcut>
#include <QTreeView>

using namespace qm;

namespace {

// The same place as the data directory setting.
QSettings programSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brindlewood"));
}

QString gridSettingKey(int kind)
{
    return QStringLiteral("View/Grid/") + kindName(kind);
}

const QString kCellSizeKey = QStringLiteral("View/CellSize");
const QString kScaleUpKey = QStringLiteral("View/ScaleUpSmallPictures");

} // namespace

// What the decoder threads hold: the session while it is there. A decode takes the session's
// snapshot of the moment and decodes from that, outside any lock.
struct CataloguePanes::Pictures {
    mutable QMutex lock;
    const EditSession* session = nullptr;
    std::shared_ptr<const PreviewHue> hue;   // null: stored colours

    QImage picture(int kind, int id) const
    {
        std::shared_ptr<const PictureSnapshot> now;
        std::shared_ptr<const PreviewHue> hued;
        {
            QMutexLocker locker(&lock);
            if (session)
                now = session->pictureSnapshot();
            hued = hue;
        }
        if (!now || !isValidKind(kind))
            return QImage();
        if (!hued)
            return now->picture(ItemKind(kind), id);
        return now->huedPicture(ItemKind(kind), id, hued->colours, hued->modeOf(kind, id));
    }
};

CataloguePanes::CataloguePanes(EditSession& session, QTreeView* const (&lists)[kItemKindCount],
                               QBoxLayout* const (&layouts)[kItemKindCount], QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_pictures(std::make_shared<Pictures>())
    , m_viewGrid(new QAction(this))
    , m_viewScaleUp(new QAction(this))
    , m_previewHueAction(new QAction(this))
{
    m_previewHueAction->setObjectName(QStringLiteral("viewPreviewHueAction"));
    connect(m_previewHueAction, &QAction::triggered, this, &CataloguePanes::choosePreviewHue);
    // One cache for the four grids, decoding on worker threads from what the session serves.
    m_thumbnails = new ThumbnailCache([pictures = m_pictures](int kind, int id) { return pictures->picture(kind, id); }, this);
    m_viewGrid->setObjectName(QStringLiteral("viewGridAction"));
    m_viewGrid->setCheckable(true);

    const QSettings settings = programSettings();
    const int cell = settings.value(kCellSizeKey, 64).toInt();
    m_viewScaleUp->setObjectName(QStringLiteral("viewScaleUpAction"));
    m_viewScaleUp->setCheckable(true);
    m_viewScaleUp->setChecked(settings.value(kScaleUpKey, true).toBool());
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        auto* pane = new CataloguePane(kind, lists[kind], m_thumbnails, layouts[kind]->parentWidget());
        m_panes[kind] = pane;
        layouts[kind]->addWidget(pane);
        connect(pane, &CataloguePane::itemActivated, this, &CataloguePanes::itemActivated);
        connect(pane, &CataloguePane::menuRequested, this, &CataloguePanes::menuRequested);
        connect(pane, &CataloguePane::openRequested, this, &CataloguePanes::openRequested);
        connect(pane, &CataloguePane::selectionChanged, this, [this, kind] { emit selectionChanged(kind); });
        // Delete in either view, as the menu's Delete.
        auto* del = new QShortcut(QKeySequence::Delete, pane, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(del, &QShortcut::activated, this, &CataloguePanes::deleteRequested);

        // The grids share one cache, so they share one cell size.
        CatalogueGridView* view = pane->grid()->view();
        view->setCellSize(cell);
        view->setScalesSmallPictures(m_viewScaleUp->isChecked());
        connect(view, &CatalogueGridView::cellSizeChanged, this, [this](int pixels) {
            for (CataloguePane* other : m_panes)
                other->grid()->view()->setCellSize(pixels);
            programSettings().setValue(kCellSizeKey, pixels);
        });
        pane->setShowsGrid(settings.value(gridSettingKey(kind), false).toBool());
    }
    m_viewGrid->setChecked(m_panes[Land]->showsGrid());
    connect(m_viewGrid, &QAction::toggled, this, &CataloguePanes::showGrid);
    connect(m_viewScaleUp, &QAction::toggled, this, [this](bool on) {
        for (CataloguePane* pane : m_panes)
            pane->grid()->view()->setScalesSmallPictures(on);
        programSettings().setValue(kScaleUpKey, on);
    });

    // The lists and grids follow the catalogues through their panes' models.
    connect(&session, &EditSession::itemListed, this,
            [this](ItemKind kind, int id) { m_panes[kind]->model()->insertId(id); });
    connect(&session, &EditSession::itemUnlisted, this,
            [this](ItemKind kind, int id) { m_panes[kind]->model()->removeId(id); });
    connect(&session, &EditSession::itemChanged, this, &CataloguePanes::followItem);
    connect(&session, &EditSession::saved, this, &CataloguePanes::followSave);
    // The preview hue is drawn as edited: an edit of it re-hues every thumbnail.
    connect(&session, &EditSession::hueChanged, this, [this](int number) {
        if (number == m_previewHue)
            setPreviewHue(number);
    });
    m_pictures->session = &session;
}

CataloguePanes::~CataloguePanes()
{
    detachSession();
}

void CataloguePanes::detachSession()
{
    QMutexLocker locker(&m_pictures->lock);
    m_pictures->session = nullptr;
}

void CataloguePanes::retranslate()
{
    m_viewGrid->setIconText(tr("Thumbnails"));
    m_viewGrid->setText(tr("&Thumbnail Grid"));
    m_viewGrid->setShortcut(QKeySequence(tr("Ctrl+G")));
    m_viewGrid->setToolTip(tr("Show the catalogue as a grid of pictures or as a list of ids"));
    m_viewScaleUp->setText(tr("&Enlarge Small Pictures"));
    m_viewScaleUp->setToolTip(tr("Show small pictures in the grid two, three or more times larger when the cells have room"));
    m_viewScaleUp->setStatusTip(m_viewScaleUp->toolTip());
    m_previewHueAction->setText(tr("Preview &Hue..."));
    m_previewHueAction->setToolTip(tr("Draw every thumbnail with one hue, as the game would; 0 shows the stored colours"));
}

CataloguePane* CataloguePanes::pane(int kind) const
{
    return isValidKind(kind) ? m_panes[kind] : nullptr;
}

void CataloguePanes::setCurrentKind(ItemKind kind)
{
    m_current = kind;
    // The pictures asked for by the tab left behind are no longer wanted.
    m_thumbnails->cancelQueued();
    const QSignalBlocker quiet(m_viewGrid);
    m_viewGrid->setChecked(m_panes[kind]->showsGrid());
}

void CataloguePanes::setHuesPane(HuesPane* pane)
{
    m_huesPane = pane;
    pane->setShowsGrid(programSettings().value(QStringLiteral("View/Grid/Hues"), false).toBool());
}

void CataloguePanes::setHuesShown(bool shown)
{
    m_huesShown = shown && m_huesPane;
    const QSignalBlocker quiet(m_viewGrid);
    m_viewGrid->setChecked(m_huesShown ? m_huesPane->showsGrid() : m_panes[m_current]->showsGrid());
}

void CataloguePanes::showGrid(bool grid)
{
    if (m_huesShown) {
        if (m_huesPane->showsGrid() != grid) {
            m_huesPane->setShowsGrid(grid);
            programSettings().setValue(QStringLiteral("View/Grid/Hues"), grid);
        }
        if (m_viewGrid->isChecked() != grid)
            m_viewGrid->setChecked(grid);
        return;
    }
    CataloguePane* current = m_panes[m_current];
    if (current->showsGrid() != grid) {
        current->setShowsGrid(grid);
        programSettings().setValue(gridSettingKey(m_current), grid);
    }
    if (m_viewGrid->isChecked() != grid)
        m_viewGrid->setChecked(grid);
}

QVector<int> CataloguePanes::selectedIds() const
{
    return m_panes[m_current]->selectedIds();
}

QVector<int> CataloguePanes::shownIds() const
{
    return m_panes[m_current]->model()->shownIds();
}

bool CataloguePanes::selectOnly(ItemKind kind, int id)
{
    return isValidKind(kind) && m_panes[kind]->selectOnly(id);
}

void CataloguePanes::reload()
{
    m_thumbnails->clear();
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        CatalogueGridModel* model = m_panes[kind]->model();
        // Names and flags are asked of the session when a row shows them or a filter needs
        // them: opening a directory reads no tile data.
        if (hasTileData(kind))
            model->setTileLookup([this, k = ItemKind(kind)](int id) { return m_session.tile(k, id); });
        const QVector<int> edited = m_session.editedIds(ItemKind(kind));
        model->setEditedIds(QSet<int>(edited.cbegin(), edited.cend()));
        model->setIds(m_session.listed(ItemKind(kind)));
    }
}

void CataloguePanes::resetViews()
{
    for (CataloguePane* pane : m_panes)
        pane->resetView();
}

void CataloguePanes::followItem(ItemKind kind, int id, int parts)
{
    CatalogueGridModel* model = m_panes[kind]->model();
    if (parts & ImagePart)
        model->pictureChanged(id);
    if ((parts & TilePart) && hasTileData(kind))
        model->setTileRecord(id, m_session.tile(kind, id));
    model->setEdited(id, m_session.isEdited(kind, id));
}

// The session announces each saved item (its mark goes), but Save rewrote whole files: every
// picture is read anew from them, as they are now.
void CataloguePanes::followSave()
{
    m_thumbnails->clear();
    for (CataloguePane* pane : m_panes)
        pane->grid()->view()->viewport()->update();
}

bool CataloguePanes::setPreviewHue(int hue)
{
    if (hue != 0 && !m_session.hues().contains(hue))
        return false;
    std::shared_ptr<const PreviewHue> preview;
    if (hue != 0)
        preview = std::make_shared<const PreviewHue>(hue, m_session.hue(hue), m_session.tileRecords(Static));
    {
        QMutexLocker locker(&m_pictures->lock);
        m_pictures->hue = preview;
    }
    m_previewHue = hue;
    m_thumbnails->clear();
    for (CataloguePane* pane : m_panes)
        pane->model()->cellSizeChanged();   // every cell asks for its thumbnail again
    return true;
}
