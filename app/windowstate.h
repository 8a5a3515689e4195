#pragma once

class QMainWindow;
class QSplitter;
class QTabWidget;

// The main window's size, position, splitter and shown tab, remembered between starts in
// the program's settings. The first start takes about 80% of the screen, and the splitter
// gives most of it to the workspace.
void restoreWindowState(QMainWindow* window, QSplitter* splitter, QTabWidget* tabs);
void saveWindowState(const QMainWindow* window, const QSplitter* splitter, const QTabWidget* tabs);
