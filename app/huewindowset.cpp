#include "huewindowset.h"

#include "editsession.h"
#include "huewindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>

HueWindows::HueWindows(qm::EditSession& session, QMdiArea* workspace, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_workspace(workspace)
{
}

HueWindow* HueWindows::find(int hue) const
{
    for (QMdiSubWindow* frame : m_workspace->subWindowList())
        if (auto* window = qobject_cast<HueWindow*>(frame->widget()); window && window->hue() == hue)
            return window;
    return nullptr;
}

HueWindow* HueWindows::open(int hue)
{
    if (hue < 1 || hue > m_session.hueCount())
        return nullptr;
    HueWindow* window = find(hue);
    if (!window) {
        window = new HueWindow(m_session, hue);
        QMdiSubWindow* frame = m_workspace->addSubWindow(window);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        connect(window, &HueWindow::closeRequested, frame, &QMdiSubWindow::close);
    }
    window->parentWidget()->show();
    m_workspace->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
    window->setFocus();
    return window;
}
