#pragma once

#include <QImage>
#include <QtGlobal>

namespace qm {

// The game's 16-bit pixel: bit 15 unused, 5 bits each of red (14-10), green (9-5), blue (4-0).
using Color16 = quint16;

// File to image: each 5-bit channel shifted left by 3, alpha 255. Bit 15 is ignored.
// Inline because every decoder calls it once per pixel.
inline QRgb color16ToRgb(qint16 c)
{
    const quint32 v = quint16(c);
    return 0xFF000000u | ((v & 0x7C00u) << 9) | ((v & 0x03E0u) << 6) | ((v & 0x001Fu) << 3);
}

// Image to file, the exact inverse of color16ToRgb: each channel goes to the nearest level
// the decoder produces, so decoding and encoding again gives back the same file colour and
// an image moved between directories keeps its colours. A non-zero channel never becomes 0:
// only pure black gives 0, the value that static and gump records treat as transparent.
// Alpha is ignored.
inline Color16 rgbToColor16(QRgb rgb)
{
    auto scale = [](quint32 channel) -> quint32 {
        const quint32 s = qMin((channel + 4u) >> 3, 31u);
        return (s == 0 && channel != 0) ? 1u : s;
    };
    return Color16((scale(quint32(qRed(rgb))) << 10) | (scale(quint32(qGreen(rgb))) << 5)
                   | scale(quint32(qBlue(rgb))));
}

// The value an encoder stores for an image pixel. A fully transparent pixel (alpha 0) is
// stored as 0 whatever its colour channels: pictures loaded from files often keep a colour
// under their transparent areas, and the user saw those areas as empty.
inline Color16 storedColor16(QRgb rgb)
{
    return qAlpha(rgb) == 0 ? Color16(0) : rgbToColor16(rgb);
}

// Sets every pixel of `image` to `rgb` and returns a copy.
QImage fillImage(QImage& image, QRgb rgb);

} // namespace qm
