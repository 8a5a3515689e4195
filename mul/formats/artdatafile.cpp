#include "artdatafile.h"

#include "itemkind.h"

namespace qm {

ArtDataFile::ArtDataFile(const QString& mulDir, int kind)
    : ArtDataFile(mulDir, kind, dataFileName(kind))
{
}

ArtDataFile::ArtDataFile(const QString& mulDir, int kind, const QString& fileName)
    : m_kind(kind)
    , m_name(fileName)
{
    if (!isValidKind(kind)) {
        m_error = QStringLiteral("no such item kind");
        return;
    }
    m_file = std::make_unique<MappedFile>(mulPath(mulDir, m_name));
    if (!m_file->isOpen()) {
        // The system's reason alone: callers put the file's name in front of it.
        m_error = m_file->openError().isEmpty() ? m_file->errorString() : m_file->openError();
        return;
    }
    m_size = m_file->size();
    m_open = true;
}

ArtDataFile::~ArtDataFile() = default;

QByteArray ArtDataFile::bytesFrom(qint64 offset) const
{
    if (!m_open || offset < 0 || offset >= m_size)
        return QByteArray();
    return QByteArray::fromRawData(m_file->data() + offset, m_size - offset);
}

QImage ArtDataFile::decode(const IndexRecord& record, DecodeReport* report) const
{
    if (report)
        *report = DecodeReport();
    if (record.isEmpty())
        return QImage();
    const QByteArray bytes = bytesFrom(record.offset);
    if (bytes.isEmpty()) {
        if (report)
            report->complete = false;
        return QImage();
    }
    return decodeRecord(m_kind, bytes, record.extra, report);
}

QImage decodeRecord(int kind, const QByteArray& bytes, quint32 extra, DecodeReport* report)
{
    switch (kind) {
    case Land: return decodeLand(bytes, report);
    case Static: return decodeStatic(bytes, report);
    case Gump:
        return decodeGump(bytes, gumpWidthFromExtra(extra), gumpHeightFromExtra(extra), report);
    case Texture: return decodeTexture(bytes, textureSizeForExtra(extra), report);
    default:
        if (report)
            report->complete = false;
        return QImage();
    }
}

QImage decodeRecordColored(int kind, const QByteArray& bytes, quint32 extra, const QRgb* colors)
{
    switch (kind) {
    case Land: return decodeLandColored(bytes, colors);
    case Static: return decodeStaticColored(bytes, colors);
    case Gump: return decodeGumpColored(bytes, gumpWidthFromExtra(extra), gumpHeightFromExtra(extra), colors);
    case Texture: return decodeTextureColored(bytes, textureSizeForExtra(extra), colors);
    default: return QImage();
    }
}

} // namespace qm
