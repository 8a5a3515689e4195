#pragma once

// Drags of picture files from the desktop, simulated as the platform delivers them.
#include <QMimeData>
#include <QPair>
#include <QPoint>
#include <QStringList>

#include <memory>

class QWidget;

// A drag carrying the local files `paths`.
std::unique_ptr<QMimeData> filesMime(const QStringList& paths);

// Drags `mime` over `target` at `pos` and drops it there; returns whether the enter and the
// drop were accepted.
QPair<bool, bool> dragAndDrop(QWidget* target, const QPoint& pos, const QMimeData* mime);
