#include "cataloguepane.h"

#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "itemkind.h"
#include "mylistitem.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QShortcut>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace qm;

CataloguePane::CataloguePane(int kind, QTreeWidget* list, ThumbnailCache* cache, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_list(list)
    , m_model(new CatalogueGridModel(kind, cache, this))
    , m_grid(new CatalogueGrid(this))
    , m_filterBox(new CatalogueFilterBox(this))
    , m_stack(new QStackedWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_filterBox);
    layout->addWidget(m_stack, 1);
    m_stack->addWidget(m_list);
    m_stack->addWidget(m_grid);
    m_grid->view()->setGridModel(m_model);
    m_grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    m_filterBox->setTileConditionsEnabled(hasTileData(kind));

    connect(m_filterBox, &CatalogueFilterBox::filterChanged, m_model, &CatalogueGridModel::setFilter);
    connect(m_model, &CatalogueGridModel::matchCountChanged, m_filterBox, &CatalogueFilterBox::setMatchCount);
    // The list follows the model's rows.
    connect(m_model, &QAbstractItemModel::modelReset, this, &CataloguePane::rebuildList);
    // A reset (a new filter) would drop the grid's selection; the rows that still pass keep it.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_gridKept = gridSelection(&m_gridKeptCurrent); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { selectInGrid(m_gridKept, m_gridKeptCurrent); });
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { addListRows(first, last); });
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) { removeListRows(first, last); });
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                if (roles.contains(Qt::ToolTipRole))
                    updateNames(from.row(), to.row());
            });

    CatalogueGridView* view = m_grid->view();
    connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const int id = m_model->idAt(index.row());
        if (id >= 0)
            emit itemActivated(m_kind, id);
    });
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& pos) { emit menuRequested(view->viewport()->mapToGlobal(pos)); });
}

bool CataloguePane::showsGrid() const
{
    return m_stack->currentWidget() == m_grid;
}

void CataloguePane::setShowsGrid(bool grid)
{
    if (grid == showsGrid())
        return;
    int current = -1;
    if (grid) {
        const QVector<int> ids = listSelection(&current);
        m_stack->setCurrentWidget(m_grid);
        selectInGrid(ids, current);
    } else {
        const QVector<int> ids = gridSelection(&current);
        m_stack->setCurrentWidget(m_list);
        selectInList(ids, current);
    }
}

QVector<int> CataloguePane::selectedIds() const
{
    int current = -1;
    return showsGrid() ? gridSelection(&current) : listSelection(&current);
}

bool CataloguePane::selectOnly(int id)
{
    if (m_model->rowOf(id) < 0)
        return false;
    if (showsGrid())
        selectInGrid({ id }, id);
    else
        selectInList({ id }, id);
    return true;
}

QVector<int> CataloguePane::listSelection(int* current) const
{
    QVector<int> ids;
    for (const QTreeWidgetItem* item : m_list->selectedItems())
        if (const int id = myListItem::idOf(item); id >= 0)
            ids << id;
    std::sort(ids.begin(), ids.end());
    *current = myListItem::idOf(m_list->currentItem());
    return ids;
}

QVector<int> CataloguePane::gridSelection(int* current) const
{
    const CatalogueGridView* view = m_grid->view();
    QVector<int> ids;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
        ids << m_model->idAt(index.row());
    std::sort(ids.begin(), ids.end());
    *current = view->currentIndex().isValid() ? m_model->idAt(view->currentIndex().row()) : -1;
    return ids;
}

void CataloguePane::selectInList(const QVector<int>& ids, int current)
{
    m_list->clearSelection();
    if (QTreeWidgetItem* item = itemOf(current)) {
        m_list->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        m_list->scrollToItem(item);
    }
    // A list that takes one row at a time keeps the current cell of a grid selection, or its first.
    QVector<int> wanted = ids;
    if (m_list->selectionMode() == QAbstractItemView::SingleSelection && ids.size() > 1)
        wanted = { ids.contains(current) ? current : ids.first() };
    for (int id : wanted)
        if (QTreeWidgetItem* item = itemOf(id))
            item->setSelected(true);
}

void CataloguePane::selectInGrid(const QVector<int>& ids, int current)
{
    CatalogueGridView* view = m_grid->view();
    // Ranges of neighbouring rows, so that selecting thousands of cells is one call.
    QItemSelection selection;
    int start = -1, previous = -2;
    auto flush = [&] {
        if (start >= 0)
            selection.select(m_model->index(start), m_model->index(previous));
    };
    for (int id : ids) {
        const int row = m_model->rowOf(id);
        if (row < 0)
            continue;
        if (row != previous + 1) {
            flush();
            start = row;
        }
        previous = row;
    }
    flush();
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const int row = m_model->rowOf(current);
    if (row >= 0) {
        view->selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::NoUpdate);
        view->scrollTo(m_model->index(row));
    }
}

QTreeWidgetItem* CataloguePane::makeListItem(int id) const
{
    auto* item = new myListItem(id);
    // An empty name costs a second column's storage in each of 65,536 items: left out.
    if (hasTileData(m_kind))
        if (const QString name = m_model->tileName(id); !name.isEmpty())
            item->setText(1, name);
    return item;
}

QTreeWidgetItem* CataloguePane::itemOf(int id) const
{
    return id >= 0 && size_t(id) < m_items.size() ? m_items[size_t(id)] : nullptr;
}

void CataloguePane::setItemOf(int id, QTreeWidgetItem* item)
{
    if (id < 0)
        return;
    if (size_t(id) >= m_items.size())
        m_items.resize(size_t(id) + 1, nullptr);
    m_items[size_t(id)] = item;
}

void CataloguePane::rebuildList()
{
    // The rows that still pass keep their selection.
    int current = -1;
    const QVector<int> selected = listSelection(&current);
    m_items.clear();
    m_list->clear();
    if (!m_model->shownIds().isEmpty())
        m_items.resize(size_t(m_model->shownIds().last()) + 1, nullptr);
    const QVector<int>& ids = m_model->shownIds();
    QList<QTreeWidgetItem*> items;
    items.reserve(ids.size());
    for (int id : ids) {
        QTreeWidgetItem* item = makeListItem(id);
        items.append(item);
        m_items[size_t(id)] = item;
    }
    // In one batch with sorting off, then sorted once: 80,000 items take a few milliseconds.
    m_list->setSortingEnabled(false);
    m_list->addTopLevelItems(items);
    m_list->setSortingEnabled(true);
    if (!selected.isEmpty() || current >= 0)
        selectInList(selected, current);
}

void CataloguePane::addListRows(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        const int id = m_model->idAt(row);
        if (id < 0 || itemOf(id))
            continue;
        QTreeWidgetItem* item = makeListItem(id);
        setItemOf(id, item);
        m_list->addTopLevelItem(item);
    }
    m_list->sortItems(m_list->sortColumn(), m_list->header()->sortIndicatorOrder());
}

void CataloguePane::removeListRows(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        const int id = m_model->idAt(row);
        delete itemOf(id);
        setItemOf(id, nullptr);
    }
}

void CataloguePane::updateNames(int first, int last)
{
    if (!hasTileData(m_kind))
        return;
    for (int row = first; row <= last; ++row) {
        const int id = m_model->idAt(row);
        if (QTreeWidgetItem* item = itemOf(id))
            item->setText(1, m_model->tileName(id));
    }
}
