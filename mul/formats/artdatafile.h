#pragma once

#include "artcodec.h"
#include "indexfile.h"
#include "mappedfile.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

namespace qm {

// One of the art data files (art.mul, gumpart.mul, texmaps.mul), memory-mapped for reading.
// Static and gump records don't state their length to the decoders, so each record is
// handed over as the bytes from its offset to the end of the file: with a map that costs
// nothing, and the decoders' bounds checks keep every read inside the file.
class ArtDataFile {
public:
    ArtDataFile(const QString& mulDir, int kind);
    // Another file holding records of `kind` (a package), mapped the same way.
    ArtDataFile(const QString& mulDir, int kind, const QString& fileName);
    ~ArtDataFile();
    ArtDataFile(const ArtDataFile&) = delete;
    ArtDataFile& operator=(const ArtDataFile&) = delete;

    bool isOpen() const { return m_open; }
    QString errorString() const { return m_error; }
    QString fileName() const { return m_name; }
    qint64 size() const { return m_size; }

    // The bytes from `offset` to the end of the file, without copying; empty when the
    // offset lies outside the file. Valid while this object lives.
    QByteArray bytesFrom(qint64 offset) const;

    // Decodes the record an index record points to; null for an empty entry, a record
    // outside the file or one that cannot be decoded.
    QImage decode(const IndexRecord& record, DecodeReport* report = nullptr) const;

private:
    int m_kind;
    std::unique_ptr<MappedFile> m_file;
    QString m_name;
    QString m_error;
    bool m_open = false;
    qint64 m_size = 0;
};

// Decodes the bytes of one record (from its offset on) by kind; the index record's extra
// gives gump and texture sizes.
QImage decodeRecord(int kind, const QByteArray& bytes, quint32 extra, DecodeReport* report);
// The same with the colours looked up in `colors` (see decodeStaticColored).
QImage decodeRecordColored(int kind, const QByteArray& bytes, quint32 extra, const QRgb* colors);

} // namespace qm
