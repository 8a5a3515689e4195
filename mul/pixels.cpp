#include "pixels.h"

QImage fillImage(QImage& image, QRgb rgb)
{
    if (!image.isNull())
        image.fill(rgb);
    return image;
}
