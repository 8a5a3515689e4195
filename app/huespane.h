#pragma once

#include <QWidget>

class HueListModel;
class QLabel;
class QLineEdit;
class QListView;
class QStackedWidget;
class QTreeView;

namespace qm {
class EditSession;
}

// The Hues tab: a filter box (number, range or part of the name), a line on the state of
// hues.mul, and the hues with their colour ramps, as a list or as a grid of strips with
// their numbers. Opening a hue (double-click or Enter) asks for its window.
class HuesPane : public QWidget {
    Q_OBJECT

public:
    explicit HuesPane(qm::EditSession& session, QWidget* parent = nullptr);

    QTreeView* list() const { return m_list; }
    QListView* grid() const { return m_grid; }
    bool showsGrid() const;
    void setShowsGrid(bool grid);
    QLineEdit* filterBox() const { return m_filter; }
    // The hue of the current row; 0 when none.
    int currentHue() const;

signals:
    void hueActivated(int hue);

private:
    void updateStatus();

    qm::EditSession& m_session;
    HueListModel* m_model;
    QLineEdit* m_filter;
    QLabel* m_status;
    QTreeView* m_list;
    QListView* m_grid;
    QStackedWidget* m_views;
};
