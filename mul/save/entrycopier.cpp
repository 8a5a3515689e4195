#include "entrycopier.h"

#include "durablefile.h"
#include "savecheckpoint.h"

#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace qm {

namespace {

constexpr qint64 kBlockSize = 1 << 20;        // one read and one write per MiB
constexpr qint64 kLongestRun = 64 << 20;      // gathered entries are written by then
constexpr qint64 kWritebackStep = 8 << 20;    // the disk starts writing after each such step

QString nameOf(const QFile& f)
{
    return QFileInfo(f.fileName()).fileName();
}

} // namespace

EntryCopier::EntryCopier(const QString& sourcePath, QFile& target)
    : m_source(sourcePath)
    , m_target(target)
{
}

qint64 EntryCopier::sourceSize(QString* error)
{
    if (m_sourceSize >= 0)
        return m_sourceSize;
    if (!m_source.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *error = QStringLiteral("Opening %1 failed: %2").arg(nameOf(m_source), m_source.errorString());
        return -1;
    }
    m_sourceSize = m_source.size();
    return m_sourceSize;
}

bool EntryCopier::copy(qint64 offset, qint64 length, QString* error)
{
    if (length <= 0)
        return true;
    if (sourceSize(error) < 0)
        return false;
    if (m_runLength > 0 && offset == m_runStart + m_runLength && m_runLength < kLongestRun) {
        m_runLength += length;
        return true;
    }
    if (!copyRun(error))
        return false;
    m_runStart = offset;
    m_runLength = length;
    return true;
}

bool EntryCopier::append(const QByteArray& bytes, QString* error)
{
    return copyRun(error) && writeTarget(bytes.constData(), bytes.size(), error);
}

bool EntryCopier::flush(QString* error)
{
    return copyRun(error);
}

#ifdef Q_OS_LINUX
// Lets the kernel move the run without passing it through this process. Returns the bytes
// copied; fewer than asked (with `error` empty) means the kernel cannot do it for these files
// and the rest goes through the buffer.
qint64 EntryCopier::copyInKernel(QString* error)
{
    loff_t from = m_runStart;
    qint64 done = 0;
    while (done < m_runLength) {
        const qint64 chunk = qMin(m_runLength - done, kWritebackStep);
        const ssize_t n = ::copy_file_range(m_source.handle(), &from, m_target.handle(), nullptr, size_t(chunk), 0);
        if (n < 0) {
            if (done == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
                break;   // not offered here: copy through the buffer
            *error = QStringLiteral("Writing %1 failed: %2").arg(nameOf(m_target), QString::fromLocal8Bit(std::strerror(errno)));
            return -1;
        }
        if (n == 0)
            break;   // the source ended early; the buffered copy reports it
        done += n;
        m_written += n;
        noteWritten();
        if (!saveCheckpoint("copied")) {
            *error = QStringLiteral("Save stopped by a test at 'copied'");
            return -1;
        }
    }
    // QFile keeps its own idea of the position; bring it to where the kernel wrote to.
    if (done > 0 && !m_target.seek(m_written)) {
        *error = QStringLiteral("Writing %1 failed: %2").arg(nameOf(m_target), m_target.errorString());
        return -1;
    }
    return done;
}
#endif

bool EntryCopier::copyRun(QString* error)
{
    if (m_runLength == 0)
        return true;
#ifdef Q_OS_LINUX
    const qint64 copied = copyInKernel(error);
    if (copied < 0)
        return false;
    m_runStart += copied;
    m_runLength -= copied;
    if (m_runLength == 0)
        return true;
#endif
    if (!m_source.seek(m_runStart)) {
        *error = QStringLiteral("Reading %1 failed: %2").arg(nameOf(m_source), m_source.errorString());
        return false;
    }
    if (m_buffer.isEmpty())
        m_buffer.resize(kBlockSize);
    qint64 left = m_runLength;
    while (left > 0) {
        const qint64 want = qMin(left, kBlockSize);
        const qint64 got = m_source.read(m_buffer.data(), want);
        if (got != want) {
            *error = got < 0 ? QStringLiteral("Reading %1 failed: %2").arg(nameOf(m_source), m_source.errorString())
                             : QStringLiteral("Reading %1 failed: the file ended early (was it changed "
                                              "while saving?)").arg(nameOf(m_source));
            return false;
        }
        if (!writeTarget(m_buffer.constData(), got, error))
            return false;
        left -= got;
        if (!saveCheckpoint("copied")) {
            *error = QStringLiteral("Save stopped by a test at 'copied'");
            return false;
        }
    }
    m_runLength = 0;
    return true;
}

// Starts the disk on what was written since the last step, so that the flush at the end of
// the save overlaps with the copying instead of following it.
void EntryCopier::noteWritten()
{
    if (m_written - m_writebackFrom < kWritebackStep)
        return;
    startWriteback(m_target, m_writebackFrom, m_written - m_writebackFrom);
    m_writebackFrom = m_written;
}

bool EntryCopier::writeTarget(const char* data, qint64 size, QString* error)
{
    if (!writeAll(m_target, data, size, error))
        return false;
    m_written += size;
    noteWritten();
    return true;
}

} // namespace qm
