#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMainWindow;
class DifferencesDock;
class ItemWindows;
class myWidget;

namespace qm {
class EditSession;
}

// File → Compare With…: asks for another data directory and shows the Differences dock
// comparing the session with it. The dock is made on first use and kept.
class CompareCommand : public QObject {
    Q_OBJECT

public:
    CompareCommand(qm::EditSession& session, QMainWindow& window, ItemWindows& items,
                   std::function<void(const QString&)> status, QObject* parent = nullptr);

    QAction* action() const { return m_action; }
    // The dock, made when needed.
    DifferencesDock* dock();
    DifferencesDock* existingDock() const { return m_dock; }

    // A read-only item window on the other directory's item, wired to nothing: its OK and
    // Apply send nothing anywhere. Nullptr before a comparison.
    myWidget* openThere(int kind, int id);

public slots:
    void compareWith();

private:
    qm::EditSession& m_session;
    QMainWindow& m_window;
    ItemWindows& m_items;
    std::function<void(const QString&)> m_status;
    QAction* m_action;
    DifferencesDock* m_dock = nullptr;
};
