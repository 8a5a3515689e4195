#pragma once

// Reading and selecting in the main window's catalogue lists the way a user sees them.
#include "cataloguegridmodel.h"
#include "itemkind.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QStringList>
#include <QTreeView>

// The texts of a column, top to bottom.
inline QStringList listTexts(const QTreeView* list, int column = 0)
{
    QStringList texts;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

inline int listCount(const QTreeView* list)
{
    return list->model()->rowCount();
}

// The row showing `id`, or an invalid index.
inline QModelIndex listItem(const QTreeView* list, int id)
{
    const QAbstractItemModel* model = list->model();
    const QModelIndexList found = model->match(model->index(0, 0), Qt::DisplayRole, qm::hexId(id), 1, Qt::MatchExactly);
    return found.value(0);
}

inline QStringList selectedTexts(const QTreeView* list)
{
    QStringList texts;
    for (const QModelIndex& index : list->selectionModel()->selectedRows())
        texts << index.data().toString();
    return texts;
}

// Adds the row of `id` to the selection, as a Ctrl+click does.
inline void selectItem(QTreeView* list, int id)
{
    list->selectionModel()->select(listItem(list, id), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}
