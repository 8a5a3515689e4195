#include "patchfile.h"

#include "artcodec.h"
#include "itemkind.h"
#include "littleendian.h"
#include "pngslice.h"
#include "records.h"

#include <QFile>
#include <QSaveFile>

namespace qm {

namespace {

int animRecordSizeFor(int kind) { return kind == Static ? kAnimRecordSize : 0; }

QString notAPatch(const QString& reason) { return QStringLiteral("Not a patch file: ") + reason; }

// Reads the fields in file order, never past the end of the bytes.
class PatchReader {
public:
    explicit PatchReader(const QByteArray& bytes) : m_bytes(bytes) {}

    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    const QByteArray& bytes() const { return m_bytes; }

    bool readI32(qint32* v)
    {
        if (remaining() < 4)
            return false;
        // Byte by byte: GCC's bounds warning cannot tell that an empty array never gets here.
        quint32 value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | quint8(m_bytes.at(m_pos + i));
        *v = qint32(value);
        m_pos += 4;
        return true;
    }
    bool readBytes(qsizetype n, QByteArray* out)
    {
        if (remaining() < n)
            return false;
        *out = m_bytes.mid(m_pos, n);
        m_pos += n;
        return true;
    }
    void skipTo(qsizetype pos) { m_pos = pos; }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

// The image part: marker and PNG when height + width says an image follows.
bool readImage(PatchReader& in, int kind, QImage* image, QString* error)
{
    qint32 height = 0, width = 0;
    if (!in.readI32(&height) || !in.readI32(&width)) {
        *error = notAPatch(QStringLiteral("the file ends inside its header"));
        return false;
    }
    // The two sizes only say whether an image follows; the PNG carries the real size.
    if (qint64(height) + width == 0)
        return true;
    qint32 marker = 0;
    if (!in.readI32(&marker)) {
        *error = notAPatch(QStringLiteral("the file ends before its image"));
        return false;
    }
    if (marker == 0)
        return true;
    if (marker != 1) {
        *error = notAPatch(QStringLiteral("unknown image marker %1").arg(marker));
        return false;
    }
    PngExtent extent;
    QString reason;
    if (!findPngExtent(in.bytes(), in.pos(), &extent, &reason)) {
        *error = notAPatch(reason);
        return false;
    }
    const QImage decoded = decodePatchPng(in.bytes().mid(in.pos(), extent.end - in.pos()), &reason);
    if (decoded.isNull()) {
        *error = notAPatch(reason);
        return false;
    }
    if (!canEncode(kind, decoded, &reason)) {
        *error = QStringLiteral("Cannot import this patch: ") + reason;
        return false;
    }
    in.skipTo(extent.end);
    *image = decoded;
    return true;
}

} // namespace

TileLayout patchTileLayout(int format)
{
    return format == kWidePatchFormat ? TileLayout::Wide : TileLayout::Classic;
}

int patchTileRecordSize(int format, int kind)
{
    return hasTileData(kind) ? tileRecordSize(kind, patchTileLayout(format)) : 0;
}

bool serialisePatch(const PatchItem& patch, QByteArray* out, QString* error)
{
    const bool knownFormat = patch.format == kPatchFormat
        || (patch.format == kWidePatchFormat && hasTileData(patch.kind));
    if (!isValidKind(patch.kind) || !knownFormat
        || patch.tileRecord.size() != patchTileRecordSize(patch.format, patch.kind)
        || patch.animRecord.size() != animRecordSizeFor(patch.kind)) {
        *error = QStringLiteral("The item's records are incomplete; nothing was written.");
        return false;
    }
    QByteArray bytes;
    appendU32(bytes, quint32(patch.format));
    appendU32(bytes, quint32(patch.kind));
    appendU32(bytes, quint32(patch.id));
    if (patch.image.isNull()) {
        appendU32(bytes, 0);
        appendU32(bytes, 0);
    } else {
        const QByteArray png = encodePatchPng(patch.image);
        if (png.isEmpty()) {
            *error = QStringLiteral("The item's image cannot be written as PNG.");
            return false;
        }
        appendU32(bytes, quint32(patch.image.height()));
        appendU32(bytes, quint32(patch.image.width()));
        appendU32(bytes, 1);
        bytes += png;
    }
    bytes += patch.tileRecord;
    bytes += patch.animRecord;
    *out = bytes;
    return true;
}

bool parsePatch(const QByteArray& bytes, PatchItem* out, QString* error)
{
    PatchReader in(bytes);
    qint32 format = 0, kind = 0, id = 0;
    if (!in.readI32(&format) || !in.readI32(&kind) || !in.readI32(&id)) {
        *error = notAPatch(QStringLiteral("the file ends inside its header"));
        return false;
    }
    if (format != kPatchFormat && format != kWidePatchFormat) {
        *error = notAPatch(QStringLiteral("unknown format %1").arg(format));
        return false;
    }
    if (!isValidKind(kind)) {
        *error = notAPatch(QStringLiteral("unknown item kind %1").arg(kind));
        return false;
    }
    if (format == kWidePatchFormat && !hasTileData(kind)) {
        *error = notAPatch(QStringLiteral("format %1 carries land and static tiles only").arg(format));
        return false;
    }

    PatchItem patch;
    patch.format = format;
    patch.kind = ItemKind(kind);
    patch.id = id;
    if (!readImage(in, kind, &patch.image, error))
        return false;
    if (!in.readBytes(patchTileRecordSize(format, kind), &patch.tileRecord)) {
        *error = notAPatch(QStringLiteral("the file ends inside the tile data"));
        return false;
    }
    if (!in.readBytes(animRecordSizeFor(kind), &patch.animRecord)) {
        *error = notAPatch(QStringLiteral("the file ends inside the animation data"));
        return false;
    }
    // Nothing may follow the item: extra bytes mean the file is not what its header says
    // (another kind's layout, or two files run together).
    if (in.remaining() != 0) {
        *error = notAPatch(QStringLiteral("%1 unexpected bytes after the item").arg(in.remaining()));
        return false;
    }
    *out = patch;
    return true;
}

bool readPatchFile(const QString& fileName, PatchItem* out, QString* error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    // Read at most one byte past the limit: the size a file claims is not trusted.
    const QByteArray bytes = file.read(kPatchFileSizeLimit + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    if (bytes.size() > kPatchFileSizeLimit) {
        *error = notAPatch(QStringLiteral("the file is far too large"));
        return false;
    }
    return parsePatch(bytes, out, error);
}

bool writePatchFile(const QString& fileName, const PatchItem& patch, QString* error)
{
    QByteArray bytes;
    if (!serialisePatch(patch, &bytes, error))
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}

QString patchFileNameForFilter(const QString& chosenName, const QString& selectedFilter)
{
    if (!selectedFilter.simplified().startsWith(QLatin1String("QMP")))
        return chosenName;
    const QString simplified = chosenName.simplified();
    const QString extension = simplified.mid(simplified.lastIndexOf(QLatin1Char('.')) + 1);
    if (extension.toUpper() == QLatin1String("QMP"))
        return chosenName;
    return chosenName + QStringLiteral(".qmp");
}

} // namespace qm
