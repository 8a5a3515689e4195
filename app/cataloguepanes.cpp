// Browsing the catalogues: each tab's filter box, id list and thumbnail grid, kept in step
// with the session, and the view settings the program remembers.
#include "cataloguepanes.h"

#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "cataloguepane.h"
#include "editsession.h"
#include "thumbnailcache.h"
#include "thumbnailsource.h"
#include "tilecatalogue.h"

#include <QAction>
#include <QBoxLayout>
#include <QKeySequence>
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

} // namespace

CataloguePanes::CataloguePanes(EditSession& session, QTreeView* const (&lists)[kItemKindCount],
                               QBoxLayout* const (&layouts)[kItemKindCount], QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_pictures(std::make_shared<ThumbnailSource>())
    , m_viewGrid(new QAction(this))
{
    // One cache for the four grids, decoding on worker threads from what the session serves.
    m_thumbnails = new ThumbnailCache([pictures = m_pictures](int kind, int id) { return pictures->picture(kind, id); }, this);
    m_viewGrid->setObjectName(QStringLiteral("viewGridAction"));
    m_viewGrid->setCheckable(true);

    const QSettings settings = programSettings();
    const int cell = settings.value(kCellSizeKey, 64).toInt();
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        auto* pane = new CataloguePane(kind, lists[kind], m_thumbnails, layouts[kind]->parentWidget());
        m_panes[kind] = pane;
        layouts[kind]->addWidget(pane);
        connect(pane, &CataloguePane::itemActivated, this, &CataloguePanes::itemActivated);
        connect(pane, &CataloguePane::menuRequested, this, &CataloguePanes::menuRequested);
        // Delete in either view, as the menu's Delete.
        auto* del = new QShortcut(QKeySequence::Delete, pane, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(del, &QShortcut::activated, this, &CataloguePanes::deleteRequested);

        // The grids share one cache, so they share one cell size.
        CatalogueGridView* view = pane->grid()->view();
        view->setCellSize(cell);
        connect(view, &CatalogueGridView::cellSizeChanged, this, [this](int pixels) {
            for (CataloguePane* other : m_panes)
                other->grid()->view()->setCellSize(pixels);
            programSettings().setValue(kCellSizeKey, pixels);
        });
        pane->setShowsGrid(settings.value(gridSettingKey(kind), false).toBool());
    }
    m_viewGrid->setChecked(m_panes[Land]->showsGrid());
    connect(m_viewGrid, &QAction::toggled, this, &CataloguePanes::showGrid);

    // The lists and grids follow the catalogues through their panes' models.
    connect(&session, &EditSession::itemListed, this,
            [this](ItemKind kind, int id) { m_panes[kind]->model()->insertId(id); });
    connect(&session, &EditSession::itemUnlisted, this,
            [this](ItemKind kind, int id) { m_panes[kind]->model()->removeId(id); });
    connect(&session, &EditSession::itemChanged, this, &CataloguePanes::followItem);
}

CataloguePanes::~CataloguePanes() = default;

void CataloguePanes::retranslate()
{
    m_viewGrid->setIconText(tr("Thumbnails"));
    m_viewGrid->setText(tr("&Thumbnail Grid"));
    m_viewGrid->setShortcut(QKeySequence(tr("Ctrl+G")));
    m_viewGrid->setToolTip(tr("Show the catalogue as a grid of pictures or as a list of ids"));
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

void CataloguePanes::showGrid(bool grid)
{
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
    followEditedItems();
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        CatalogueGridModel* model = m_panes[kind]->model();
        if (hasTileData(kind)) {
            QVector<tile_struct> records;
            QString error;
            readAllTileRecords(m_session.directory(), kind, &records, &error);   // none: the names stay empty
            model->setTileRecords(records);
        }
        model->setIds(m_session.listed(ItemKind(kind)));
    }
}

namespace {

bool isEdited(const ChangeSet& changes, ItemKind kind, int id)
{
    return changes.images[kind].contains(id) || (hasTileData(kind) && changes.tiles[kind].contains(id))
        || (kind == Static && changes.animEntries.contains(id));
}

} // namespace

void CataloguePanes::followItem(ItemKind kind, int id, int parts)
{
    const ChangeSet& changes = m_session.changes();
    CatalogueGridModel* model = m_panes[kind]->model();
    if (parts & ImagePart) {
        // The workers get their own copy of the edited picture; the session's map stays on
        // this thread.
        const auto edited = changes.images[kind].constFind(id);
        if (edited != changes.images[kind].constEnd())
            m_pictures->setEdited(kind, id, *edited);
        else
            m_pictures->clearEdited(kind, id);
        model->pictureChanged(id);
    }
    if ((parts & TilePart) && hasTileData(kind))
        model->setTileRecord(id, m_session.tile(kind, id));
    model->setEdited(id, isEdited(changes, kind, id));
}

void CataloguePanes::followEditedItems()
{
    const ChangeSet& changes = m_session.changes();
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        QSet<int> edited;
        for (int id : changes.images[kind].keys())
            edited.insert(id);
        if (hasTileData(kind))
            for (int id : changes.tiles[kind].keys())
                edited.insert(id);
        if (kind == Static)
            for (int id : changes.animEntries.keys())
                edited.insert(id);
        m_panes[kind]->model()->setEditedIds(edited);
    }
    // Saved pictures are in the files now, and read from there, as Save wrote them.
    m_pictures->reset(m_session.directory());
    m_thumbnails->clear();
    for (int kind = 0; kind < kItemKindCount; ++kind)
        for (auto it = changes.images[kind].cbegin(); it != changes.images[kind].cend(); ++it)
            m_pictures->setEdited(kind, it.key(), it.value());
}
