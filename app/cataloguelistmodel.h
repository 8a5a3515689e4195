#pragma once

#include <QAbstractTableModel>
#include <QVector>

class CatalogueGridModel;

// The id list of a catalogue tab: the rows the grid model holds (the items passing the
// filter), as a table with the id ("0x1a") and, for land and static, the tile name. It keeps
// no rows of its own: sorted by id, a row maps straight onto the grid model's ascending rows
// (reversed when descending); only sorting by name keeps an order of rows. Names are asked
// of the grid model when a row is shown, so opening a directory reads none.
class CatalogueListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { IdColumn = 0, NameColumn = 1 };

    explicit CatalogueListModel(CatalogueGridModel* rows, QObject* parent = nullptr);

    CatalogueGridModel* rows() const { return m_rows; }

    // The id a row shows, -1 for none; the row showing an id, -1 when it is not shown.
    int idAt(int row) const;
    int rowOf(int id) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // By id numerically, or by name without regard to case with ties in id order.
    void sort(int column, Qt::SortOrder order) override;

private:
    int sourceRow(int row) const;
    int rowOfSourceRow(int sourceRow) const;
    bool byName() const { return m_sortColumn == NameColumn; }
    void orderByName();
    bool isEdited(int row) const;
    void followChange(int firstSourceRow, int lastSourceRow, const QList<int>& roles);

    CatalogueGridModel* m_rows;
    int m_sortColumn = IdColumn;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    QVector<int> m_byName;   // source rows in name order; used only when sorted by name
};
