#include "pixels.h"

namespace qm {

QImage fillImage(QImage& image, QRgb rgb)
{
    if (!image.isNull())
        image.fill(rgb);
    return image;
}

} // namespace qm
