// Images to record bytes, in exactly the layouts the decoders read. An image that a record
// cannot hold is refused with a reason; a record with wrong offsets is never produced.
#include "artcodec.h"

#include "itemkind.h"
#include "littleendian.h"
#include "pixels.h"

#include <QCoreApplication>
#include <QVector>

namespace qm {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ArtCodec", text);
}

QByteArray refuse(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return QByteArray();
}

QImage asArgb32(const QImage& image)
{
    return image.format() == QImage::Format_ARGB32 ? image
                                                    : image.convertToFormat(QImage::Format_ARGB32);
}

// One row of the image as the values the record stores.
void storedRow(const QImage& argb, int y, QVector<Color16>& row)
{
    const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    row.resize(argb.width());
    for (int x = 0; x < argb.width(); ++x)
        row[x] = storedColor16(line[x]);
}

QString sizeText(const QImage& image)
{
    return QStringLiteral("%1 × %2").arg(image.width()).arg(image.height());
}

// Static and gump sizes are signed 16-bit in the files, and the decoders cap the pixel count.
bool sizeFitsRecord(const QImage& image, QString* error)
{
    if (image.width() > kMaxArtSide || image.height() > kMaxArtSide) {
        refuse(error, tr("The image is %1 pixels; widths and heights above %2 cannot be stored.")
                          .arg(sizeText(image))
                          .arg(kMaxArtSide));
        return false;
    }
    if (qint64(image.width()) * image.height() > kMaxArtPixels) {
        refuse(error, tr("The image is %1 pixels; at most %2 pixels in all can be stored.")
                          .arg(sizeText(image))
                          .arg(kMaxArtPixels));
        return false;
    }
    return true;
}

} // namespace

QByteArray encodeLand(const QImage& image, QString* error)
{
    if (image.width() != kLandSize || image.height() != kLandSize)
        return refuse(error, tr("A land tile must be 44 × 44 pixels; this image is %1.")
                                 .arg(sizeText(image)));
    const QImage argb = asArgb32(image);
    QByteArray out(kLandRecordSize, Qt::Uninitialized);
    char* p = out.data();
    const int half = kLandSize / 2;
    for (int y = 0; y < kLandSize; ++y) {
        const int count = y < half ? 2 + 2 * y : kLandSize - 2 * (y - half);
        const int firstX = y < half ? half - 1 - y : y - half;
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y)) + firstX;
        for (int k = 0; k < count; ++k, p += 2)
            writeU16(p, storedColor16(line[k]));
    }
    return out;
}

QByteArray encodeStatic(const QImage& image, QString* error)
{
    if (!sizeFitsRecord(image, error))
        return QByteArray();
    const QImage argb = asArgb32(image);
    const int width = argb.width();
    const int height = argb.height();
    const qint64 dataStart = 8 + 2 * qint64(height);

    QByteArray out(int(dataStart), '\0');
    writeU16(out.data() + 4, quint16(width));
    writeU16(out.data() + 6, quint16(height));
    QVector<Color16> row;
    for (int y = 0; y < height; ++y) {
        // The row table holds signed 16-bit word offsets from the end of the table.
        const qint64 words = (out.size() - dataStart) / 2;
        if (words > 0x7FFF)
            return refuse(error, tr("The image is too large or too detailed for a static tile: "
                                    "row %1 would start beyond the 32,767 words its row table "
                                    "can address.")
                                     .arg(y));
        writeU16(out.data() + 8 + 2 * y, quint16(words));
        storedRow(argb, y, row);
        int previousEnd = 0;
        for (;;) {
            int start = previousEnd;
            while (start < width && row[start] == 0)
                ++start;
            if (start == width)
                break;
            int end = start;
            while (end < width && row[end] != 0)
                ++end;
            appendU16(out, quint16(start - previousEnd));
            appendU16(out, quint16(end - start));
            for (int x = start; x < end; ++x)
                appendU16(out, row[x]);
            previousEnd = end;
        }
        appendU32(out, 0);   // (0, 0) ends the row
    }
    writeU32(out.data(), quint32(out.size() - 8));
    return out;
}

QByteArray encodeGump(const QImage& image, QString* error)
{
    if (image.height() <= 0)
        return refuse(error, tr("A gump needs at least one row of pixels."));
    if (!sizeFitsRecord(image, error))
        return QByteArray();
    const QImage argb = asArgb32(image);
    const int width = argb.width();
    const int height = argb.height();

    QByteArray out(4 * height, '\0');
    QVector<Color16> row;
    for (int y = 0; y < height; ++y) {
        writeU32(out.data() + 4 * y, quint32(out.size() / 4));   // pairs are 4 bytes: exact
        storedRow(argb, y, row);
        int x = 0;
        while (x < width) {
            // Counts are read back as signed 16-bit: longer runs become several pairs.
            int end = x + 1;
            while (end < width && row[end] == row[x] && end - x < 0x7FFF)
                ++end;
            appendU16(out, row[x]);
            appendU16(out, quint16(end - x));
            x = end;
        }
    }
    return out;
}

QByteArray encodeTexture(const QImage& image, QString* error)
{
    const int size = image.width();
    if ((size != 64 && size != 128) || image.height() != size)
        return refuse(error, tr("A texture must be 64 × 64 or 128 × 128 pixels; this image is %1.")
                                 .arg(sizeText(image)));
    const QImage argb = asArgb32(image);
    QByteArray out(2 * size * size, Qt::Uninitialized);
    char* p = out.data();
    for (int y = 0; y < size; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < size; ++x, p += 2)
            writeU16(p, storedColor16(line[x]));
    }
    return out;
}

QByteArray encodeRecord(int kind, const QImage& image, QString* error)
{
    switch (kind) {
    case Land: return encodeLand(image, error);
    case Static: return encodeStatic(image, error);
    case Gump: return encodeGump(image, error);
    case Texture: return encodeTexture(image, error);
    default: return {};
    }
}

bool canEncode(int kind, const QImage& image, QString* error)
{
    QString why;
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        why = tr("The image is empty.");
    } else {
        // The encoders themselves decide; land and texture records are small to build.
        switch (kind) {
        case Land: encodeLand(image, &why); break;
        case Static: encodeStatic(image, &why); break;
        case Gump: sizeFitsRecord(image, &why); break;
        case Texture: encodeTexture(image, &why); break;
        default: why = tr("Unknown item kind %1.").arg(kind); break;
        }
    }
    if (why.isEmpty())
        return true;
    refuse(error, why);
    return false;
}

} // namespace qm
