#include "hueapply.h"

#include "itemkind.h"
#include "pixels.h"

namespace qm {

namespace {

// channelLevel for every 8-bit value, so that the per-pixel work is three byte lookups.
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
}

QRgb HueTable::apply(QRgb pixel) const
{
    if (qAlpha(pixel) == 0)
        return pixel;
    const auto& level = levels().level;
    const quint8 r = level[qRed(pixel)];
    if (m_mode == HueMode::Partial && (r != level[qGreen(pixel)] || r != level[qBlue(pixel)]))
        return pixel;
    return m_ramp[r];
}

void HueTable::applyRow(const QRgb* in, QRgb* out, int width) const
{
    const auto& level = levels().level;
    if (m_mode == HueMode::Full) {
        for (int x = 0; x < width; ++x) {
            const QRgb p = in[x];
            out[x] = (p >> 24) == 0 ? p : m_ramp[level[(p >> 16) & 0xFF]];
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        const QRgb p = in[x];
        const quint8 r = level[(p >> 16) & 0xFF];
        const bool grey = r == level[(p >> 8) & 0xFF] && r == level[p & 0xFF];
        out[x] = (p >> 24) == 0 || !grey ? p : m_ramp[r];
    }
}

QImage HueTable::apply(const QImage& image) const
{
    if (image.isNull())
        return QImage();
    const QImage source = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32
        ? image
        : image.convertToFormat(QImage::Format_ARGB32);
    QImage out(source.size(), QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y)
        applyRow(reinterpret_cast<const QRgb*>(source.constScanLine(y)), reinterpret_cast<QRgb*>(out.scanLine(y)),
                 source.width());
    return out;
}

void HueTable::applyInPlace(QImage& image) const
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        applyRow(row, row, image.width());
    }
}

QImage applyHue(const QImage& image, const HueEntry& hue, HueMode mode)
{
    return HueTable(hue, mode).apply(image);
}

} // namespace qm
