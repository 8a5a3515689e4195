#include "entrycopier.h"

#include "durablefile.h"
#include "savetransaction.h"

#include <QFileInfo>

namespace {

constexpr qint64 kBlockSize = 1 << 20;        // one read and one write per MiB
constexpr qint64 kLongestRun = 64 << 20;      // gathered entries are written by then

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

bool EntryCopier::copyRun(QString* error)
{
    if (m_runLength == 0)
        return true;
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

bool EntryCopier::writeTarget(const char* data, qint64 size, QString* error)
{
    if (!writeAll(m_target, data, size, error))
        return false;
    m_written += size;
    return true;
}
