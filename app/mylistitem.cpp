#include "mylistitem.h"

#include "itemkind.h"

using namespace qm;

myListItem::myListItem(QTreeWidget* list, const QString& label)
    : QTreeWidgetItem(Type)
{
    setText(0, label);
    if (list)
        list->addTopLevelItem(this);
}

myListItem::myListItem(const QString& label)
    : QTreeWidgetItem(Type)
{
    setText(0, label);
}

myListItem::myListItem(int id)
    : QTreeWidgetItem(Type)
    , m_id(id)
{
    // The label is made from the id, so there is nothing to parse back.
    QTreeWidgetItem::setData(0, Qt::DisplayRole, labelFor(id));
}

void myListItem::setData(int column, int role, const QVariant& value)
{
    QTreeWidgetItem::setData(column, role, value);
    if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole))
        m_id = parseLabel(text(0));
}

bool myListItem::operator<(const QTreeWidgetItem& other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const int otherId = other.type() == Type ? static_cast<const myListItem&>(other).m_id
                                             : idOf(&other);
    if (column == 0)
        return m_id < otherId;
    // Other columns (the tile name) by text, ignoring case; equal texts stay in id order.
    const int byText = text(column).compare(other.text(column), Qt::CaseInsensitive);
    return byText != 0 ? byText < 0 : m_id < otherId;
}

QString myListItem::labelFor(int id)
{
    return hexId(id);
}

int myListItem::idOf(const QTreeWidgetItem* item)
{
    if (!item)
        return -1;
    if (item->type() == Type)
        return static_cast<const myListItem*>(item)->m_id;
    return parseLabel(item->text(0));
}

int myListItem::parseLabel(const QString& text)
{
    bool ok = false;
    const int id = text.mid(2).toInt(&ok, 16);
    return ok ? id : -1;
}
