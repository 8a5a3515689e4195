// Placeholders until the format codecs land; every reader answers "no data".
#include "animdata.h"
#include "artcodec.h"
#include "itemsource.h"
#include "pixels.h"
#include "tiledata.h"

QRgb color16ToRgb(qint16) { return 0; }
Color16 rgbToColor16(QRgb) { return 0; }
QImage fillImage(QImage& image, QRgb rgb) { image.fill(rgb); return image; }
QByteArray encodeLand(const QImage&, QString*) { return {}; }
QByteArray encodeStatic(const QImage&, QString*) { return {}; }
QByteArray encodeGump(const QImage&, QString*) { return {}; }
QByteArray encodeTexture(const QImage&, QString*) { return {}; }
QImage currentImage(const QString&, const ChangeSet& c, int kind, int id)
{
    return c.images[kind].value(id);
}
tile_struct currentTile(const QString&, const ChangeSet&, int, int) { return {}; }
anim_st currentAnim(const QString&, const ChangeSet&, int) { return {}; }
