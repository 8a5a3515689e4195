#include "hueapply.h"

#include "itemkind.h"
#include "pixels.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace qm {

namespace {

// channelLevel for every 8-bit value: the red lookup, and the grey test of a partial hue.
struct LevelTable {
    std::array<quint8, 256> level {};
    LevelTable()
    {
        for (int c = 0; c < 256; ++c)
            level[size_t(c)] = quint8(channelLevel(c));
    }
};

const LevelTable& levels()
{
    static const LevelTable table;
    return table;
}

} // namespace

HueMode defaultHueMode(int kind, quint64 tileFlags)
{
    if (kind == Static && (tileFlags & kPartialHueFlag))
        return HueMode::Partial;
    return HueMode::Full;
}

HueTable::HueTable(const HueEntry& hue, HueMode mode) : m_mode(mode)
{
    for (int i = 0; i < kHueColorCount; ++i)
        m_ramp[size_t(i)] = color16ToRgb(qint16(hue.colors[size_t(i)]));
    const auto& level = levels().level;
    for (int c = 0; c < 256; ++c)
        m_byRed[size_t(c)] = m_ramp[level[size_t(c)]];
}

QRgb HueTable::apply(QRgb pixel) const
{
    return m_mode == HueMode::Full ? fullPixel(pixel) : partialPixel(pixel);
}

inline QRgb HueTable::fullPixel(QRgb p) const
{
    // Looked up whatever the alpha, so that the choice needs no branch: the edges of a static
    // mix transparent and opaque pixels in no order a predictor could learn.
    const QRgb hued = m_byRed[(p >> 16) & 0xFF];
    return (p >> 24) == 0 ? p : hued;
}

inline QRgb HueTable::partialPixel(QRgb p) const
{
    if ((p >> 24) == 0)
        return p;
    const quint32 r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (r == g && r == b)   // the greys of a decoded picture, the common case
        return m_byRed[r];
    const auto& level = levels().level;
    const quint8 lr = level[r];
    return lr == level[g] && lr == level[b] ? m_ramp[lr] : p;
}

namespace {

// Bit k set when pixel k of the eight at `px` is not transparent.
inline unsigned opaqueMask8(const QRgb* px)
{
#ifdef __SSE2__
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    const __m128i a = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(px)), alpha);
    const __m128i b = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(px + 4)), alpha);
    const unsigned clearA = unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(a, zero))));
    const unsigned clearB = unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(b, zero))));
    return ~(clearA | clearB << 4) & 0xFFu;
#else
    unsigned mask = 0;
    for (int k = 0; k < 8; ++k)
        mask |= unsigned((px[k] >> 24) != 0) << k;
    return mask;
#endif
}

} // namespace

template <bool Full>
void HueTable::applyPixels(QRgb* px, qsizetype count) const
{
    const QRgb* byRed = m_byRed.data();
    qsizetype i = 0;
    // Eight pixels at a time: all transparent (most of a static's area) are skipped, all
    // opaque (most of a gump's) need no test per pixel in a full hue.
    for (; i + 8 <= count; i += 8) {
        const unsigned opaque = opaqueMask8(px + i);
        if (opaque == 0)
            continue;
        if (Full && opaque == 0xFFu) {
            for (qsizetype k = i; k < i + 8; ++k)
                px[k] = byRed[(px[k] >> 16) & 0xFF];
            continue;
        }
        for (qsizetype k = i; k < i + 8; ++k)
            px[k] = Full ? fullPixel(px[k]) : partialPixel(px[k]);
    }
    for (; i < count; ++i)
        px[i] = Full ? fullPixel(px[i]) : partialPixel(px[i]);
}

void HueTable::applyInPlace(QImage& image) const
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    const qsizetype width = image.width();
    auto run = [&](QRgb* px, qsizetype count) {
        if (m_mode == HueMode::Full)
            applyPixels<true>(px, count);
        else
            applyPixels<false>(px, count);
    };
    // Rows without padding are one run: a static's rows are short.
    if (image.bytesPerLine() == width * qsizetype(sizeof(QRgb))) {
        run(reinterpret_cast<QRgb*>(image.bits()), width * image.height());
        return;
    }
    for (int y = 0; y < image.height(); ++y)
        run(reinterpret_cast<QRgb*>(image.scanLine(y)), width);
}

QImage HueTable::apply(const QImage& image) const
{
    if (image.isNull())
        return QImage();
    QImage out = image.format() == QImage::Format_ARGB32 ? image.copy() : image.convertToFormat(QImage::Format_ARGB32);
    applyInPlace(out);
    return out;
}

QVector<QRgb> huedColorTable(const HueEntry& hue, HueMode mode)
{
    QVector<QRgb> table(0x8000);
    for (int c = 0; c < 0x8000; ++c) {
        const int r = c >> 10, g = (c >> 5) & 31, b = c & 31;
        const bool hued = mode == HueMode::Full || (r == g && r == b);
        table[c] = color16ToRgb(qint16(hued ? hue.colors[size_t(r)] : c));
    }
    return table;
}

QImage applyHue(const QImage& image, const HueEntry& hue, HueMode mode)
{
    return HueTable(hue, mode).apply(image);
}

} // namespace qm
