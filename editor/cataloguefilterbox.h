#pragma once

#include "cataloguefilter.h"

#include <QWidget>

class QComboBox;
class QStringListModel;
class QLabel;
class QLineEdit;

// The filter box above a catalogue: an id, id range or tile name to type, a flag and
// "has"/"has not" to pick, and the match count beside them. Emits the filter as it changes.
class CatalogueFilterBox : public QWidget {
    Q_OBJECT

public:
    explicit CatalogueFilterBox(QWidget* parent = nullptr);

    qm::CatalogueFilter filter() const;
    // Gumps and textures have no tile data: the flag drop-downs are disabled for them.
    void setTileConditionsEnabled(bool enabled);
    QLineEdit* textBox() const { return m_text; }
    QComboBox* flagBox() const { return m_flag; }
    QComboBox* hasBox() const { return m_has; }
    QLabel* countLabel() const { return m_count; }

    // Back to "everything": the typed text goes into the box's history (offered again as
    // the user types) and the flag condition to "Any flags".
    void clear();
    QStringList history() const;

public slots:
    void setMatchCount(int shown, int listed);

signals:
    void filterChanged(const qm::CatalogueFilter& filter);

private:
    QLineEdit* m_text;
    QComboBox* m_flag;
    QComboBox* m_has;
    QLabel* m_count;
    QStringListModel* m_history;
};
