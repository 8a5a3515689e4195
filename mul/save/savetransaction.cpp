// The commit of a save: staged files, the journal, the swap.
#include "savetransaction.h"

#include "durablefile.h"
#include "indexfile.h"
#include "replacedfile.h"
#include "savecheckpoint.h"
#include "savejournal.h"

#include <QDir>
#include <QFileInfo>

namespace qm {

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

} // namespace qm
