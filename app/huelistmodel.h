#pragma once

#include <QAbstractTableModel>
#include <QVector>

namespace qm {
class EditSession;
}

// The Hues tab's rows: every hue of the session passing the filter box, as number (hex and
// decimal), name and colour ramp; edited hues are shown bold. Follows the session's hue edits.
class HueListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { HexColumn, NumberColumn, NameColumn, RampColumn, ColumnCount };
    static constexpr int NumberRole = Qt::UserRole + 1;

    explicit HueListModel(qm::EditSession& session, QObject* parent = nullptr);

    // Reads every hue anew from the session (a directory was opened).
    void reload();
    // The filter box's text: a number, a range "a-b" or part of a name.
    void setFilter(const QString& text);
    int hueAt(int row) const { return row >= 0 && row < m_shown.size() ? m_shown[row] : 0; }
    int rowOf(int hue) const { return int(m_shown.indexOf(hue)); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void followHue(int hue);

    qm::EditSession& m_session;
    QString m_filter;
    QVector<int> m_shown;
};
