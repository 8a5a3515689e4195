#pragma once

#include <QObject>

class HueWindow;
class QMdiArea;

namespace qm {
class EditSession;
}

// The hue windows of the workspace: one per hue, brought forward when opened again.
class HueWindows : public QObject {
    Q_OBJECT

public:
    HueWindows(qm::EditSession& session, QMdiArea* workspace, QObject* parent = nullptr);

    // Opens the window of `hue` (1 and up), or shows the one already open.
    HueWindow* open(int hue);
    HueWindow* find(int hue) const;

private:
    qm::EditSession& m_session;
    QMdiArea* m_workspace;
};
