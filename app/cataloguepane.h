#pragma once

#include <QVector>
#include <QWidget>

class CatalogueFilterBox;
class CatalogueGrid;
class CatalogueGridModel;
class CatalogueListModel;
class QStackedWidget;
class QTreeView;
class ThumbnailCache;

// One catalogue tab: the filter box over either the id list or the thumbnail grid. The grid
// model holds the rows that pass the filter; the list is a second view of the same rows,
// with the tile name beside the id for land and static. Whichever view is shown is the one
// commands act on.
class CataloguePane : public QWidget {
    Q_OBJECT

public:
    // Takes `list` into the pane and gives it its model.
    CataloguePane(int kind, QTreeView* list, ThumbnailCache* cache, QWidget* parent = nullptr);

    int kind() const { return m_kind; }
    QTreeView* list() const { return m_list; }
    CatalogueListModel* listModel() const { return m_listModel; }
    CatalogueGrid* grid() const { return m_grid; }
    CatalogueGridModel* model() const { return m_model; }
    CatalogueFilterBox* filterBox() const { return m_filterBox; }

    // Switches views; the selection and the current item go along.
    void setShowsGrid(bool grid);
    bool showsGrid() const;

    // The ids selected in the view shown, ascending.
    QVector<int> selectedIds() const;
    // Makes `id` the only selected item and scrolls to it; false when it is not shown.
    bool selectOnly(int id);
    // No filter (its text kept in the box's history) and nothing selected: a new directory.
    void resetView();

signals:
    // An item was double-clicked in the list or the grid.
    void itemActivated(int kind, int id);
    // The right-click menu of either view, at a global position.
    void menuRequested(const QPoint& globalPos);
    // Enter or Return in the list or the grid: open the selected items.
    void openRequested();
    // The selection or the current item of the shown view changed.
    void selectionChanged();

private:
    QVector<int> listSelection(int* current) const;
    QVector<int> gridSelection(int* current) const;
    void selectInList(const QVector<int>& ids, int current);
    void selectInGrid(const QVector<int>& ids, int current);

    int m_kind;
    QTreeView* m_list;
    CatalogueGridModel* m_model;
    CatalogueListModel* m_listModel;
    CatalogueGrid* m_grid;
    CatalogueFilterBox* m_filterBox;
    QStackedWidget* m_stack;
    // Each view's selection across a reset of the rows (a new filter, a reload).
    QVector<int> m_gridKept, m_listKept;
    int m_gridKeptCurrent = -1, m_listKeptCurrent = -1;
};
