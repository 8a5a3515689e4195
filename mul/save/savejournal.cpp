// What the commit and the recovery of a save share: the journal, the staged names and the
// directory's lock.
#include "savejournal.h"

#include "durablefile.h"
#include "indexfile.h"
#include "replacedfile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace qm {

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

namespace {

constexpr int kLockWaitMs = 5000;

} // namespace

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

} // namespace qm
