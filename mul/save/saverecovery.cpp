// Recovery: what an interrupted save left in a directory, finished or undone.
#include "savetransaction.h"

#include "durablefile.h"
#include "indexfile.h"
#include "savejournal.h"

#include <QDir>
#include <QFileInfo>

namespace qm {

bool hasPendingSave(const QString& mulDir)
{
    return QFileInfo::exists(mulPath(mulDir, QLatin1String(kJournalName)));
}

namespace {

// A lock left by a killed save alone is removed when that can be done at once; otherwise it
// stays for the next save, which takes it over. Waiting for it, or failing on it, would make
// every reader of a read-only directory fail.
void removeStaleLock(const QString& mulDir)
{
    const QString path = mulPath(mulDir, QLatin1String(kLockName));
    if (!QFileInfo::exists(path))
        return;
    QLockFile lock(path);
    lock.setStaleLockTime(0);
    if (lock.tryLock(0) || takeOverOwnerlessLock(lock, path))
        lock.unlock();
}

bool hasLeftovers(const QString& mulDir)
{
    if (hasPendingSave(mulDir))
        return true;
    for (const QString& name : replaceableFiles())
        if (QFileInfo::exists(stagedPath(mulDir, name)))
            return true;
    return false;
}

} // namespace

// The work of recoverInterruptedSave() once the caller holds the directory's lock.
bool recoverLocked(const QString& mulDir, QStringList* report, QString* error)
{
    const QString journalPath = mulPath(mulDir, QLatin1String(kJournalName));
    if (QFileInfo::exists(journalPath)) {
        QStringList names;
        switch (readJournal(journalPath, &names, error)) {
        case JournalState::Unreadable:
            return false;
        case JournalState::Complete: {
            if (!finishSwap(mulDir, names, error)) {
                *error = QStringLiteral("Finishing an interrupted save failed: %1").arg(*error);
                return false;
            }
            if (!removeFile(journalPath, error) || !syncDirectory(mulDir, error))
                return false;
            if (report)
                report->append(QStringLiteral("Finished an interrupted save: %1 now hold the saved data")
                                   .arg(names.join(QStringLiteral(", "))));
            break;
        }
        case JournalState::Incomplete:
            // The swap never began; the staged files below are removed with it.
            if (!removeFile(journalPath, error))
                return false;
            break;
        }
    }

    QStringList removed;
    QStringList removedPaths;
    for (const QString& name : replaceableFiles()) {
        const QString staged = stagedPath(mulDir, name);
        if (!QFileInfo::exists(staged))
            continue;
        if (!removeFile(staged, error))
            return false;
        removed.append(stagedName(name));
        removedPaths.append(staged);
    }
    if (!removed.isEmpty()) {
        if (!syncDirectoriesOf(mulDir, removedPaths, error))
            return false;
        if (report)
            report->append(QStringLiteral("Removed %1 left by an interrupted save; the files they "
                                          "were to replace are unchanged")
                               .arg(removed.join(QStringLiteral(", "))));
    }
    return true;
}

bool recoverInterruptedSave(const QString& mulDir, QStringList* report, QString* error)
{
    // Most directories have nothing to recover; they are not even locked (they may be
    // read-only).
    if (!hasLeftovers(mulDir)) {
        removeStaleLock(mulDir);
        return true;
    }
    QString why;
    const std::unique_ptr<QLockFile> lock = lockDirectory(mulDir, &why);
    if (lock)
        return recoverLocked(mulDir, report, error);
    // Without a journal the files are whole and consistent; staged files left over are
    // harmless to readers and removed by the next recovery that may write here.
    if (!hasPendingSave(mulDir))
        return true;
    *error = QStringLiteral("%1 holds an interrupted save that must be finished before its files can "
                            "be read, and it cannot be finished now: %2. To finish it, run any qmtool "
                            "command on the directory (for instance 'qmtool --dir %1 verify') or open it "
                            "in the editor, as a user who may write to the directory")
                 .arg(QDir::toNativeSeparators(mulDir), why);
    return false;
}

} // namespace qm
