#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace qm {

// Builds a new data file by appending entries: old ones copied from the old data file, new
// ones written as given. Memory stays bounded whatever the file's size: copies go through
// one fixed buffer, and neighbouring old entries are gathered into one run so that a file
// whose entries are mostly kept is copied in large blocks. Large runs are moved by the
// kernel; small ones (the entries of a file whose entries are out of order or have gaps)
// are read into the buffer one after another and written in large blocks, since a kernel
// copy per small entry costs far more than the bytes it moves.
class EntryCopier {
public:
    // `sourcePath` is opened on the first copy, so a missing source only matters when an
    // entry must be read from it.
    EntryCopier(const QString& sourcePath, QFile& target);

    // Size of the source file, opening it; -1 with `error` when it cannot be opened.
    qint64 sourceSize(QString* error);
    // Where the next appended entry starts in the new file.
    qint64 position() const { return m_written + m_filled + m_runLength; }

    // Appends `length` bytes of the source from `offset`; the caller has checked that they
    // lie inside the source.
    bool copy(qint64 offset, qint64 length, QString* error);
    bool append(const QByteArray& bytes, QString* error);
    // Writes what is still gathered. Call before the target is used otherwise.
    bool flush(QString* error);

private:
    bool copyRun(QString* error);
    qint64 copyInKernel(QString* error);
    bool gatherRun(QString* error);
    bool readSource(qint64 offset, char* into, qint64 length, QString* error);
    bool writeGathered(QString* error);
    void noteWritten();
    bool writeTarget(const char* data, qint64 size, QString* error);

    QFile m_source;
    QFile& m_target;
    qint64 m_sourceSize = -1;
    qint64 m_written = 0;
    qint64 m_runStart = 0;
    qint64 m_runLength = 0;
    qint64 m_writebackFrom = 0;
    QByteArray m_buffer;
    qint64 m_filled = 0;   // bytes gathered in m_buffer, not yet written
};

} // namespace qm
