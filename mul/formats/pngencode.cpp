#include "pngencode.h"

#include "adler32sums.h"
#include "deflatewriter.h"

#include <QtAlgorithms>
#include <QtEndian>

#include <zlib.h>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>   // x86 only
#endif

namespace qm {

namespace {

void appendBigEndian32(QByteArray& out, quint32 v)
{
    const char bytes[4] = { char(v >> 24), char(v >> 16), char(v >> 8), char(v) };
    out.append(bytes, 4);
}

// Length, type, data and the CRC over type and data.
void appendChunk(QByteArray& out, const char* type, const char* data, qsizetype size)
{
    appendBigEndian32(out, quint32(size));
    const qsizetype typeAt = out.size();
    out.append(type, 4);
    out.append(data, size);
    const auto* crcStart = reinterpret_cast<const Bytef*>(out.constData() + typeAt);
    appendBigEndian32(out, quint32(crc32(0, crcStart, uInt(out.size() - typeAt))));
}

// How many of the `count` pixels from `a` on equal those from `b` on, before the first that
// differs. With b = a - 1, the length of the run that a continues.
int samePixels(const QRgb* a, const QRgb* b, int count)
{
    int k = 0;
#if defined(__SSE2__)
    for (; k + 4 <= count; k += 4) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k));
        const int equal = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(va, vb)));
        if (equal != 0xF)
            return k + int(qCountTrailingZeroBits(quint32(~equal)));
    }
#endif
    while (k < count && a[k] == b[k])
        ++k;
    return k;
}

// The pixel data as a zlib stream: rows with filter "None" and RGBA bytes. Its matches are
// the repeats this art is made of, found without searching: a run of one colour repeats
// the pixel on its left (distance 4), pixels like those above repeat the row above (the
// distance of a row), and a row equal to the one above (transparent margins, flat panels)
// is one match. The colours of this art use few distinct byte values, which the per-block
// Huffman codes turn into short literals.
void appendPixelStream(const QImage& image, DeflateWriter& writer, QByteArray* out)
{
    const int width = image.width();
    const qsizetype rowBytes = 1 + 4 * qsizetype(width);
    const bool rowsCanRepeat = rowBytes <= DeflateWriter::kMaxDistance;
    Adler32Sums adler;
    Adler32Sums rowSums;   // the last row's own sums, to repeat it

    out->append("\x78\x01", 2);   // deflate with a 32 KB window, no dictionary
    writer.begin(out);
    const QRgb* above = nullptr;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (above && rowsCanRepeat && std::memcmp(line, above, 4 * size_t(width)) == 0) {
            writer.match(rowBytes, int(rowBytes));
            adler.addSegment(quint64(rowBytes), rowSums);
            above = line;
            continue;
        }
        adler.reduce();
        const Adler32Sums rowStart = adler;
        writer.literal(0);
        adler.addZero();
        const QRgb* up = rowsCanRepeat ? above : nullptr;
        for (int x = 0; x < width;) {
            const QRgb p = line[x];
            // Pixels that repeat the one on the left, or those above: a match, the longer.
            const int left = x > 0 && p == line[x - 1] ? samePixels(line + x, line + x - 1, width - x) : 0;
            const int vertical = up && p == up[x] && x + left < width ? samePixels(line + x, up + x, width - x) : 0;
            if (left > 0 && left >= vertical) {
                writer.match(4 * qint64(left), 4);
                adler.addRepeated(quint64(left), qRed(p), qGreen(p), qBlue(p), qAlpha(p));
                x += left;
                continue;
            }
            if (vertical > 0) {
                writer.match(4 * qint64(vertical), int(rowBytes));
                for (int k = 0; k < vertical; ++k, ++x)
                    adler.add(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), qAlpha(line[x]));
                adler.reduce();
                continue;
            }
            const quint32 r = qRed(p), g = qGreen(p), b = qBlue(p), a = qAlpha(p);
            writer.literals(uchar(r), uchar(g), uchar(b), uchar(a));
            adler.add(r, g, b, a);
            if ((++x & 0xFFFF) == 0)
                adler.reduce();   // a long row of single pixels must not outgrow the sums
        }
        rowSums = adler.since(rowStart, quint64(rowBytes));
        above = line;
    }
    writer.finish();
    appendBigEndian32(*out, adler.value());
}

} // namespace

QByteArray encodePng(const QImage& source, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (source.isNull())
        return fail(QStringLiteral("the picture is empty"));
    // A PNG chunk holds less than 2 GB: rows that alone would pass that are refused at once.
    if ((1 + 4 * qint64(source.width())) * source.height() > 0x7FFFFFFF)
        return fail(QStringLiteral("the picture is too large for a PNG file"));
    const QImage image = source.format() == QImage::Format_ARGB32 ? source
                                                                   : source.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return fail(QStringLiteral("out of memory converting the picture"));

    QByteArray png;
    png.reserve(qsizetype(image.width()) * image.height() + 256);
    png.append("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian32(header, quint32(image.width()));
    appendBigEndian32(header, quint32(image.height()));
    header.append(char(8));   // bits per channel
    header.append(char(6));   // RGBA
    header.append(3, '\0');   // deflate, adaptive filtering, no interlace
    appendChunk(png, "IHDR", header.constData(), header.size());

    // The image data goes straight into its chunk; the length and CRC follow once known.
    const qsizetype lengthAt = png.size();
    png.append("\0\0\0\0IDAT", 8);
    thread_local DeflateWriter writer;   // keeps its token buffer from picture to picture
    appendPixelStream(image, writer, &png);
    const qsizetype dataSize = png.size() - lengthAt - 8;
    if (dataSize > 0x7FFFFFFF)
        return fail(QStringLiteral("the picture is too large for a PNG file"));
    qToBigEndian<quint32>(quint32(dataSize), png.data() + lengthAt);
    const auto* crcStart = reinterpret_cast<const Bytef*>(png.constData() + lengthAt + 4);
    appendBigEndian32(png, quint32(crc32(0, crcStart, uInt(dataSize + 4))));
    appendChunk(png, "IEND", nullptr, 0);
    return png;
}

} // namespace qm
