#pragma once

// Opening item windows in the main window's workspace the way a user does.
#include "mainwindow.h"
#include "mywidget.h"
#include "treelists.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>

// Shows catalogue `kind` and double-clicks item `id`; the editor of the window that opened.
inline myWidget* openItemWindow(mainwindow& w, int kind, int id)
{
    w.tabSelect->setCurrentIndex(kind);
    w.listDouble(listItem(w.currentList, id));
    return qobject_cast<myWidget*>(w.workspace->subWindowList().last()->widget());
}
