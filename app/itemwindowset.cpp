#include "itemwindowset.h"

#include "dialogs.h"
#include "itemkind.h"
#include "mywidget.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

using namespace qm;

namespace {

// How far each new item window sits from the one opened before it.
constexpr int kCascadeStep = 24;

} // namespace

ItemWindows::ItemWindows(QMdiArea* workspace, Prepare prepare, QObject* parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_prepare(std::move(prepare))
{
}

myWidget* ItemWindows::open(int kind, int id)
{
    if (!isValidKind(kind) || id < 0)
        return nullptr;
    auto* editor = new myWidget();
    QMdiSubWindow* frame = m_workspace->addSubWindow(editor);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_prepare(editor, kind, id);
    place(frame);
    frame->show();
    return editor;
}

myWidget* ItemWindows::openDetached(int kind, int id, const Prepare& fill)
{
    if (!isValidKind(kind) || id < 0)
        return nullptr;
    auto* editor = new myWidget();
    QMdiSubWindow* frame = m_workspace->addSubWindow(editor);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    fill(editor, kind, id);
    place(frame);
    frame->show();
    return editor;
}

QList<myWidget*> ItemWindows::editors() const
{
    QList<myWidget*> editors;
    for (QMdiSubWindow* frame : m_workspace->subWindowList())
        if (auto* editor = qobject_cast<myWidget*>(frame->widget()))
            editors << editor;
    return editors;
}

myWidget* ItemWindows::active() const
{
    QMdiSubWindow* frame = m_workspace->currentSubWindow();
    return frame ? qobject_cast<myWidget*>(frame->widget()) : nullptr;
}

bool ItemWindows::mayCloseAll(QWidget* dialogParent) const
{
    QStringList pending;
    for (myWidget* editor : editors())
        if (editor->hasUnappliedEdits())
            pending << editor->windowTitle();
    if (pending.isEmpty())
        return true;
    const QMessageBox::StandardButton answer = Dialogs::get().question(
        dialogParent, tr("Edits not applied"),
        tr("These item windows hold edits that were not applied: %1. Close them and drop those edits?")
            .arg(pending.join(QStringLiteral(", "))),
        QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
    return answer == QMessageBox::Discard;
}

void ItemWindows::closeAll()
{
    for (myWidget* editor : editors())
        editor->close();
}

// New item windows cascade from the workspace's corner and never open larger than it, so
// that each one's title bar and buttons stay in sight.
void ItemWindows::place(QMdiSubWindow* frame)
{
    const QSize area = m_workspace->viewport()->size();
    // Room for a few steps of the cascade where the workspace allows it.
    const QSize cascadeRoom(3 * kCascadeStep, 3 * kCascadeStep);
    frame->resize(frame->sizeHint().boundedTo(area - cascadeRoom).expandedTo(frame->minimumSizeHint()).boundedTo(area));
    const int opened = int(m_workspace->subWindowList().size()) - 1;
    const int room = qMin(area.width() - frame->width(), area.height() - frame->height());
    const int steps = room >= kCascadeStep ? room / kCascadeStep + 1 : 1;
    const int offset = (opened % steps) * kCascadeStep;
    frame->move(offset, offset);
}

void ItemWindows::rebuildMenu(QMenu* menu)
{
    menu->clear();
    QAction* cascade = menu->addAction(tr("&Cascade"));
    connect(cascade, &QAction::triggered, m_workspace, &QMdiArea::cascadeSubWindows);
    QAction* tile = menu->addAction(tr("&Tile"));
    connect(tile, &QAction::triggered, m_workspace, &QMdiArea::tileSubWindows);
    const QList<QMdiSubWindow*> windows = m_workspace->subWindowList();
    cascade->setEnabled(!windows.isEmpty());
    tile->setEnabled(!windows.isEmpty());
    menu->addSeparator();
    // currentSubWindow, not activeSubWindow: the latter is null while the menu has the focus.
    QMdiSubWindow* current = m_workspace->currentSubWindow();
    for (int i = 0; i < windows.size(); ++i) {
        QAction* entry = menu->addAction(windows[i]->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(windows[i] == current);
        connect(entry, &QAction::triggered, this, [this, i] { emit windowChosen(i); });
    }
}

void ItemWindows::activate(int position)
{
    const QList<QMdiSubWindow*> windows = m_workspace->subWindowList();
    if (position < 0 || position >= windows.size())
        return;
    QMdiSubWindow* window = windows[position];
    window->showNormal();
    m_workspace->setActiveSubWindow(window);
    if (window->widget())
        window->widget()->setFocus();
}
