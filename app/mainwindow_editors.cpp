// Opening editor windows, the Window menu, and New / Delete / Find.
#include "mainwindow.h"

#include "cataloguepane.h"
#include "dialogs.h"
#include "mylistitem.h"
#include "mywidget.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTreeWidget>

using namespace qm;

void mainwindow::listDouble(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const int id = myListItem::idOf(item);
    if (id < 0)
        return;
    // The item's own list names its catalogue; the visible tab is the fallback.
    int kind = currentKind;
    for (int k = 0; k < kItemKindCount; ++k)
        if (item->treeWidget() && item->treeWidget() == listForKind(k))
            kind = k;
    openItem(kind, id);
}

void mainwindow::openItem(int kind, int id)
{
    if (!isValidKind(kind) || id < 0)
        return;

    auto* editor = new myWidget();
    QMdiSubWindow* frame = workspace->addSubWindow(editor);
    frame->setAttribute(Qt::WA_DeleteOnClose);

    connect(this, &mainwindow::deleteWidget, editor, &myWidget::rcvDelete);
    connect(this, &mainwindow::updateImage, editor, &myWidget::updateImage);
    connect(editor, &myWidget::imgChange, this, &mainwindow::rcvImage);
    if (hasTileData(kind))
        connect(this, &mainwindow::tileChange, editor, &myWidget::setTile);
    if (kind == Static) {
        connect(this, &mainwindow::changeAnim, editor, &myWidget::setAnimData);
        connect(editor, &myWidget::animChange, this, &mainwindow::updateAnim);
    }
    if (hasTileData(kind))
        connect(editor, &myWidget::tileChange, this, &mainwindow::rcvTile);
    // What one OK or Apply sends is one undo step.
    connect(editor, &myWidget::editsBegin, session, [this] { session->beginStep(); });
    connect(editor, &myWidget::editsEnd, session, [this] { session->endStep(); });

    QImage image;
    switch (kind) {
    case Land: image = getLand(id); break;
    case Static: image = getStatic(id); break;
    case Gump: image = getGump(id); break;
    default: image = getTexture(id); break;
    }
    // setData first: it fixes the identity that the other slots test.
    editor->setData(kind, id, image);
    if (hasTileData(kind)) {
        tile_struct record = getTile(kind, id);
        editor->setTile(kind, id, record);
        editor->setTileDataReadOnly(!session->tileDataWritable());
        editor->setTileLayout(session->tileDataLayout());
    }
    if (kind == Static) {
        anim_st record = getAnim(id);
        editor->setAnimData(id, record);
    }
    editor->setImageReadOnly(session->readOnlyReason(ItemKind(kind)));
    placeItemWindow(frame);
    frame->show();
}

void mainwindow::mdiList()
{
    windowsMenu->clear();
    QAction* cascade = windowsMenu->addAction(tr("&Cascade"));
    connect(cascade, &QAction::triggered, workspace, &QMdiArea::cascadeSubWindows);
    QAction* tile = windowsMenu->addAction(tr("&Tile"));
    connect(tile, &QAction::triggered, workspace, &QMdiArea::tileSubWindows);
    const QList<QMdiSubWindow*> windows = workspace->subWindowList();
    cascade->setEnabled(!windows.isEmpty());
    tile->setEnabled(!windows.isEmpty());
    windowsMenu->addSeparator();
    // currentSubWindow, not activeSubWindow: the latter is null while the menu has the focus.
    QMdiSubWindow* current = workspace->currentSubWindow();
    for (int i = 0; i < windows.size(); ++i) {
        QAction* entry = windowsMenu->addAction(windows[i]->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(windows[i] == current);
        connect(entry, &QAction::triggered, this, [this, i] { windowsMenuActivated(i); });
    }
}

void mainwindow::windowsMenuActivated(int id)
{
    const QList<QMdiSubWindow*> windows = workspace->subWindowList();
    if (id < 0 || id >= windows.size())
        return;
    QMdiSubWindow* window = windows[id];
    window->showNormal();
    workspace->setActiveSubWindow(window);
    if (window->widget())
        window->widget()->setFocus();
}

void mainwindow::selInsert()
{
    bool ok = false;
    const QString answer = Dialogs::get()
                               .getText(this, tr("Insert a new entry"),
                                        tr("Enter the desired id, or blank for auto selection"),
                                        QString(), &ok)
                               .simplified();
    if (!ok)
        return;
    const std::set<quint32>& freeSet = freeIds[currentKind];
    quint32 id = 0;
    if (!answer.isEmpty()) {
        bool parsed = false;
        const qint64 typed = parseTypedNumber(answer, &parsed);
        if (!parsed || typed < 0 || typed > 0xffffffffLL) {
            statusBar()->showMessage(tr("Invalid input for item number"));
            return;
        }
        id = quint32(typed);
        if (!freeSet.count(id)) {
            statusBar()->showMessage(tr("Item ") + QString::number(id) + tr(" in use"));
            return;
        }
    } else {
        if (freeSet.empty()) {
            statusBar()->showMessage(tr("No available entries"));
            return;
        }
        id = *freeSet.begin();
    }
    QString error;
    if (!session->insert(ItemKind(currentKind), int(id), &error)) {
        statusBar()->showMessage(error);
        return;
    }
    currentPane()->selectOnly(int(id));
    statusBar()->showMessage(tr("Item ") + QString::number(id) + tr(" created."));
}

void mainwindow::selDelete()
{
    // Only what the user sees selected: rows the filter hides are not in the view at all.
    const QVector<int> ids = currentPane() ? currentPane()->selectedIds() : QVector<int>();
    if (ids.isEmpty())
        return;
    QString error;
    if (!session->canEditItem(ItemKind(currentKind), ids.first(), &error)) {
        statusBar()->showMessage(error);
        return;
    }
    for (int id : ids)
        emit deleteWidget(currentKind, id);
    if (!session->remove(ItemKind(currentKind), ids, &error))
        statusBar()->showMessage(error);
}

void mainwindow::editFind()
{
    bool ok = false;
    const QString answer = Dialogs::get()
                               .getText(this, tr("Find Item"), tr("Enter id to find"), QString(), &ok)
                               .simplified();
    if (!ok)
        return;
    bool parsed = false;
    const qint64 number = parseTypedNumber(answer, &parsed);
    if (!parsed || number < INT_MIN || number > INT_MAX)
        return;
    if (currentPane() && number >= 0)
        currentPane()->selectOnly(int(number));
}
