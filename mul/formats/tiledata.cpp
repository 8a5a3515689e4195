#include "tiledata.h"

#include "indexfile.h"
#include "itemkind.h"
#include "tilefields.h"

#include <QFile>
#include <QFileInfo>

namespace qm {

namespace {

bool isWide(TileLayout layout) { return layout == TileLayout::Wide; }

bool fitsLayout(qint64 size, qint64 landSection, int staticBlock)
{
    return size >= landSection && (size - landSection) % staticBlock == 0;
}

} // namespace

TileLayout tileLayoutForSize(qint64 size)
{
    const bool classic = fitsLayout(size, kLandTileSectionSize, kStaticTileBlockSize);
    const bool wide = fitsLayout(size, kWideLandTileSectionSize, kWideStaticTileBlockSize);
    if (classic == wide)
        return TileLayout::Unknown;
    return classic ? TileLayout::Classic : TileLayout::Wide;
}

TileLayout tileDataLayout(const QString& mulDir, qint64* size)
{
    const QFileInfo info(mulPath(mulDir, QStringLiteral("tiledata.mul")));
    const bool present = info.exists() && info.isFile();
    if (size)
        *size = present ? info.size() : -1;
    return present ? tileLayoutForSize(info.size()) : TileLayout::Unknown;
}

QString tileLayoutName(TileLayout layout)
{
    switch (layout) {
    case TileLayout::Classic: return QStringLiteral("classic");
    case TileLayout::Wide: return QStringLiteral("wide");
    case TileLayout::Unknown: break;
    }
    return QStringLiteral("unknown");
}

qint64 landTileOffset(int id, TileLayout layout)
{
    if (id < 0 || id >= kLandCount)
        return -1;
    return qint64(id / kTileBlockEntries) * (isWide(layout) ? kWideLandTileBlockSize : kLandTileBlockSize) + 4
        + qint64(id % kTileBlockEntries) * tileRecordSize(Land, layout);
}

qint64 staticTileOffset(int id, TileLayout layout)
{
    if (id < 0 || id >= kStaticCount)
        return -1;
    const qint64 section = isWide(layout) ? kWideLandTileSectionSize : kLandTileSectionSize;
    const int block = isWide(layout) ? kWideStaticTileBlockSize : kStaticTileBlockSize;
    return section + qint64(id / kTileBlockEntries) * block + 4
        + qint64(id % kTileBlockEntries) * tileRecordSize(Static, layout);
}

qint64 tileOffset(int kind, int id, TileLayout layout)
{
    switch (kind) {
    case Land: return landTileOffset(id, layout);
    case Static: return staticTileOffset(id, layout);
    default: return -1;
    }
}

int tileRecordSize(int kind, TileLayout layout)
{
    switch (kind) {
    case Land: return isWide(layout) ? kWideLandTileRecordSize : kLandTileRecordSize;
    case Static: return isWide(layout) ? kWideStaticTileRecordSize : kStaticTileRecordSize;
    default: return 0;
    }
}

bool isKnownTileDataSize(qint64 size)
{
    return tileLayoutForSize(size) != TileLayout::Unknown;
}

int tileFlagsBytes(TileLayout layout)
{
    return isWide(layout) ? 8 : kClassicTileFlagsBytes;
}

bool tileFlagsFit(const tile_struct& t, TileLayout layout)
{
    return isWide(layout) || t.flags >> (8 * kClassicTileFlagsBytes) == 0;
}

tile_struct parseLandTile(const char* bytes, TileLayout layout)
{
    return readTileFields(Land, bytes, tileFlagsBytes(layout));
}

tile_struct parseStaticTile(const char* bytes, TileLayout layout)
{
    return readTileFields(Static, bytes, tileFlagsBytes(layout));
}

QByteArray tileNameBytes(const QString& name)
{
    tile_struct named;
    named.name = name;
    return writeTileFields(Land, named, kClassicTileFlagsBytes).right(kTileNameSize);
}

QByteArray landTileBytes(const tile_struct& t, TileLayout layout)
{
    return writeTileFields(Land, t, tileFlagsBytes(layout));
}

QByteArray staticTileBytes(const tile_struct& t, TileLayout layout)
{
    return writeTileFields(Static, t, tileFlagsBytes(layout));
}

QByteArray tileBytes(int kind, const tile_struct& t, TileLayout layout)
{
    return hasTileData(kind) ? writeTileFields(kind, t, tileFlagsBytes(layout)) : QByteArray();
}

tile_struct parseTile(int kind, const char* bytes, TileLayout layout)
{
    return kind == Land ? parseLandTile(bytes, layout) : parseStaticTile(bytes, layout);
}

tile_struct readTileRecord(const QString& mulDir, int kind, int id, QByteArray* raw)
{
    if (raw)
        raw->clear();
    QFile f(mulPath(mulDir, QStringLiteral("tiledata.mul")));
    if (!f.open(QIODevice::ReadOnly))
        return tile_struct();
    const TileLayout layout = tileLayoutForSize(f.size());
    const qint64 offset = tileOffset(kind, id, layout);
    if (offset < 0 || !f.seek(offset))
        return tile_struct();
    const QByteArray bytes = f.read(tileRecordSize(kind, layout));
    if (bytes.size() != tileRecordSize(kind, layout))
        return tile_struct();
    if (raw)
        *raw = bytes;
    return parseTile(kind, bytes.constData(), layout);
}

} // namespace qm
