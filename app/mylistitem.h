#pragma once

#include <QTreeWidgetItem>

// An entry of a catalogue list: column 0 shows "0x" + the id in lower-case hexadecimal, and
// the lists sort by that number, not by the text; column 1 (land and static) the tile name,
// sorted without regard to case, ties in id order. The id is always the one the text shows:
// it is parsed from the text whenever the text is set, and kept beside it only so that
// sorting 80,000 items does not parse 80,000 texts over and over.
class myListItem : public QTreeWidgetItem {
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;

    explicit myListItem(QTreeWidget* list, const QString& label);
    // An item not yet in a list, for adding many at once.
    explicit myListItem(const QString& label);
    explicit myListItem(int id);

    int id() const { return m_id; }

    void setData(int column, int role, const QVariant& value) override;
    bool operator<(const QTreeWidgetItem& other) const override;

    static QString labelFor(int id);
    // The id read from an item's column-0 text: the characters after "0x", as hexadecimal.
    // Works for any list item; -1 when the text does not hold one.
    static int idOf(const QTreeWidgetItem* item);
    static int parseLabel(const QString& text);

private:
    int m_id = -1;
};
