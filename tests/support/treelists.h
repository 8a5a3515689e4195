#pragma once

// Reading the main window's catalogue lists the way a user sees them.
#include "mylistitem.h"

#include <QStringList>
#include <QTreeWidget>

// The texts of every item, top to bottom.
inline QStringList listTexts(const QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0);
    return texts;
}

inline QStringList selectedTexts(const QTreeWidget* list)
{
    QStringList texts;
    for (const QTreeWidgetItem* item : list->selectedItems())
        texts << item->text(0);
    return texts;
}

// The item showing `id`, or null.
inline QTreeWidgetItem* listItem(const QTreeWidget* list, int id)
{
    return list->findItems(myListItem::labelFor(id), Qt::MatchExactly).value(0);
}
