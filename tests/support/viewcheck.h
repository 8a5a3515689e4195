#pragma once

// Whether every view of the main window shows what its session says, read through the
// widgets a user sees: the list rows (filter matches), their edited marks and name column,
// the grid's pictures and the open item windows.
#include <QStringList>

class mainwindow;

// One line per disagreement; empty when every view follows the session.
QStringList viewMismatches(mainwindow& w);
