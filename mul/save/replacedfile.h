#pragma once

#include <QFile>
#include <QString>

namespace qm {

// What a save keeps of a file it replaces with a new one. Users share data directories on
// servers: a file's permission bits, owner and group say who may read and change it, and a
// symbolic link says where the data really lives. A save must not change any of that.

// The file a save writes in place of `path`: `path` itself, or for a symbolic link the file
// it finally points to, so that the link stays and its target gets the new data. Empty (with
// `error`) for a link whose target does not exist.
QString replacedFilePath(const QString& path, QString* error);

// False (with a sentence naming the file) when `path` exists and its permission bits give
// nobody write access: such a file is read-only on purpose, and a save leaves it alone.
bool mayReplace(const QString& path, QString* error);

// Gives `staged` (open for writing, just created) the permission bits, owner and group of
// `original`; does nothing when `original` does not exist. False (with a sentence) when the
// system does not permit giving it the owner or group: the file would otherwise pass to the
// user who saved.
bool keepOwnership(QFile& staged, const QString& original, QString* error);

} // namespace qm
