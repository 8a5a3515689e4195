#include "huestrip.h"

#include "pixels.h"

#include <QPainter>

QPixmap hueStrip(const qm::HueEntry& hue, QSize size)
{
    QImage ramp(qm::kHueColorCount, 1, QImage::Format_RGB32);
    for (int i = 0; i < qm::kHueColorCount; ++i)
        ramp.setPixel(i, 0, qm::color16ToRgb(qint16(hue.colors[size_t(i)])));
    // Scaling without smoothing keeps each colour a block of its own.
    return QPixmap::fromImage(ramp.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}
