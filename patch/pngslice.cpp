#include "pngslice.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

namespace qm {

namespace {

const char kPngSignature[8] = { '\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n' };
constexpr qsizetype kChunkOverhead = 12;   // length, type, CRC
constexpr quint32 kLargestChunk = 0x7fffffff;   // PNG's own limit on lengths and sizes

quint32 readBigEndian32(const char* p) { return qFromBigEndian<quint32>(p); }

// QImageReader's allocation limit is process-wide; it is lowered only while a patch image is
// decoded and put back afterwards, so that picture files opened elsewhere keep Qt's default.
class AllocationLimitScope {
public:
    explicit AllocationLimitScope(int megabytes)
        : m_previous(QImageReader::allocationLimit())
    {
        QImageReader::setAllocationLimit(megabytes);
    }
    ~AllocationLimitScope() { QImageReader::setAllocationLimit(m_previous); }
    AllocationLimitScope(const AllocationLimitScope&) = delete;
    AllocationLimitScope& operator=(const AllocationLimitScope&) = delete;

private:
    int m_previous;
};

} // namespace

bool findPngExtent(const QByteArray& bytes, qsizetype start, PngExtent* extent, QString* error)
{
    const qsizetype size = bytes.size();
    if (start < 0 || size - start < qsizetype(sizeof kPngSignature)) {
        *error = QStringLiteral("the file ends before the image starts");
        return false;
    }
    if (memcmp(bytes.constData() + start, kPngSignature, sizeof kPngSignature) != 0) {
        *error = QStringLiteral("the image is not a PNG");
        return false;
    }
    qsizetype pos = start + qsizetype(sizeof kPngSignature);
    bool first = true;
    for (;;) {
        if (size - pos < 8) {
            *error = QStringLiteral("the file ends inside the image");
            return false;
        }
        const char* chunk = bytes.constData() + pos;
        const quint32 length = readBigEndian32(chunk);
        const QByteArray type(chunk + 4, 4);
        if (length > kLargestChunk || size - pos - kChunkOverhead < qsizetype(length)) {
            *error = QStringLiteral("the file ends inside the image");
            return false;
        }
        if (first) {
            if (type != "IHDR" || length != 13) {
                *error = QStringLiteral("the image's PNG header is missing");
                return false;
            }
            const quint32 width = readBigEndian32(chunk + 8);
            const quint32 height = readBigEndian32(chunk + 12);
            if (width > kLargestChunk || height > kLargestChunk) {
                *error = QStringLiteral("the image's PNG header is broken");
                return false;
            }
            extent->size = QSize(int(width), int(height));
            first = false;
        }
        pos += kChunkOverhead + qsizetype(length);
        if (type == "IEND") {
            extent->end = pos;
            return true;
        }
    }
}

QImage decodePatchPng(const QByteArray& png, QString* error)
{
    PngExtent extent;
    if (!findPngExtent(png, 0, &extent, error))
        return QImage();
    // Each side is below 2^31, so the product fits; times 4 it might not.
    const qint64 pixels = qint64(extent.size.width()) * extent.size.height();
    if (pixels > kPatchImageByteLimit / 4) {
        *error = QStringLiteral("the image claims %1 x %2 pixels, far more than any item holds")
                     .arg(extent.size.width())
                     .arg(extent.size.height());
        return QImage();
    }

    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoTransform(false);
    QImage image;
    {
        const AllocationLimitScope limit(int(kPatchImageByteLimit / (1024 * 1024)));
        if (!reader.read(&image) || image.isNull()) {
            *error = QStringLiteral("the image cannot be decoded (%1)").arg(reader.errorString());
            return QImage();
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray encodePatchPng(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return QByteArray();
    return buffer.data();
}

} // namespace qm
