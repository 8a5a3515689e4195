#include "entrycopier.h"

#include "durablefile.h"
#include "savecheckpoint.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace qm {

namespace {

constexpr qint64 kBlockSize = 1 << 20;        // one read and one write per MiB
constexpr qint64 kLongestRun = 64 << 20;      // gathered entries are written by then
constexpr qint64 kWritebackStep = 8 << 20;    // the disk starts writing after each such step
// Runs from this size on are moved by the kernel; shorter ones are gathered in the buffer.
constexpr qint64 kKernelRunSize = 256 << 10;

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
    if (!copyRun(error))
        return false;
    if (bytes.size() >= kBlockSize)
        return writeGathered(error) && writeTarget(bytes.constData(), bytes.size(), error);
    if (m_buffer.isEmpty())
        m_buffer.resize(kBlockSize);
    if (m_filled + bytes.size() > kBlockSize && !writeGathered(error))
        return false;
    std::memcpy(m_buffer.data() + m_filled, bytes.constData(), size_t(bytes.size()));
    m_filled += bytes.size();
    return true;
}

bool EntryCopier::flush(QString* error)
{
    return copyRun(error) && writeGathered(error);
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
    if (m_runLength >= kKernelRunSize) {
        // What was gathered goes first: the kernel writes at the file's end.
        if (!writeGathered(error))
            return false;
        const qint64 copied = copyInKernel(error);
        if (copied < 0)
            return false;
        m_runStart += copied;
        m_runLength -= copied;
    }
#endif
    return gatherRun(error);
}

// Reads the run into the buffer behind what is gathered, writing the buffer whenever it fills.
bool EntryCopier::gatherRun(QString* error)
{
    if (m_runLength > 0 && m_buffer.isEmpty())
        m_buffer.resize(kBlockSize);
    while (m_runLength > 0) {
        if (m_filled == kBlockSize && !writeGathered(error))
            return false;
        const qint64 want = qMin(m_runLength, kBlockSize - m_filled);
        if (!readSource(m_runStart, m_buffer.data() + m_filled, want, error))
            return false;
        m_filled += want;
        m_runStart += want;
        m_runLength -= want;
    }
    return true;
}

bool EntryCopier::readSource(qint64 offset, char* into, qint64 length, QString* error)
{
#ifdef Q_OS_UNIX
    // One call per entry instead of a seek and a read.
    qint64 got = 0;
    while (got < length) {
        const ssize_t n = ::pread(m_source.handle(), into + got, size_t(length - got), off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? QStringLiteral("Reading %1 failed: %2").arg(nameOf(m_source), QString::fromLocal8Bit(std::strerror(errno)))
                           : QStringLiteral("Reading %1 failed: the file ended early (was it changed "
                                            "while saving?)").arg(nameOf(m_source));
            return false;
        }
        got += n;
    }
    return true;
#else
    const qint64 got = m_source.seek(offset) ? m_source.read(into, length) : -1;
    if (got == length)
        return true;
    *error = got < 0 ? QStringLiteral("Reading %1 failed: %2").arg(nameOf(m_source), m_source.errorString())
                     : QStringLiteral("Reading %1 failed: the file ended early (was it changed "
                                      "while saving?)").arg(nameOf(m_source));
    return false;
#endif
}

bool EntryCopier::writeGathered(QString* error)
{
    if (m_filled == 0)
        return true;
    const qint64 size = m_filled;
    m_filled = 0;
    if (!writeTarget(m_buffer.constData(), size, error))
        return false;
    if (!saveCheckpoint("copied")) {
        *error = QStringLiteral("Save stopped by a test at 'copied'");
        return false;
    }
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
