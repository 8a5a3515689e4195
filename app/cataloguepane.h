#pragma once

#include <QVector>
#include <QWidget>

#include <vector>

class CatalogueFilterBox;
class CatalogueGrid;
class CatalogueGridModel;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class ThumbnailCache;

// One catalogue tab: the filter box over either the id list or the thumbnail grid. The grid
// model holds the rows that pass the filter; the list mirrors them, with the tile name
// beside the id for land and static. Whichever view is shown is the one commands act on.
class CataloguePane : public QWidget {
    Q_OBJECT

public:
    // Takes `list` into the pane.
    CataloguePane(int kind, QTreeWidget* list, ThumbnailCache* cache, QWidget* parent = nullptr);

    int kind() const { return m_kind; }
    QTreeWidget* list() const { return m_list; }
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

signals:
    // A grid cell was double-clicked.
    void itemActivated(int kind, int id);
    // The grid's right-click menu, at a global position.
    void menuRequested(const QPoint& globalPos);

private:
    void rebuildList();
    void addListRows(int first, int last);
    void removeListRows(int first, int last);
    void updateNames(int first, int last);
    QTreeWidgetItem* makeListItem(int id) const;
    QVector<int> listSelection(int* current) const;
    QVector<int> gridSelection(int* current) const;
    void selectInList(const QVector<int>& ids, int current);
    void selectInGrid(const QVector<int>& ids, int current);

    int m_kind;
    QTreeWidget* m_list;
    CatalogueGridModel* m_model;
    CatalogueGrid* m_grid;
    CatalogueFilterBox* m_filterBox;
    QStackedWidget* m_stack;
    // The list's item of each id it shows, by id: a flat table, since filling 65,536 entries
    // into a hash costs more than the list items themselves.
    QTreeWidgetItem* itemOf(int id) const;
    void setItemOf(int id, QTreeWidgetItem* item);
    std::vector<QTreeWidgetItem*> m_items;
    QVector<int> m_gridKept;                // the grid's selection across a model reset
    int m_gridKeptCurrent = -1;
};
