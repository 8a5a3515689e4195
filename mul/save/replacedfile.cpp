#include "replacedfile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm {

namespace {

QString nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

QString replacedFilePath(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString target = info.canonicalFilePath();
    if (target.isEmpty())
        *error = QStringLiteral("%1 is a link to %2, which does not exist; nothing was written")
                     .arg(nameOf(path), QDir::toNativeSeparators(info.symLinkTarget()));
    return target;
}

bool mayReplace(const QString& path, QString* error)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || (st.st_mode & 0222) != 0)
        return true;
    *error = QStringLiteral("%1 is read-only (its permissions let nobody write to it), so it was not "
                            "replaced; nothing was written. Make it writable to save into it")
                 .arg(QDir::toNativeSeparators(path));
    return false;
#else
    Q_UNUSED(path);
    Q_UNUSED(error);
    return true;
#endif
}

bool keepOwnership(QFile& staged, const QString& original, QString* error)
{
#ifdef Q_OS_UNIX
    struct stat old {};
    if (::stat(QFile::encodeName(original).constData(), &old) != 0)
        return true;   // a new file: the system's defaults
    struct stat now {};
    const int fd = staged.handle();
    if (::fstat(fd, &now) != 0) {
        *error = QStringLiteral("Reading the permissions of %1 failed: %2")
                     .arg(nameOf(staged.fileName()), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Owner first: changing it may clear the set-id bits that the mode then restores.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        *error = QStringLiteral("%1 belongs to user %2 and group %3, which this program may not give its "
                                "new copy (%4); nothing was written. Save as its owner, or change the "
                                "file's owner first")
                     .arg(QDir::toNativeSeparators(original)).arg(old.st_uid).arg(old.st_gid)
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
        *error = QStringLiteral("Setting the permissions of %1 failed: %2")
                     .arg(nameOf(staged.fileName()), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
#else
    Q_UNUSED(staged);
    Q_UNUSED(original);
    Q_UNUSED(error);
    return true;
#endif
}

} // namespace qm
