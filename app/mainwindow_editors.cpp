// Opening editor windows, the Window menu, and New / Delete / Find.
#include "mainwindow.h"

void mainwindow::listDouble(QTreeWidgetItem*) {}
void mainwindow::mdiList() {}
void mainwindow::windowsMenuActivated(int) {}
void mainwindow::selInsert() {}
void mainwindow::selDelete() {}
void mainwindow::editFind() {}
