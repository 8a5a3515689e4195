#include "imageimport.h"

#include "artcodec.h"
#include "itemkind.h"

namespace qm {

namespace {

QImage scaled(const QImage& image, int width, int height)
{
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

bool isInLandDiamond(int x, int y)
{
    // Rows 0-20 keep x = 21-y .. 22+y; rows 21 and 22 are whole; rows 23-43 keep y-22 .. 65-y.
    if (y <= 20)
        return x >= 21 - y && x <= 22 + y;
    if (y <= 22)
        return x >= 0 && x < kLandSize;
    return x >= y - 22 && x <= 65 - y;
}

void cropLandDiamond(QImage& image)
{
    if (image.width() != kLandSize || image.height() != kLandSize)
        return;
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kLandSize; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kLandSize; ++x)
            if (!isInLandDiamond(x, y))
                row[x] = 0;
    }
}

QImage prepareImportedImage(int kind, const QImage& picture)
{
    QImage image = scaleImportedImage(kind, picture);
    if (kind == Land)
        cropLandDiamond(image);
    return image;
}

QImage scaleImportedImage(int kind, const QImage& picture)
{
    if (picture.isNull())
        return picture;
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    switch (kind) {
    case Land:
        if (image.width() != kLandSize || image.height() != kLandSize)
            image = scaled(image, kLandSize, kLandSize).convertToFormat(QImage::Format_ARGB32);
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

} // namespace qm
