#pragma once

#include <QFile>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace qm {

// Replacing a group of the game's files so that a crash or power cut at any moment leaves
// the group either wholly old or wholly new.
//
//   1. Each new file is written beside its original as NAME.qmg and flushed to disk.
//   2. A journal (kJournalName) naming the files is written and flushed: the commit point.
//   3. Each NAME.qmg is renamed over NAME, the directory is flushed, the journal removed.
//
// Before a directory is read, recoverInterruptedSave() finishes step 3 when a complete
// journal exists, and otherwise deletes NAME.qmg files that never reached a journal.

constexpr const char kStagedSuffix[] = ".qmg";
constexpr const char kJournalName[] = "savejournal.qmg";
// Held by whoever saves into or recovers a directory, so that two programs (the editor and
// qmtool) never swap files at the same time. A lock left by a dead process is taken over.
constexpr const char kLockName[] = "savelock.qmg";

class SaveTransaction {
public:
    explicit SaveTransaction(const QString& mulDir);

    // Takes the directory's save lock (kLockName), waiting a few seconds for another save or
    // recovery to end, and finishes a save that stopped after its journal was written (as
    // recoverInterruptedSave does). Call before reading anything the save depends on.
    bool begin(QString* error);
    // Removes every staged file unless commit() succeeded.
    ~SaveTransaction();
    SaveTransaction(const SaveTransaction&) = delete;
    SaveTransaction& operator=(const SaveTransaction&) = delete;

    // Creates (truncating) mulDir/NAME.qmg for writing; nullptr on failure, with `error`.
    // The file belongs to the transaction.
    QFile* stage(const QString& fileName, QString* error);

    // Deletes mulDir/NAME as part of the swap (after every staged file is in place), so a
    // catalogue that moves into another form loses its old files in the same transaction.
    void removeOnCommit(const QString& fileName);

    // Flushes every staged file to disk, writes the journal and swaps the files in.
    // On a failure before the journal exists nothing has changed; after it, the swap is
    // finished by the next recovery and `error` says so.
    bool commit(QString* error);

    // Deletes the staged files; called by the destructor when commit() was not reached.
    void discard();

private:
    QString m_dir;
    std::unique_ptr<QLockFile> m_lock;
    std::vector<std::pair<QString, std::unique_ptr<QFile>>> m_files;
    QStringList m_removals;
    bool m_committed = false;
};

// Finishes or undoes what an interrupted save left in mulDir. `report` receives one line
// per action taken, for the user. False (with `error`, which says how to finish) when the
// directory could not be brought back to a consistent state; nothing should then read or
// write it. What does not concern readers (a lock or staged files without a journal) is left
// for a later save when the directory cannot be locked, as a read-only one can't.
bool recoverInterruptedSave(const QString& mulDir, QStringList* report, QString* error);

// Whether mulDir holds a journal that recovery has not finished yet.
bool hasPendingSave(const QString& mulDir);

} // namespace qm
