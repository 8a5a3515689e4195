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
bool canEncode(int, const QImage&, QString*) { return true; }
QImage readImageFromFiles(const QString&, int, int) { return {}; }
qint64 landTileOffset(int) { return 0; }
qint64 staticTileOffset(int) { return 0; }
qint64 tileOffset(int, int) { return 0; }
int tileRecordSize(int) { return 0; }
bool isKnownTileDataSize(qint64) { return true; }
tile_struct parseLandTile(const char*) { return {}; }
tile_struct parseStaticTile(const char*) { return {}; }
QByteArray landTileBytes(const tile_struct&) { return {}; }
QByteArray staticTileBytes(const tile_struct&) { return {}; }
QByteArray tileNameBytes(const QString&) { return {}; }
tile_struct readTileRecord(const QString&, int, int, QByteArray*) { return {}; }
qint64 animOffset(int) { return 0; }
anim_st parseAnim(const char*) { return {}; }
QByteArray animBytes(const anim_st&) { return {}; }
anim_st readAnimRecord(const QString&, int) { return {}; }
QImage decodeLand(const QByteArray&) { return {}; }
QImage decodeStatic(const QByteArray&) { return {}; }
QImage decodeGump(const QByteArray&, int, int) { return {}; }
QImage decodeTexture(const QByteArray&, int) { return {}; }
int textureSizeForExtra(quint32 extra) { return extra == 1 ? 128 : 64; }
