#include "pixeldecode.h"

#include "artcodec.h"
#include "littleendian.h"
#include "pixels.h"

#include <algorithm>

namespace pixeldecode {

namespace {

// The 16-bit value at word `index`, or -1 past the record's end.
int wordAt(const QByteArray& record, qint64 offset)
{
    if (offset < 0 || offset + 2 > record.size())
        return -1;
    return qm::readU16(record.constData() + offset);
}

QImage cleared(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(0u);
    return image;
}

} // namespace

QImage land(const QByteArray& record)
{
    QImage image = cleared(qm::kLandSize, qm::kLandSize);
    qint64 pos = 0;
    for (int y = 0; y < qm::kLandSize; ++y) {
        const int half = qm::kLandSize / 2;
        const int count = y < half ? 2 + 2 * y : qm::kLandSize - 2 * (y - half);
        const int firstX = y < half ? half - 1 - y : y - half;
        for (int k = 0; k < count; ++k, pos += 2) {
            const int v = wordAt(record, pos);
            if (v < 0)
                return image;
            image.setPixel(firstX + k, y, qm::color16ToRgb(qint16(v)));
        }
    }
    return image;
}

QImage staticArt(const QByteArray& record)
{
    const int width = qint16(wordAt(record, 4));
    const int height = qint16(wordAt(record, 6));
    if (width <= 0 || height <= 0)
        return QImage();
    QImage image = cleared(width, height);
    const qint64 dataStart = 8 + 2 * qint64(height);
    for (int y = 0; y < height; ++y) {
        qint64 pos = dataStart + 2 * qint64(qint16(wordAt(record, 8 + 2 * y)));
        int x = 0;
        for (;;) {
            const int skip = qint16(wordAt(record, pos));
            const int count = qint16(wordAt(record, pos + 2));
            pos += 4;
            if (skip + count == 0 || skip < 0 || count < 0)
                break;
            x += skip;
            for (int k = 0; k < count; ++k, ++x, pos += 2) {
                const int v = wordAt(record, pos);
                if (v >= 0 && x < width)
                    image.setPixel(x, y, qm::color16ToRgb(qint16(v)));
            }
        }
    }
    return image;
}

QImage gump(const QByteArray& record, int width, int height, qint64* extent, bool* complete)
{
    QImage image = cleared(width, height);
    qint64 end = 4 * qint64(height);   // past the last whole value read
    bool whole = 4 * qint64(height) <= record.size();
    for (int y = 0; y < height; ++y) {
        if (4 * qint64(y) + 4 > record.size())
            break;
        qint64 pos = 4 * qint64(qint32(qm::readU32(record.constData() + 4 * y)));
        int x = 0;
        while (x < width) {
            const int value = wordAt(record, pos);
            const int countWord = wordAt(record, pos + 2);
            if (value < 0 || countWord < 0)
                break;
            const int count = qint16(countWord);
            pos += 4;
            end = std::max(end, pos);
            if (count <= 0)
                break;
            // Colour bits 0 (bit 15 aside): transparent.
            const QRgb rgb = (value & 0x7FFF) ? qm::color16ToRgb(qint16(value)) : 0u;
            for (int k = 0; k < count && x < width; ++k, ++x)
                image.setPixel(x, y, rgb);
        }
        if (x < width)
            whole = false;
    }
    if (extent)
        *extent = end;
    if (complete)
        *complete = whole;
    return image;
}

QImage texture(const QByteArray& record, int size)
{
    QImage image = cleared(size, size);
    qint64 pos = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x, pos += 2) {
            const int v = wordAt(record, pos);
            if (v < 0)
                return image;
            image.setPixel(x, y, qm::color16ToRgb(qint16(v)));
        }
    }
    return image;
}

QImage byKind(int kind, const QByteArray& record, quint32 extra)
{
    switch (kind) {
    case 0: return land(record);
    case 1: return staticArt(record);
    case 2: return gump(record, qm::gumpWidthFromExtra(extra), qm::gumpHeightFromExtra(extra));
    default: return texture(record, qm::textureSizeForExtra(extra));
    }
}

} // namespace pixeldecode
