#pragma once

#include "changeset.h"

#include <QImage>
#include <QString>

namespace qm {

// What an item currently is: the change set's entry when it holds one, else the data files.
// Used alike by the main window, qmtool and the patch export.
QImage currentImage(const QString& mulDir, const ChangeSet& changes, ItemKind kind, int id);
tile_struct currentTile(const QString& mulDir, const ChangeSet& changes, ItemKind kind, int id);
anim_st currentAnim(const QString& mulDir, const ChangeSet& changes, int id);

// The data files alone, ignoring any change set.
QImage readImageFromFiles(const QString& mulDir, ItemKind kind, int id);

} // namespace qm
