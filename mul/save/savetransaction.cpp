#include "savetransaction.h"

#include "durablefile.h"
#include "indexfile.h"
#include "replacedfile.h"
#include "savecheckpoint.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace qm {

namespace {

const char kJournalHeader[] = "Quillmark save journal 1";
const char kJournalEnd[] = "end";
// A journal line naming a file the save deletes (a catalogue moved into another form).
const char kRemovalMark = '-';

bool isRemoval(const QString& line)
{
    return line.startsWith(QLatin1Char(kRemovalMark));
}

// The only files a save ever replaces; recovery touches nothing else.
const QStringList& replaceableFiles()
{
    static const QStringList names {
        QStringLiteral("art.mul"),      QStringLiteral("artidx.mul"),
        QStringLiteral("gumpart.mul"),  QStringLiteral("gumpidx.mul"),
        QStringLiteral("texmaps.mul"),  QStringLiteral("texidx.mul"),
        QStringLiteral("tiledata.mul"), QStringLiteral("animdata.mul"),
        QStringLiteral("artLegacyMUL.uop"), QStringLiteral("gumpartLegacyMUL.uop"),
    };
    return names;
}

QString stagedName(const QString& fileName)
{
    return fileName + QLatin1String(kStagedSuffix);
}

// Where the new copy of mulDir/NAME is staged: beside the file it replaces, which for a
// symbolic link is the link's target (see replacedfile.h).
QString stagedPath(const QString& mulDir, const QString& fileName)
{
    QString ignored;
    const QString replaced = qm::replacedFilePath(mulPath(mulDir, fileName), &ignored);
    return stagedName(replaced.isEmpty() ? mulPath(mulDir, fileName) : replaced);
}

QString replacedBy(const QString& stagedPath)
{
    return stagedPath.chopped(int(sizeof(kStagedSuffix)) - 1);
}

// Makes the renames in the data directory and in the folders of linked files durable.
bool syncDirectoriesOf(const QString& mulDir, const QStringList& stagedPaths, QString* error)
{
    QStringList dirs { mulDir };
    for (const QString& path : stagedPaths) {
        const QString dir = QFileInfo(path).absolutePath();
        if (!dirs.contains(dir) && dir != QFileInfo(mulDir).absoluteFilePath())
            dirs.append(dir);
    }
    for (const QString& dir : dirs)
        if (!syncDirectory(dir, error))
            return false;
    return true;
}

constexpr int kLockWaitMs = 5000;

// A program killed between creating the lock file and writing its owner into it leaves a
// lock that names no process, which QLockFile never counts as stale: without this, no save
// or recovery could run in that directory again. Writing those few bytes takes far less than
// a second, so a nameless lock older than that is taken over.
bool takeOverOwnerlessLock(QLockFile& lock, const QString& path)
{
    qint64 pid = 0;
    QString host, app;
    if (lock.error() != QLockFile::LockFailedError || lock.getLockInfo(&pid, &host, &app))
        return false;
    const QDateTime written = QFileInfo(path).lastModified();
    if (!written.isValid() || written.msecsTo(QDateTime::currentDateTime()) < 1000)
        return false;
    return lock.removeStaleLockFile() && lock.tryLock(0);
}

std::unique_ptr<QLockFile> lockDirectory(const QString& dir, QString* error)
{
    const QString path = mulPath(dir, QLatin1String(kLockName));
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);   // stale only when its process is gone, however long a save takes
    if (lock->tryLock(kLockWaitMs) || takeOverOwnerlessLock(*lock, path))
        return lock;
    *error = lock->error() == QLockFile::LockFailedError
        ? QStringLiteral("Another program is saving into %1; try again when it has finished")
              .arg(QDir::toNativeSeparators(dir))
        : QStringLiteral("Cannot create %1 in %2 to guard the save (is the directory writable, "
                         "is the disk full?)")
              .arg(QLatin1String(kLockName), QDir::toNativeSeparators(dir));
    return nullptr;
}

QString injected(const char* label)
{
    return QStringLiteral("Save stopped by a test at '%1'").arg(QLatin1String(label));
}

bool recoverLocked(const QString& mulDir, QStringList* report, QString* error);

enum class JournalState { Complete, Incomplete, Unreadable };

// A journal counts only when it is whole: written after every staged file was on disk, it
// is whole exactly when the swap had begun.
JournalState readJournal(const QString& path, QStringList* names, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Reading %1 failed: %2").arg(QLatin1String(kJournalName), f.errorString());
        return JournalState::Unreadable;
    }
    const QByteArray bytes = f.read(4096);
    const QStringList lines = QString::fromLatin1(bytes).split(QLatin1Char('\n'));
    // Lines: header, names..., "end", "" (after the final newline).
    if (lines.size() < 3 || lines.first() != QLatin1String(kJournalHeader)
        || lines.last() != QString() || lines.at(lines.size() - 2) != QLatin1String(kJournalEnd))
        return JournalState::Incomplete;
    for (int i = 1; i < lines.size() - 2; ++i) {
        const QString name = isRemoval(lines.at(i)) ? lines.at(i).mid(1) : lines.at(i);
        if (!replaceableFiles().contains(name)) {
            *error = QStringLiteral("%1 names a file this program does not write (%2); "
                                    "the directory was left as it is")
                         .arg(QLatin1String(kJournalName), lines.at(i));
            return JournalState::Unreadable;
        }
        names->append(lines.at(i));
    }
    return JournalState::Complete;
}

bool finishSwap(const QString& dir, const QStringList& names, QString* error)
{
    QStringList staged;
    for (const QString& name : names) {
        if (isRemoval(name)) {
            if (!removeFile(mulPath(dir, name.mid(1)), error))
                return false;
            continue;
        }
        staged.append(stagedPath(dir, name));
        // A missing staged file was renamed before the interruption.
        if (QFileInfo::exists(staged.last()) && !replaceFile(staged.last(), replacedBy(staged.last()), error))
            return false;
    }
    return syncDirectoriesOf(dir, staged, error);
}

} // namespace

SaveTransaction::SaveTransaction(const QString& mulDir)
    : m_dir(mulDir)
{
}

bool SaveTransaction::begin(QString* error)
{
    if (m_lock)
        return true;
    m_lock = lockDirectory(m_dir, error);
    if (!m_lock)
        return false;
    // A save that failed after its commit point is finished first, so that this one starts
    // from the files that save meant to leave: the program need not be restarted for it.
    QString why;
    if (!hasPendingSave(m_dir) || recoverLocked(m_dir, nullptr, &why))
        return true;
    *error = QStringLiteral("%1 holds an unfinished save that cannot be finished: %2")
                 .arg(QDir::toNativeSeparators(m_dir), why);
    m_lock.reset();
    return false;
}

SaveTransaction::~SaveTransaction()
{
    if (!m_committed)
        discard();
}

QFile* SaveTransaction::stage(const QString& fileName, QString* error)
{
    // The new file is made beside the one it replaces and takes over its permissions, owner
    // and group before it gets any data; a file nobody may write is left alone.
    const QString replaced = qm::replacedFilePath(mulPath(m_dir, fileName), error);
    if (replaced.isEmpty() || !qm::mayReplace(replaced, error))
        return nullptr;
    auto file = std::make_unique<QFile>(stagedName(replaced));
    // Unbuffered: the rewrite hands over large blocks itself, and every write error shows
    // at the write that caused it.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *error = QStringLiteral("Creating %1 failed: %2").arg(stagedName(fileName), file->errorString());
        return nullptr;
    }
    m_files.emplace_back(fileName, std::move(file));
    if (!qm::keepOwnership(*m_files.back().second, replaced, error))
        return nullptr;
    if (!saveCheckpoint("staged")) {
        *error = injected("staged");
        return nullptr;
    }
    return m_files.back().second.get();
}

void SaveTransaction::discard()
{
    for (auto& entry : m_files) {
        entry.second->close();
        QFile::remove(entry.second->fileName());
    }
    m_files.clear();
}

void SaveTransaction::removeOnCommit(const QString& fileName)
{
    if (!m_removals.contains(fileName))
        m_removals.append(fileName);
}

bool SaveTransaction::commit(QString* error)
{
    if (m_files.empty() && m_removals.isEmpty())
        return true;
    // 1. Every new file complete on the disk; all of them are started before waiting on any.
    for (auto& entry : m_files)
        startWriteback(*entry.second);
    for (auto& [name, file] : m_files) {
        if (!saveCheckpoint("sync")) {
            *error = injected("sync");
            return false;
        }
        if (!syncFile(*file, error))
            return false;
        file->close();
    }
    QStringList stagedPaths;
    for (const auto& entry : m_files)
        stagedPaths.append(entry.second->fileName());
    if (!syncDirectoriesOf(m_dir, stagedPaths, error))
        return false;

    // 2. The journal: once it is on the disk the swap will be finished whatever happens.
    const QString journalPath = mulPath(m_dir, QLatin1String(kJournalName));
    QByteArray journal = QByteArray(kJournalHeader) + '\n';
    for (const auto& entry : m_files)
        journal += entry.first.toLatin1() + '\n';
    // Deletions come last: recovery replays the lines in order, so the new form is in place
    // before the old one goes.
    for (const QString& name : m_removals)
        journal += kRemovalMark + name.toLatin1() + '\n';
    journal += QByteArray(kJournalEnd) + '\n';
    {
        QFile j(journalPath);
        bool ok = saveCheckpoint("journal");
        if (!ok)
            *error = injected("journal");
        else if (!j.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = QStringLiteral("Creating %1 failed: %2").arg(QLatin1String(kJournalName), j.errorString());
            ok = false;
        } else {
            ok = writeAll(j, journal.constData(), journal.size(), error) && syncFile(j, error);
        }
        j.close();
        if (ok)
            ok = syncDirectory(m_dir, error);
        if (!ok) {
            QFile::remove(journalPath);
            return false;
        }
    }
    m_committed = true;

    // 3. The swap.
    for (size_t i = 0; i < m_files.size(); ++i) {
        QString failure;
        bool ok = saveCheckpoint("rename");
        if (!ok)
            failure = injected("rename");
        else
            ok = replaceFile(stagedPaths.at(int(i)), replacedBy(stagedPaths.at(int(i))), &failure);
        if (ok)
            continue;
        if (i == 0) {
            // Nothing swapped yet: withdrawing the journal undoes the whole save.
            QString ignored;
            if (removeFile(journalPath, &ignored) && syncDirectory(m_dir, &ignored)) {
                m_committed = false;
                discard();
                *error = failure;
                return false;
            }
        }
        *error = failure
            + QStringLiteral(". The new files are complete; the save will be finished when the "
                             "directory is opened or saved again");
        return false;
    }
    QString failure;
    for (const QString& name : m_removals) {
        if (!removeFile(mulPath(m_dir, name), &failure)) {
            *error = failure + QStringLiteral(". The save will be finished when the directory is opened or saved again");
            return false;
        }
    }
    if (!saveCheckpoint("swapped") || !syncDirectoriesOf(m_dir, stagedPaths, &failure)) {
        *error = (failure.isEmpty() ? injected("swapped") : failure)
            + QStringLiteral(". The save will be confirmed when the directory is opened or saved again");
        return false;
    }
    // A journal left behind here (the removal not yet on the disk) only repeats renames
    // that are done; it is harmless, so the removal is not waited for.
    removeFile(journalPath, &failure);
    m_files.clear();
    m_removals.clear();
    return true;
}

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

} // namespace

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
