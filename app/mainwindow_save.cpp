// The Save command: writing the change set into the game's files.
#include "mainwindow.h"

#include <QApplication>

void mainwindow::fileSave()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    saveArt();
    QApplication::processEvents(QEventLoop::AllEvents, 1000);
    saveGump();
    QApplication::processEvents(QEventLoop::AllEvents, 1000);
    saveTexture();
    QApplication::processEvents(QEventLoop::AllEvents, 1000);
    saveAnimData();
    QApplication::restoreOverrideCursor();
}

void mainwindow::saveArt() {}
void mainwindow::saveGump() {}
void mainwindow::saveTexture() {}
void mainwindow::saveAnimData() {}
void mainwindow::checkDataDirectory() {}
