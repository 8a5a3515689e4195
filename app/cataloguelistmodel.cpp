#include "cataloguelistmodel.h"

#include "cataloguegridmodel.h"
#include "itemkind.h"

#include <QFont>

#include <algorithm>
#include <numeric>

using namespace qm;

CatalogueListModel::CatalogueListModel(CatalogueGridModel* rows, QObject* parent)
    : QAbstractTableModel(parent)
    , m_rows(rows)
{
    connect(rows, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(rows, &QAbstractItemModel::modelReset, this, [this] {
        if (byName())
            orderByName();
        endResetModel();
    });
    connect(rows, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (byName()) {
                    beginResetModel();
                    return;
                }
                const int n = m_rows->rowCount();
                const int at = m_order == Qt::AscendingOrder ? first : n - first;
                beginInsertRows(QModelIndex(), at, at + last - first);
            });
    connect(rows, &QAbstractItemModel::rowsInserted, this, [this] {
        if (byName()) {
            orderByName();
            endResetModel();
        } else {
            endInsertRows();
        }
    });
    connect(rows, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                if (byName()) {
                    beginResetModel();
                    return;
                }
                const int n = m_rows->rowCount();
                if (m_order == Qt::AscendingOrder)
                    beginRemoveRows(QModelIndex(), first, last);
                else
                    beginRemoveRows(QModelIndex(), n - 1 - last, n - 1 - first);
            });
    connect(rows, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (byName()) {
            orderByName();
            endResetModel();
        } else {
            endRemoveRows();
        }
    });
    connect(rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                followChange(from.row(), to.row(), roles);
            });
}

int CatalogueListModel::sourceRow(int row) const
{
    const int n = m_rows->rowCount();
    if (row < 0 || row >= n)
        return -1;
    if (byName())
        return row < m_byName.size() ? m_byName[row] : -1;
    return m_order == Qt::AscendingOrder ? row : n - 1 - row;
}

int CatalogueListModel::rowOfSourceRow(int source) const
{
    const int n = m_rows->rowCount();
    if (source < 0 || source >= n)
        return -1;
    if (byName()) {
        const auto it = std::find(m_byName.cbegin(), m_byName.cend(), source);
        return it == m_byName.cend() ? -1 : int(it - m_byName.cbegin());
    }
    return m_order == Qt::AscendingOrder ? source : n - 1 - source;
}

int CatalogueListModel::idAt(int row) const
{
    return m_rows->idAt(sourceRow(row));
}

int CatalogueListModel::rowOf(int id) const
{
    return rowOfSourceRow(m_rows->rowOf(id));
}

bool CatalogueListModel::isEdited(int row) const
{
    return m_rows->data(m_rows->index(sourceRow(row)), CatalogueGridModel::EditedRole).toBool();
}

int CatalogueListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows->rowCount();
}

int CatalogueListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (hasTileData(m_rows->kind()) ? 2 : 1);
}

QVariant CatalogueListModel::data(const QModelIndex& index, int role) const
{
    const int id = idAt(index.row());
    if (id < 0)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == IdColumn ? QVariant(hexId(id)) : QVariant(m_rows->tileName(id));
    case Qt::FontRole: {
        // An item holding unsaved edits stands out, as its grid cell does.
        if (index.column() != IdColumn || !isEdited(index.row()))
            return QVariant();
        QFont font;
        font.setBold(true);
        return font;
    }
    case Qt::ToolTipRole:
        return isEdited(index.row()) ? QVariant(tr("Edited, not saved")) : QVariant();
    case CatalogueGridModel::IdRole:
        return id;
    case CatalogueGridModel::EditedRole:
        return isEdited(index.row());
    default:
        return QVariant();
    }
}

QVariant CatalogueListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section == IdColumn)
        return tr("ID");
    if (section == NameColumn && hasTileData(m_rows->kind()))
        return tr("Name");
    return QVariant();
}

void CatalogueListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    if (column == m_sortColumn && order == m_order && !byName())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QVector<int> ids;
    ids.reserve(before.size());
    for (const QModelIndex& index : before)
        ids << idAt(index.row());
    m_sortColumn = column;
    m_order = order;
    if (byName())
        orderByName();
    else
        m_byName.clear();
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i) {
        const int row = rowOf(ids[i]);
        after << (row >= 0 ? index(row, before[i].column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CatalogueListModel::orderByName()
{
    const int n = m_rows->rowCount();
    QVector<QString> names(n);
    for (int row = 0; row < n; ++row)
        names[row] = m_rows->tileName(m_rows->idAt(row));
    m_byName.resize(n);
    std::iota(m_byName.begin(), m_byName.end(), 0);
    // Source rows ascend by id, so a stable sort keeps ties in id order.
    const bool ascending = m_order == Qt::AscendingOrder;
    std::stable_sort(m_byName.begin(), m_byName.end(), [&](int a, int b) {
        const int byText = names[a].compare(names[b], Qt::CaseInsensitive);
        return ascending ? byText < 0 : byText > 0;
    });
}

void CatalogueListModel::followChange(int first, int last, const QList<int>& roles)
{
    // Pictures are the grid's; the list shows ids, names and the edited mark.
    if (!roles.isEmpty() && !roles.contains(Qt::ToolTipRole) && !roles.contains(CatalogueGridModel::EditedRole))
        return;
    const int n = rowCount();
    if (n == 0)
        return;
    int from = 0, to = n - 1;
    if (!byName()) {
        from = rowOfSourceRow(first);
        to = rowOfSourceRow(last);
        if (from > to)
            std::swap(from, to);
    }
    if (from < 0 || to < 0)
        return;
    emit dataChanged(index(from, 0), index(to, columnCount() - 1));
}
