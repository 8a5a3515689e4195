// Record bytes to images. Every read is checked against the bytes handed in, every loop
// advances through the record or along the row, and no image is larger than the record's
// own tables allow (or kMaxArtPixels), so damaged files give partial images, never crashes.
#include "artcodec.h"

#include "littleendian.h"
#include "pixels.h"

#include <algorithm>

namespace {

// A cleared ARGB32 image, or a null one when the size is unusable or memory runs out.
QImage newArtImage(qint64 width, qint64 height, bool clear)
{
    if (width <= 0 || height <= 0 || width * height > kMaxArtPixels)
        return QImage();
    QImage image(int(width), int(height), QImage::Format_ARGB32);
    if (!image.isNull() && clear)
        image.fill(0u);
    return image;
}

inline QRgb* rowOf(QImage& image, int y)
{
    return reinterpret_cast<QRgb*>(image.scanLine(y));
}

inline void convertRun(QRgb* dst, const char* src, qint64 count)
{
    for (qint64 k = 0; k < count; ++k)
        dst[k] = color16ToRgb(readI16(src + 2 * k));
}

QImage finish(QImage image, const DecodeReport& r, DecodeReport* report)
{
    if (report)
        *report = r;
    return image;
}

} // namespace

QImage decodeLand(const QByteArray& record)
{
    return decodeLand(record, nullptr);
}

QImage decodeLand(const QByteArray& record, DecodeReport* report)
{
    DecodeReport r;
    const qint64 avail = record.size();
    if (avail < 2) {
        r.complete = false;
        return finish(QImage(), r, report);
    }
    QImage image = newArtImage(kLandSize, kLandSize, true);
    if (image.isNull()) {
        r.complete = false;
        return finish(image, r, report);
    }
    const char* p = record.constData();
    qint64 pos = 0;
    for (int y = 0; y < kLandSize; ++y) {
        const int half = kLandSize / 2;
        const int count = y < half ? 2 + 2 * y : kLandSize - 2 * (y - half);
        const int firstX = y < half ? half - 1 - y : y - half;
        const qint64 take = std::min<qint64>(count, (avail - pos) / 2);
        convertRun(rowOf(image, y) + firstX, p + pos, take);
        pos += 2 * take;
        if (take < count) {
            r.complete = false;
            break;
        }
    }
    r.extent = pos;
    return finish(image, r, report);
}

QImage decodeStatic(const QByteArray& record)
{
    return decodeStatic(record, nullptr);
}

QImage decodeStatic(const QByteArray& record, DecodeReport* report)
{
    DecodeReport r;
    const qint64 avail = record.size();
    const char* p = record.constData();
    r.extent = std::min<qint64>(avail, 8);
    if (avail < 8) {
        r.complete = false;
        return finish(QImage(), r, report);
    }
    const qint64 width = readI16(p + 4);
    const qint64 height = readI16(p + 6);
    const qint64 dataStart = 8 + 2 * height;
    // The row table must lie inside the record: that bounds the height by the record's size.
    if (width <= 0 || height <= 0 || dataStart > avail) {
        r.complete = false;
        return finish(QImage(), r, report);
    }
    r.extent = dataStart;
    QImage image = newArtImage(width, height, true);
    if (image.isNull()) {
        r.complete = false;
        return finish(image, r, report);
    }
    for (int y = 0; y < height; ++y) {
        qint64 pos = dataStart + 2 * qint64(readI16(p + 8 + 2 * y));
        if (pos < 0 || pos + 4 > avail) {
            r.complete = false;
            continue;
        }
        QRgb* line = rowOf(image, y);
        qint64 x = 0;
        for (;;) {
            if (pos + 4 > avail) {
                r.complete = false;
                break;
            }
            const qint64 skip = readI16(p + pos);
            const qint64 count = readI16(p + pos + 2);
            pos += 4;
            if (skip + count == 0)
                break;   // (0, 0) in well-formed data
            // Runs only move right; one that doesn't, or one that starts past the right
            // edge, can draw nothing more in this row.
            if (skip < 0 || count < 0 || x >= width) {
                r.complete = false;
                break;
            }
            x += skip;
            const qint64 present = std::min(count, (avail - pos) / 2);
            if (x < width)
                convertRun(line + x, p + pos, std::min(present, width - x));
            pos += 2 * present;
            x += count;
            if (present < count) {
                r.complete = false;
                break;
            }
        }
        r.extent = std::max(r.extent, pos);
    }
    return finish(image, r, report);
}

QImage decodeGump(const QByteArray& record, int width, int height)
{
    return decodeGump(record, width, height, nullptr);
}

QImage decodeGump(const QByteArray& record, int width, int height, DecodeReport* report)
{
    DecodeReport r;
    const qint64 avail = record.size();
    const char* p = record.constData();
    const qint64 tableSize = 4 * qint64(height);
    if (width <= 0 || height <= 0 || tableSize > avail) {
        r.complete = false;
        r.extent = std::min<qint64>(avail, std::max<qint64>(tableSize, 0));
        return finish(QImage(), r, report);
    }
    r.extent = tableSize;
    QImage image = newArtImage(width, height, true);
    if (image.isNull()) {
        r.complete = false;
        return finish(image, r, report);
    }
    for (int y = 0; y < height; ++y) {
        qint64 pos = 4 * qint64(readI32(p + 4 * y));
        if (pos < 0 || pos + 4 > avail) {
            r.complete = false;
            continue;
        }
        QRgb* line = rowOf(image, y);
        qint64 x = 0;
        while (x < width) {
            if (pos + 4 > avail) {
                r.complete = false;
                break;
            }
            const quint16 value = readU16(p + pos);
            const qint64 count = readI16(p + pos + 2);
            pos += 4;
            if (count <= 0) {   // a pair that doesn't advance x would hold the row forever
                r.complete = false;
                break;
            }
            const qint64 end = std::min<qint64>(x + count, width);
            if (value & 0x7FFF)   // colour bits all 0: transparent
                std::fill(line + x, line + end, color16ToRgb(qint16(value)));
            x += count;
        }
        r.extent = std::max(r.extent, pos);
    }
    return finish(image, r, report);
}

QImage decodeTexture(const QByteArray& record, int size)
{
    return decodeTexture(record, size, nullptr);
}

QImage decodeTexture(const QByteArray& record, int size, DecodeReport* report)
{
    DecodeReport r;
    const qint64 avail = record.size();
    if ((size != 64 && size != 128) || avail < 2) {
        r.complete = false;
        return finish(QImage(), r, report);
    }
    const qint64 needed = 2 * qint64(size) * size;
    // Every pixel is written when the record is whole; clear only for a short one.
    QImage image = newArtImage(size, size, avail < needed);
    if (image.isNull()) {
        r.complete = false;
        return finish(image, r, report);
    }
    const char* p = record.constData();
    qint64 pos = 0;
    for (int y = 0; y < size; ++y) {
        const qint64 take = std::min<qint64>(size, (avail - pos) / 2);
        convertRun(rowOf(image, y), p + pos, take);
        pos += 2 * take;
        if (take < size) {
            r.complete = false;
            break;
        }
    }
    r.extent = pos;
    return finish(image, r, report);
}

int textureSizeForExtra(quint32 extra)
{
    return extra == 1 ? 128 : 64;
}

quint32 textureExtraFor(int width)
{
    return width == 128 ? 1 : 0;
}

int gumpWidthFromExtra(quint32 extra)
{
    return qint16(quint16(extra >> 16));
}

int gumpHeightFromExtra(quint32 extra)
{
    return qint16(quint16(extra & 0xFFFF));
}

quint32 gumpExtraFor(int width, int height)
{
    return (quint32(quint16(width)) << 16) | quint32(quint16(height));
}
