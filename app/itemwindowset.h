#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QWidget;
class myWidget;

// The item windows in the workspace: opening one on an item (the caller wires and fills it),
// where it opens, the Window menu that arranges and raises them, and the question before
// windows holding unapplied edits are closed.
class ItemWindows : public QObject {
    Q_OBJECT

public:
    // Connects a new editor to the main window and gives it the item's data.
    using Prepare = std::function<void(myWidget* editor, int kind, int id)>;

    ItemWindows(QMdiArea* workspace, Prepare prepare, QObject* parent = nullptr);

    // A new window on the item, shown; nullptr for an invalid kind or id.
    myWidget* open(int kind, int id);
    // A new window that `fill` alone fills and that is connected to nothing: whatever it
    // shows or sends never reaches the session (for items of another directory).
    myWidget* openDetached(int kind, int id, const Prepare& fill);
    QList<myWidget*> editors() const;
    // The editor of the workspace's current window, or nullptr.
    myWidget* active() const;

    // Asks (through the dialog seam) when a window holds edits not yet applied; true to go
    // on and close them.
    bool mayCloseAll(QWidget* dialogParent) const;
    void closeAll();

    // The Window menu anew: Cascade, Tile, a separator, one checkable entry per window.
    void rebuildMenu(QMenu* menu);
    // Raises the window at `position` of the workspace's list; nothing when there is none.
    void activate(int position);

signals:
    // An entry of the Window menu was chosen.
    void windowChosen(int position);

private:
    void place(QMdiSubWindow* frame);

    QMdiArea* m_workspace;
    Prepare m_prepare;
};
