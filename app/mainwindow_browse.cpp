// Browsing the catalogues: each tab's filter box, id list and thumbnail grid, kept in step
// with the session, and the view settings the program remembers.
#include "mainwindow.h"

#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "cataloguepane.h"
#include "thumbnailcache.h"
#include "thumbnailsource.h"

#include <QAction>
#include <QSettings>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>
#include <QTreeWidget>

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

void mainwindow::connectPanes()
{
    const QSettings settings = programSettings();
    const int cell = settings.value(kCellSizeKey, 64).toInt();
    for (CataloguePane* pane : m_panes) {
        connect(pane, &CataloguePane::itemActivated, this, &mainwindow::openItem);
        connect(pane, &CataloguePane::menuRequested, this, [this](const QPoint& at) { actPopup(nullptr, at); });
        // Delete in either view, as the menu's Delete.
        auto* del = new QShortcut(QKeySequence::Delete, pane, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(del, &QShortcut::activated, this, &mainwindow::selDelete);

        // The grids share one cache, so they share one cell size.
        CatalogueGridView* view = pane->grid()->view();
        view->setCellSize(cell);
        connect(view, &CatalogueGridView::cellSizeChanged, this, [this](int pixels) {
            for (CataloguePane* other : m_panes)
                other->grid()->view()->setCellSize(pixels);
            programSettings().setValue(kCellSizeKey, pixels);
        });
        pane->setShowsGrid(settings.value(gridSettingKey(pane->kind()), false).toBool());
    }
    connect(viewGridAction, &QAction::toggled, this, &mainwindow::viewGrid);
    viewGridAction->setChecked(m_panes[0]->showsGrid());
}

void mainwindow::viewGrid(bool grid)
{
    CataloguePane* pane = currentPane();
    if (!pane || pane->showsGrid() == grid)
        return;
    pane->setShowsGrid(grid);
    programSettings().setValue(gridSettingKey(currentKind), grid);
    if (viewGridAction->isChecked() != grid)
        viewGridAction->setChecked(grid);
}

void mainwindow::tabChanged(QWidget* w)
{
    const int index = tabSelect->indexOf(w);
    if (!listForKind(index))
        return;
    currentKind = index;
    currentList = listForKind(index);
    // The pictures asked for by the tab left behind are no longer wanted.
    m_thumbnails->cancelQueued();
    const QSignalBlocker quiet(viewGridAction);
    viewGridAction->setChecked(currentPane()->showsGrid());
}

// The lists and grids show the session's catalogues as they are now.
void mainwindow::setFiles()
{
    m_thumbnails->clear();
    refreshEditedItems();
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        CatalogueGridModel* model = m_panes[kind]->model();
        if (hasTileData(kind)) {
            model->setTileRecords(session->tileRecords(ItemKind(kind)));
        }
        model->setIds(session->listed(ItemKind(kind)));
    }
    currentKind = 0;
    currentList = listLand;
}

bool mainwindow::isEdited(ItemKind kind, int id) const
{
    return session->isEdited(kind, id);
}

void mainwindow::followItem(ItemKind kind, int id, int parts)
{
    CatalogueGridModel* model = m_panes[kind]->model();
    if (parts & ImagePart) {
        // The workers get their own copy of the edited picture; the session's map stays on
        // this thread.
        const PictureEdit edit = changes.picture(kind, id);
        if (edit.isEdit())
            m_pictures->setEdited(kind, id, edit.image);   // a null one: emptied
        else
            m_pictures->clearEdited(kind, id);
        model->pictureChanged(id);
    }
    if ((parts & TilePart) && hasTileData(kind))
        model->setTileRecord(id, session->tile(kind, id));
    model->setEdited(id, isEdited(kind, id));
}

void mainwindow::refreshEditedItems()
{
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        const QVector<int> ids = session->editedIds(ItemKind(kind));
        m_panes[kind]->model()->setEditedIds(QSet<int>(ids.cbegin(), ids.cend()));
    }
    // Saved pictures are in the files now, and read from there.
    m_pictures->reset(mulDir);
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        for (auto it = changes.images[kind].cbegin(); it != changes.images[kind].cend(); ++it)
            m_pictures->setEdited(kind, it.key(), it.value());
        for (int id : changes.emptied[kind])
            m_pictures->setEdited(kind, id, QImage());
    }
}
