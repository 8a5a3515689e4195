#include "durablefile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qm {

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

bool writeAll(QFile& file, const char* data, qint64 size, QString* error)
{
    while (size > 0) {
        const qint64 written = file.write(data, size);
        if (written <= 0) {
            *error = QStringLiteral("Writing %1 failed: %2").arg(fileName(file.fileName()), file.errorString());
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void startWriteback(QFile& file, qint64 offset, qint64 length)
{
#ifdef Q_OS_LINUX
    ::sync_file_range(file.handle(), offset, length, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
    Q_UNUSED(offset);
    Q_UNUSED(length);
#endif
}

bool syncFile(QFile& file, QString* error)
{
    if (!file.flush()) {
        *error = QStringLiteral("Writing %1 failed: %2").arg(fileName(file.fileName()), file.errorString());
        return false;
    }
#ifdef Q_OS_WIN
    const int rc = _commit(file.handle());
#else
    const int rc = ::fsync(file.handle());
#endif
    if (rc != 0) {
        *error = QStringLiteral("Writing %1 to disk failed: %2").arg(fileName(file.fileName()), systemError(errno));
        return false;
    }
    return true;
}

bool syncDirectory(const QString& dir, QString* error)
{
#ifdef Q_OS_WIN
    // NTFS journals directory changes itself; there is no handle to flush.
    Q_UNUSED(dir);
    Q_UNUSED(error);
    return true;
#else
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("Opening the directory %1 failed: %2").arg(QDir::toNativeSeparators(dir), systemError(errno));
        return false;
    }
    // Some file systems cannot flush a directory and say so with EINVAL; their metadata is
    // then as durable as they make it.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    const int code = errno;
    ::close(fd);
    if (!ok)
        *error = QStringLiteral("Writing the directory %1 to disk failed: %2").arg(QDir::toNativeSeparators(dir), systemError(code));
    return ok;
#endif
}

bool replaceFile(const QString& from, const QString& to, QString* error)
{
#ifdef Q_OS_WIN
    const bool ok = MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                                reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        *error = QStringLiteral("Renaming %1 to %2 failed (error %3)").arg(fileName(from), fileName(to)).arg(GetLastError());
    return ok;
#else
    // rename(2) replaces the target atomically; QFile::rename refuses an existing target.
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *error = QStringLiteral("Renaming %1 to %2 failed: %3").arg(fileName(from), fileName(to), systemError(errno));
    return false;
#endif
}

bool removeFile(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.exists() || f.remove())
        return true;
    *error = QStringLiteral("Deleting %1 failed: %2").arg(fileName(path), f.errorString());
    return false;
}

} // namespace qm
