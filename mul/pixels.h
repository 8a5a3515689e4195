#pragma once

#include <QImage>
#include <QtGlobal>

// The game's 16-bit pixel: bit 15 unused, 5 bits each of red (14-10), green (9-5), blue (4-0).
using Color16 = quint16;

// File to image: each 5-bit channel shifted left by 3, alpha 255. Bit 15 is ignored.
QRgb color16ToRgb(qint16 c);
// Image to file: channel * 31 / 255, a non-zero channel never becomes 0; alpha ignored.
Color16 rgbToColor16(QRgb rgb);
// Sets every pixel of `image` to `rgb` and returns a copy.
QImage fillImage(QImage& image, QRgb rgb);
