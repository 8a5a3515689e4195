#include "newfilewrite.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qm {

#ifdef Q_OS_LINUX

namespace {

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

NewFileWrite writeNewFileWhole(const QString& path, const QByteArray& bytes)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return NewFileWrite::NotThisWay;
    NewFileWrite outcome = NewFileWrite::NotThisWay;
    if (writeAll(fd, bytes.constData(), bytes.size())) {
        // Linking through /proc needs no privilege, unlike linking the descriptor itself.
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
        if (::linkat(AT_FDCWD, self, AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_FOLLOW) == 0)
            outcome = NewFileWrite::Written;
        else if (errno == EEXIST)
            outcome = NewFileWrite::Exists;
    }
    ::close(fd);   // an unnamed file that was never linked goes with its descriptor
    return outcome;
}

#else

NewFileWrite writeNewFileWhole(const QString&, const QByteArray&)
{
    return NewFileWrite::NotThisWay;
}

#endif

} // namespace qm
