#pragma once

#include "savetransaction.h"

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace qm {

// The parts of a save's commit (savetransaction.cpp) that its recovery (saverecovery.cpp)
// reads back: the journal's lines, where files are staged, and the directory's lock.

constexpr char kJournalHeader[] = "Quillmark save journal 1";
constexpr char kJournalEnd[] = "end";
// A journal line naming a file the save deletes (a catalogue moved into another form).
constexpr char kRemovalMark = '-';

bool isRemoval(const QString& line);
// The only files a save ever replaces; recovery touches nothing else.
const QStringList& replaceableFiles();
QString stagedName(const QString& fileName);
// Where the new copy of mulDir/NAME is staged: beside the file it replaces, which for a
// symbolic link is the link's target (see replacedfile.h).
QString stagedPath(const QString& mulDir, const QString& fileName);
QString replacedBy(const QString& stagedPath);
// Makes the renames in the data directory and in the folders of linked files durable.
bool syncDirectoriesOf(const QString& mulDir, const QStringList& stagedPaths, QString* error);
// Takes over a lock whose writer died before naming itself in it (see savejournal.cpp).
bool takeOverOwnerlessLock(QLockFile& lock, const QString& path);
// Takes the directory's save lock (kLockName), waiting a few seconds; null with `error`.
std::unique_ptr<QLockFile> lockDirectory(const QString& dir, QString* error);
// The error of a save stopped at a test checkpoint.
QString injected(const char* label);

enum class JournalState { Complete, Incomplete, Unreadable };
// A journal counts only when it is whole: written after every staged file was on disk, it
// is whole exactly when the swap had begun. `names` receives its lines.
JournalState readJournal(const QString& path, QStringList* names, QString* error);
// Renames the staged files of the journal's lines over their originals (and deletes the
// files it removes); a staged file already renamed is skipped.
bool finishSwap(const QString& dir, const QStringList& names, QString* error);

// Recovery, for a caller that holds the lock already (a save that begins).
bool recoverLocked(const QString& mulDir, QStringList* report, QString* error);

} // namespace qm
