// Record bytes to images. Every read is checked against the bytes handed in, every loop
// advances through the record or along the row, and no image is larger than the record's
// own tables allow (or kMaxArtPixels), so damaged files give partial images, never crashes.
#include "artcodec.h"

#include "littleendian.h"
#include "pixels.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>   // x86 only, so the record bytes are little-endian like the registers
#endif
namespace qm {

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

// Row pointers without QImage::scanLine's per-call detach check: the image is ours alone.
class Rows {
public:
    explicit Rows(QImage& image) : m_bits(image.bits()), m_stride(image.bytesPerLine()) { }
    QRgb* operator[](int y) const { return reinterpret_cast<QRgb*>(m_bits + qsizetype(y) * m_stride); }

private:
    uchar* m_bits;
    qsizetype m_stride;
};

// Every Color16 (bit 15 ignored) as an image pixel: one load per pixel instead of three
// masks and shifts. 128 KB, built at compile time.
struct Color16Table {
    QRgb rgb[0x8000];
};

constexpr Color16Table makeColor16Table()
{
    Color16Table t {};
    for (quint32 v = 0; v < 0x8000; ++v)
        t.rgb[v] = 0xFF000000u | ((v & 0x7C00u) << 9) | ((v & 0x03E0u) << 6) | ((v & 0x001Fu) << 3);
    return t;
}

constexpr Color16Table kColor16Table = makeColor16Table();
static_assert(kColor16Table.rgb[0x7FFF] == 0xFFF8F8F8u && kColor16Table.rgb[0] == 0xFF000000u,
              "table agrees with color16ToRgb");

inline QRgb tableRgb(quint32 color16)
{
    return kColor16Table.rgb[color16 & 0x7FFFu];
}

inline void store4(QRgb* d, QRgb c)
{
    d[0] = d[1] = d[2] = d[3] = c;
}

// 16 pixels of one colour, whatever a run needs of them.
inline void storeBlock16(QRgb* d, QRgb c)
{
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi32(int(c));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 8), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 12), v);
#else
    for (int k = 0; k < 16; k += 4)
        store4(d + k, c);
#endif
}

// `n` pixels of one colour. Wide runs (flat areas, the transparent margins around shapes)
// are the rule in real interface art: four pixels per store, and the last four stored once
// more ending exactly at the run's end, so no pixel-by-pixel tail remains.
inline void fillRun(QRgb* d, qint64 n, QRgb c)
{
    if (n < 4) {
        for (qint64 k = 0; k < n; ++k)
            d[k] = c;
        return;
    }
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi32(int(c));
    qint64 k = 0;
    for (; k + 8 <= n; k += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k + 4), v);
    }
    if (k + 4 <= n)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 4), v);
#else
    qint64 k = 0;
    for (; k + 4 <= n; k += 4)
        store4(d + k, c);
    store4(d + n - 4, c);
#endif
}

// Record values to pixels, eight at a time where SSE2 is there (every x86-64): the same
// masks and shifts as color16ToRgb, on eight values at once.
inline void convertRun(QRgb* dst, const char* src, qint64 count)
{
    qint64 k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    const __m128i red = _mm_set1_epi32(0x7C00);
    const __m128i green = _mm_set1_epi32(0x03E0);
    const __m128i blue = _mm_set1_epi32(0x001F);
    auto widen = [&](__m128i v) {
        return _mm_or_si128(_mm_or_si128(alpha, _mm_slli_epi32(_mm_and_si128(v, red), 9)),
                            _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, green), 6),
                                         _mm_slli_epi32(_mm_and_si128(v, blue), 3)));
    };
    for (; k + 8 <= count; k += 8) {
        const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), widen(_mm_unpacklo_epi16(values, zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k + 4), widen(_mm_unpackhi_epi16(values, zero)));
    }
#endif
    for (; k < count; ++k)
        dst[k] = tableRgb(readU16(src + 2 * k));
}

// How the decoders turn stored colours into pixels: the plain colours, or a table of 32,768
// colours (a hue's) looked up instead. The plain one keeps the SIMD conversion of runs.
struct PlainColors {
    QRgb operator()(quint32 color16) const { return tableRgb(color16); }
    void run(QRgb* dst, const char* src, qint64 count) const { convertRun(dst, src, count); }
};

struct TableColors {
    const QRgb* table;
    QRgb operator()(quint32 color16) const { return table[color16 & 0x7FFFu]; }
    void run(QRgb* dst, const char* src, qint64 count) const
    {
        for (qint64 k = 0; k < count; ++k)
            dst[k] = table[readU16(src + 2 * k) & 0x7FFFu];
    }
};

// A gump pair's colour. Colour bits all 0 (0x0000 and 0x8000 alike): transparent. Masked
// rather than branched on: opaque and transparent pairs alternate unpredictably.
template <class Colors>
inline QRgb pairColor(const Colors& colors, quint32 pair)
{
    const quint32 colour = pair & 0x7FFFu;
    return colors(colour) & (0u - quint32(colour != 0));
}

QImage finish(QImage image, const DecodeReport& r, DecodeReport* report)
{
    if (report)
        *report = r;
    return image;
}

// A record that cannot be decoded (further): marks it incomplete and hands back what exists.
QImage giveUp(QImage image, DecodeReport& r, DecodeReport* report)
{
    r.complete = false;
    return finish(std::move(image), r, report);
}

template <class Colors>
QImage decodeLandWith(const QByteArray& record, DecodeReport* report, const Colors& colors)
{
    DecodeReport r;
    const qint64 avail = record.size();
    if (avail < 2) {
        return giveUp(QImage(), r, report);
    }
    QImage image = newArtImage(kLandSize, kLandSize, true);   // one memset beats 88 small ones
    if (image.isNull()) {
        return giveUp(image, r, report);
    }
    const Rows rows(image);
    const char* p = record.constData();
    qint64 pos = 0;
    for (int y = 0; y < kLandSize; ++y) {
        const int half = kLandSize / 2;
        const int count = y < half ? 2 + 2 * y : kLandSize - 2 * (y - half);
        const int firstX = y < half ? half - 1 - y : y - half;
        const qint64 take = std::min<qint64>(count, (avail - pos) / 2);
        colors.run(rows[y] + firstX, p + pos, take);
        pos += 2 * take;
        if (take < count) {
            r.complete = false;
            break;
        }
    }
    r.extent = pos;
    return finish(image, r, report);
}

template <class Colors>
QImage decodeStaticWith(const QByteArray& record, DecodeReport* report, const Colors& colors)
{
    DecodeReport r;
    const qint64 avail = record.size();
    const char* p = record.constData();
    r.extent = std::min<qint64>(avail, 8);
    if (avail < 8) {
        return giveUp(QImage(), r, report);
    }
    const qint64 width = readI16(p + 4);
    const qint64 height = readI16(p + 6);
    const qint64 dataStart = 8 + 2 * height;
    // The row table must lie inside the record: that bounds the height by the record's size.
    if (width <= 0 || height <= 0 || dataStart > avail) {
        return giveUp(QImage(), r, report);
    }
    r.extent = dataStart;
    // Every pixel is written exactly once below (runs, or 0 for the gaps), so the image
    // needs no clearing first: decoding is bound by memory writes.
    QImage image = newArtImage(width, height, false);
    if (image.isNull()) {
        return giveUp(image, r, report);
    }
    const Rows rows(image);
    for (int y = 0; y < height; ++y) {
        QRgb* line = rows[y];
        qint64 written = 0;   // pixels [0, written) of the row are set
        auto clearTo = [&](qint64 end) {
            end = std::min(end, width);
            if (end > written) {
                std::fill(line + written, line + end, 0u);
                written = end;
            }
        };
        qint64 pos = dataStart + 2 * qint64(readI16(p + 8 + 2 * y));
        if (pos < 0 || pos + 4 > avail) {
            r.complete = false;
            clearTo(width);
            continue;
        }
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
            clearTo(x);
            const qint64 present = std::min(count, (avail - pos) / 2);
            if (x < width) {
                const qint64 drawn = std::min(present, width - x);
                colors.run(line + x, p + pos, drawn);
                written = std::max(written, x + drawn);
            }
            pos += 2 * present;
            x += count;
            if (present < count) {
                r.complete = false;
                break;
            }
        }
        clearTo(width);
        r.extent = std::max(r.extent, pos);
    }
    return finish(image, r, report);
}

// One gump row from pair `q` on, x from `x`: returns the x reached (width or more for a whole
// row) and leaves `q` after the last pair read. A pair that cannot be read or has a count of
// 0 or less ends the row early and sets `damaged`. `room` pixels from the row's start may be
// written: more than `width` where the next row follows, which rewrites every pixel of its
// own, so runs at the row's end are stored in whole blocks too and their surplus spills
// over. Pixels in [returned x, width) may have been written and are the caller's to clear.
template <class Colors>
int gumpRowFrom(const Colors& colors, QRgb* line, int x, int width, int room, const char*& q,
                const char* end, bool& damaged)
{
    while (x < width) {
        // Two short pairs at once where both fit: half the loop's checks per pair.
        if (end - q >= 8 && x <= width - 8) {
            const quint32 a = readU32(q);
            const quint32 b = readU32(q + 4);
            const int countA = qint16(quint16(a >> 16));
            const int countB = qint16(quint16(b >> 16));
            if (quint32(countA - 1) < 4 && quint32(countB - 1) < 4) {
                store4(line + x, pairColor(colors, a));
                x += countA;
                store4(line + x, pairColor(colors, b));
                x += countB;
                q += 8;
                continue;
            }
        }
        if (end - q < 4) {
            damaged = true;
            break;
        }
        const quint32 pair = readU32(q);
        q += 4;
        const int count = qint16(quint16(pair >> 16));
        if (count <= 0) {   // a pair that doesn't advance x would hold the row forever
            damaged = true;
            break;
        }
        const QRgb c = pairColor(colors, pair);
        QRgb* d = line + x;
        // Where there is room, a run is stored in whole blocks of 16 pixels and the next pairs
        // overwrite the surplus: x advances by the count alone, and the only branch that
        // depends on the run's length is the loop's, taken once for the short runs that are
        // the rule (three in four drawn runs are one pixel; flat art's average about 15).
        if (count <= room - x - 16) {
            int k = 0;
            do {
                storeBlock16(d + k, c);
                k += 16;
            } while (k < count);
            x += count;
            continue;
        }
        const int n = std::min(count, width - x);
        fillRun(d, n, c);
        x += n;
    }
    return x;
}

#if defined(__SSE2__)
// The plain colours' row: four pairs per step. One load, the four colours converted in
// registers (the 128 KB table misses the first-level cache on textured art), and where all
// four runs are one to eight pixels long and there is room, eight pixels stored per run, each
// run overwriting the previous one's surplus: textured art's runs fit in 99 groups of 100,
// with no branch on a run's length. Two stores per run measure faster than one store for runs
// of up to four and a second path for the rest, whose choice the processor mispredicts.
// Other groups go pair by pair with the colours already converted; the last pairs of a
// record, fewer than four, take the general loop.
int gumpRowFrom(const PlainColors& colors, QRgb* line, int x, int width, int room, const char*& q,
                const char* end, bool& damaged)
{
    const __m128i zero = _mm_setzero_si128();
    while (x < width && end - q >= 16) {
        const __m128i pairs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        const __m128i colour = _mm_and_si128(pairs, _mm_set1_epi32(0x7FFF));
        const __m128i red = _mm_slli_epi32(_mm_and_si128(colour, _mm_set1_epi32(0x7C00)), 9);
        const __m128i green = _mm_slli_epi32(_mm_and_si128(colour, _mm_set1_epi32(0x03E0)), 6);
        const __m128i blue = _mm_slli_epi32(_mm_and_si128(colour, _mm_set1_epi32(0x001F)), 3);
        const __m128i rgb = _mm_or_si128(_mm_or_si128(_mm_set1_epi32(int(0xFF000000u)), red),
                                         _mm_or_si128(green, blue));
        // Colour bits all 0 (0x0000 and 0x8000 alike): transparent.
        const __m128i pixels = _mm_andnot_si128(_mm_cmpeq_epi32(colour, zero), rgb);
        // count - 1 is in 0..7 exactly when bits 19-31 of pair - 0x10000 are all clear.
        const __m128i outside = _mm_and_si128(_mm_sub_epi32(pairs, _mm_set1_epi32(0x10000)),
                                              _mm_set1_epi32(int(0xFFF80000u)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(outside, zero)) == 0xFFFF && x <= room - 32) {
            const int n0 = _mm_extract_epi16(pairs, 1);
            const int n1 = _mm_extract_epi16(pairs, 3);
            const int n2 = _mm_extract_epi16(pairs, 5);
            const int n3 = _mm_extract_epi16(pairs, 7);
            // Eight copies of one lane's colour at d.
            const auto store8 = [](QRgb* d, __m128i colour) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d), colour);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4), colour);
            };
            QRgb* d = line + x;
            store8(d, _mm_shuffle_epi32(pixels, 0x00));
            d += n0;
            store8(d, _mm_shuffle_epi32(pixels, 0x55));
            d += n1;
            store8(d, _mm_shuffle_epi32(pixels, 0xAA));
            d += n2;
            store8(d, _mm_shuffle_epi32(pixels, 0xFF));
            const int x1 = x + n0, x2 = x1 + n1, x3 = x2 + n2;
            if (x3 >= width) {
                // The row ended at one of the first three pairs: the rest belong to the next
                // row, and what they stored lies past this one (room allowed it).
                q += 4 * (1 + int(x1 < width) + int(x2 < width));
                return x3;
            }
            x = x3 + n3;
            q += 16;
            continue;
        }
        alignas(16) QRgb colours[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(colours), pixels);
        for (int lane = 0; lane < 4; ++lane) {
            const int count = qint16(readU16(q + 2));
            q += 4;
            if (count <= 0) {
                damaged = true;
                return x;
            }
            QRgb* d = line + x;
            if (count <= 4 && x <= room - 4) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_set1_epi32(int(colours[lane])));
                x += count;
            } else if (count <= room - x - 16) {
                int k = 0;
                do {
                    storeBlock16(d + k, colours[lane]);
                    k += 16;
                } while (k < count);
                x += count;
            } else {
                const int n = std::min(count, width - x);
                fillRun(d, n, colours[lane]);
                x += n;
            }
            if (x >= width)
                return x;
        }
    }
    return gumpRowFrom<PlainColors>(colors, line, x, width, room, q, end, damaged);
}
#endif

template <class Colors>
QImage decodeGumpWith(const QByteArray& record, int width, int height, DecodeReport* report, const Colors& colors)
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
    // Pairs cover each row from x = 0, transparent ones included, so every pixel is written
    // once: the pairs' pixels, then 0 for whatever a short or damaged row left.
    QImage image = newArtImage(width, height, false);
    if (image.isNull()) {
        return giveUp(image, r, report);
    }
    const Rows rows(image);
    const char* const end = p + avail;
    // Rows are decoded top to bottom and each writes all of its pixels, so a row may spill
    // into the start of the next (one buffer, rows back to back) but the last may not.
    const qint64 stride = image.bytesPerLine() / qint64(sizeof(QRgb));
    const int spill = stride == width ? std::min(width, 64) : 0;
    for (int y = 0; y < height; ++y) {
        QRgb* line = rows[y];
        const qint64 pos = 4 * qint64(readI32(p + 4 * y));
        int x = 0;
        if (pos < 0 || pos + 4 > avail) {
            r.complete = false;
        } else {
            // The hot loop of the whole program: gump runs average one or two pixels in
            // textured art and about fifteen in flat art; both must be fast.
            const char* q = p + pos;
            bool damaged = false;
            x = gumpRowFrom(colors, line, 0, width, y + 1 < height ? width + spill : width, q, end, damaged);
            if (damaged)
                r.complete = false;
            r.extent = std::max<qint64>(r.extent, q - p);
        }
        if (x < width)
            std::fill(line + x, line + width, 0u);
    }
    return finish(image, r, report);
}

template <class Colors>
QImage decodeTextureWith(const QByteArray& record, int size, DecodeReport* report, const Colors& colors)
{
    DecodeReport r;
    const qint64 avail = record.size();
    if ((size != 64 && size != 128) || avail < 2) {
        return giveUp(QImage(), r, report);
    }
    const qint64 needed = 2 * qint64(size) * size;
    // Every pixel is written when the record is whole; clear only for a short one.
    QImage image = newArtImage(size, size, avail < needed);
    if (image.isNull()) {
        return giveUp(image, r, report);
    }
    const Rows rows(image);
    const char* p = record.constData();
    qint64 pos = 0;
    for (int y = 0; y < size; ++y) {
        const qint64 take = std::min<qint64>(size, (avail - pos) / 2);
        colors.run(rows[y], p + pos, take);
        pos += 2 * take;
        if (take < size) {
            r.complete = false;
            break;
        }
    }
    r.extent = pos;
    return finish(image, r, report);
}

} // namespace

QImage decodeLand(const QByteArray& record)
{
    return decodeLandWith(record, nullptr, PlainColors());
}

QImage decodeLand(const QByteArray& record, DecodeReport* report)
{
    return decodeLandWith(record, report, PlainColors());
}

QImage decodeStatic(const QByteArray& record)
{
    return decodeStaticWith(record, nullptr, PlainColors());
}

QImage decodeStatic(const QByteArray& record, DecodeReport* report)
{
    return decodeStaticWith(record, report, PlainColors());
}

QImage decodeGump(const QByteArray& record, int width, int height)
{
    return decodeGumpWith(record, width, height, nullptr, PlainColors());
}

QImage decodeGump(const QByteArray& record, int width, int height, DecodeReport* report)
{
    return decodeGumpWith(record, width, height, report, PlainColors());
}

QImage decodeTexture(const QByteArray& record, int size)
{
    return decodeTextureWith(record, size, nullptr, PlainColors());
}

QImage decodeTexture(const QByteArray& record, int size, DecodeReport* report)
{
    return decodeTextureWith(record, size, report, PlainColors());
}

QImage decodeLandColored(const QByteArray& record, const QRgb* colors)
{
    return decodeLandWith(record, nullptr, TableColors { colors });
}

QImage decodeStaticColored(const QByteArray& record, const QRgb* colors)
{
    return decodeStaticWith(record, nullptr, TableColors { colors });
}

QImage decodeGumpColored(const QByteArray& record, int width, int height, const QRgb* colors)
{
    return decodeGumpWith(record, width, height, nullptr, TableColors { colors });
}

QImage decodeTextureColored(const QByteArray& record, int size, const QRgb* colors)
{
    return decodeTextureWith(record, size, nullptr, TableColors { colors });
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

} // namespace qm
