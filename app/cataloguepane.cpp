#include "cataloguepane.h"

#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "cataloguelistmodel.h"
#include "itemkind.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QShortcut>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

using namespace qm;

namespace {

// Ranges of neighbouring rows, so that selecting thousands of rows is one call.
template <typename RowOf, typename IndexOf>
QItemSelection rowRanges(const QVector<int>& ids, RowOf rowOf, IndexOf indexOf)
{
    QVector<int> rows;
    for (int id : ids)
        if (const int row = rowOf(id); row >= 0)
            rows << row;
    std::sort(rows.begin(), rows.end());
    QItemSelection selection;
    for (int i = 0; i < rows.size();) {
        int j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(indexOf(rows[i], false), indexOf(rows[j], true));
        i = j + 1;
    }
    return selection;
}

} // namespace

CataloguePane::CataloguePane(int kind, QTreeView* list, ThumbnailCache* cache, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_list(list)
    , m_model(new CatalogueGridModel(kind, cache, this))
    , m_listModel(new CatalogueListModel(m_model, this))
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
    m_list->setModel(m_listModel);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Columns fit the rows on screen: measuring the default thousand rows of every tab (tile
    // names laid out as text one by one) was half of the editor's start-up.
    m_list->header()->setResizeContentsPrecision(0);
    m_list->sortByColumn(0, Qt::AscendingOrder);
    m_grid->view()->setGridModel(m_model);
    m_grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    m_filterBox->setTileConditionsEnabled(hasTileData(kind));

    connect(m_filterBox, &CatalogueFilterBox::filterChanged, m_model, &CatalogueGridModel::setFilter);
    connect(m_model, &CatalogueGridModel::matchCountChanged, m_filterBox, &CatalogueFilterBox::setMatchCount);
    // A reset (a new filter) would drop the selections; the rows that still pass keep them.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_gridKept = gridSelection(&m_gridKeptCurrent);
        m_listKept = listSelection(&m_listKeptCurrent);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        selectInGrid(m_gridKept, m_gridKeptCurrent);
        selectInList(m_listKept, m_listKeptCurrent);
    });

    CatalogueGridView* view = m_grid->view();
    connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const int id = m_model->idAt(index.row());
        if (id >= 0)
            emit itemActivated(m_kind, id);
    });
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& pos) { emit menuRequested(view->viewport()->mapToGlobal(pos)); });

    for (QAbstractItemView* shown : { static_cast<QAbstractItemView*>(m_list), static_cast<QAbstractItemView*>(view) }) {
        // On the views only: Return in the filter box stays the filter box's.
        for (int key : { Qt::Key_Return, Qt::Key_Enter }) {
            auto* open = new QShortcut(QKeySequence(key), shown, nullptr, nullptr, Qt::WidgetShortcut);
            connect(open, &QShortcut::activated, this, &CataloguePane::openRequested);
        }
        connect(shown->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CataloguePane::selectionChanged);
        connect(shown->selectionModel(), &QItemSelectionModel::currentChanged, this, &CataloguePane::selectionChanged);
    }
}

void CataloguePane::resetView()
{
    m_filterBox->clear();
    m_list->selectionModel()->clear();
    m_grid->view()->selectionModel()->clear();
    m_gridKept.clear();
    m_listKept.clear();
    m_gridKeptCurrent = m_listKeptCurrent = -1;
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
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        if (const int id = m_listModel->idAt(index.row()); id >= 0)
            ids << id;
    std::sort(ids.begin(), ids.end());
    const QModelIndex at = m_list->currentIndex();
    *current = at.isValid() ? m_listModel->idAt(at.row()) : -1;
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
    // A list that takes one row at a time keeps the current cell of a grid selection, or its first.
    QVector<int> wanted = ids;
    if (m_list->selectionMode() == QAbstractItemView::SingleSelection && ids.size() > 1)
        wanted = { ids.contains(current) ? current : ids.first() };
    const int lastColumn = m_listModel->columnCount() - 1;
    const QItemSelection selection = rowRanges(
        wanted, [this](int id) { return m_listModel->rowOf(id); },
        [this, lastColumn](int row, bool end) { return m_listModel->index(row, end ? lastColumn : 0); });
    m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const int row = m_listModel->rowOf(current);
    if (row >= 0) {
        m_list->selectionModel()->setCurrentIndex(m_listModel->index(row, 0), QItemSelectionModel::NoUpdate);
        m_list->scrollTo(m_listModel->index(row, 0));
    }
}

void CataloguePane::selectInGrid(const QVector<int>& ids, int current)
{
    CatalogueGridView* view = m_grid->view();
    const QItemSelection selection = rowRanges(
        ids, [this](int id) { return m_model->rowOf(id); }, [this](int row, bool) { return m_model->index(row); });
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const int row = m_model->rowOf(current);
    if (row >= 0) {
        view->selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::NoUpdate);
        view->scrollTo(m_model->index(row));
    }
}
