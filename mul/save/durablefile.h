#pragma once

#include <QFile>
#include <QString>

namespace qm {

// File-system steps whose completion must survive a power cut. Each returns false and
// describes the failure in `error` (file name and the system's reason).

// Writes all `size` bytes. A write the system cuts short (a full disk, a size limit) is
// retried for the rest, so that the reason for stopping is the system's own.
bool writeAll(QFile& file, const char* data, qint64 size, QString* error);
// Asks the system to start writing `length` bytes of `file` from `offset` to the disk
// without waiting (length 0: to the end), so that a later syncFile() has less left to do.
// Only a hint: does nothing where the system offers no such call.
void startWriteback(QFile& file, qint64 offset = 0, qint64 length = 0);
// Flushes Qt's buffer and the system's cache of `file` to the disk.
bool syncFile(QFile& file, QString* error);
// Makes the directory's entries (files created, renamed or removed in it) durable.
bool syncDirectory(const QString& dir, QString* error);
// Renames `from` over `to` in one atomic step: `to` is either the old or the new file.
bool replaceFile(const QString& from, const QString& to, QString* error);
// Removes `path`; a file that is already gone counts as removed.
bool removeFile(const QString& path, QString* error);

} // namespace qm
