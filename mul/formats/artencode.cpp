// Images to record bytes, in exactly the layouts the decoders read. An image that a record
// cannot hold is refused with a reason; a record with wrong offsets is never produced.
#include "artcodec.h"

#include "itemkind.h"
#include "littleendian.h"
#include "pixels.h"

#include <QCoreApplication>
#include <QVector>

#include <algorithm>

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
bool sizeFits(qint64 width, qint64 height)
{
    return width <= kMaxArtSide && height <= kMaxArtSide && width * height <= kMaxArtPixels;
}

// Whether the row table of a static record can address every row of `argb` drawn at `size`
// by nearest-neighbour sampling. Each row takes two words to end it plus, per run of visible
// pixels, two words of header and one per pixel; a row must start within 32,767 words of the
// table's end. Counted without building the record, so that many sizes can be tried.
bool staticRowsFit(const QImage& argb, const QSize& size)
{
    const qint64 w = size.width(), h = size.height();
    QVector<int> columns(static_cast<int>(w));
    for (qint64 x = 0; x < w; ++x)
        columns[int(x)] = int(x * argb.width() / w);
    qint64 words = 0;
    for (qint64 y = 0; y + 1 < h; ++y) {   // only the last row's start needs to be addressed
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(int(y * argb.height() / h)));
        bool inRun = false;
        for (const int column : columns) {
            const bool visible = storedColor16(line[column]) != 0;
            if (visible)
                words += inRun ? 1 : 3;
            inRun = visible;
        }
        words += 2;
        if (words > 0x7FFF)
            return false;
    }
    return true;
}

// `image` shrunk so that its longer side is `side`, the other rounded, each at least 1.
QSize shrunkTo(const QSize& image, qint64 side)
{
    const qint64 longer = std::max(image.width(), image.height());
    auto shrink = [&](qint64 length) {
        return int(std::max<qint64>(1, (length * side + longer / 2) / longer));
    };
    return QSize(shrink(image.width()), shrink(image.height()));
}

// The longest side, from 1 to `image`'s longer side, at which a copy of the same shape still
// fits, found by halving; `fits` holds for side 1.
template <typename Fits>
qint64 largestSide(const QSize& image, Fits fits)
{
    qint64 good = 1, bad = qint64(std::max(image.width(), image.height())) + 1;
    while (bad - good > 1) {
        const qint64 mid = good + (bad - good) / 2;
        (fits(shrunkTo(image, mid)) ? good : bad) = mid;
    }
    return good;
}

bool sizeFieldsHold(const QSize& size)
{
    return sizeFits(size.width(), size.height());
}

// A refusal in the user's terms: the picture's size and the largest of its shape that fits.
// When the record's tables rather than its size fields set that bound, it depends on what the
// picture shows, and the message says so.
QString tooLarge(const QSize& image, const QString& kindName, const QSize& limit, bool byContent)
{
    QString text = tr("%1 × %2 is too large for a %3: at most %4 × %5")
                       .arg(image.width())
                       .arg(image.height())
                       .arg(kindName)
                       .arg(limit.width())
                       .arg(limit.height());
    if (byContent)
        text += tr(" for a picture like this one");
    return text + QLatin1Char('.');
}

bool sizeFitsRecord(const QImage& image, const QString& kindName, QString* error)
{
    if (sizeFieldsHold(image.size()))
        return true;
    const QSize limit = shrunkTo(image.size(), largestSide(image.size(), sizeFieldsHold));
    refuse(error, tooLarge(image.size(), kindName, limit, false));
    return false;
}

// The refusal of a static whose size fields or row table cannot hold it. A picture past the
// size fields is judged on a copy they can hold: no larger copy fits anyway.
QString staticTooLarge(const QImage& image)
{
    const QSize size = image.size();
    const qint64 bySize = largestSide(size, sizeFieldsHold);
    const QImage sample = sizeFieldsHold(size)
        ? asArgb32(image)
        : image.scaled(shrunkTo(size, bySize), Qt::IgnoreAspectRatio, Qt::FastTransformation)
              .convertToFormat(QImage::Format_ARGB32);
    const qint64 side = largestSide(size, [&](const QSize& s) {
        return sizeFieldsHold(s) && staticRowsFit(sample, s);
    });
    return tooLarge(size, tr("static"), shrunkTo(size, side), side < bySize);
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
    if (!sizeFieldsHold(image.size()))
        return refuse(error, staticTooLarge(image));
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
            return refuse(error, staticTooLarge(image));
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
    if (!sizeFitsRecord(image, tr("gump"), error))
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
        case Gump: sizeFitsRecord(image, tr("gump"), &why); break;
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
