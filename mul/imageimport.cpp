#include "imageimport.h"

#include "artcodec.h"
#include "itemkind.h"

namespace {

QImage scaled(const QImage& image, int width, int height)
{
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

void cropLandDiamond(QImage& image)
{
    if (image.width() != kLandSize || image.height() != kLandSize)
        return;
    for (int y = 0; y < kLandSize; ++y) {
        if (y == 21 || y == 22)
            continue;
        // Rows 0-20 keep x = 21-y .. 22+y; rows 23-43 keep x = y-22 .. 65-y.
        const int first = y <= 20 ? 21 - y : y - 22;
        const int last = y <= 20 ? 22 + y : 65 - y;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kLandSize; ++x)
            if (x < first || x > last)
                row[x] = 0;
    }
}

QImage prepareImportedImage(int kind, const QImage& picture)
{
    if (picture.isNull())
        return picture;
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    switch (kind) {
    case Land:
        if (image.width() != kLandSize || image.height() != kLandSize)
            image = scaled(image, kLandSize, kLandSize).convertToFormat(QImage::Format_ARGB32);
        cropLandDiamond(image);
        break;
    case Texture: {
        const int side = image.width() >= 128 && image.height() >= 128 ? 128 : 64;
        image = scaled(image, side, side).convertToFormat(QImage::Format_ARGB32);
        break;
    }
    default:
        break;
    }
    return image;
}
