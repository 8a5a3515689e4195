#include "tiledata.h"

#include "indexfile.h"
#include "itemkind.h"
#include "tilefields.h"

#include <QFile>

namespace qm {

namespace {

constexpr int kLandEntrySize = kLandTileRecordSize;
constexpr int kStaticEntrySize = kStaticTileRecordSize;

} // namespace

qint64 landTileOffset(int id)
{
    if (id < 0 || id >= kLandCount)
        return -1;
    return qint64(id / kTileBlockEntries) * kLandTileBlockSize + 4
        + qint64(id % kTileBlockEntries) * kLandEntrySize;
}

qint64 staticTileOffset(int id)
{
    if (id < 0 || id >= kStaticCount)
        return -1;
    return kLandTileSectionSize + qint64(id / kTileBlockEntries) * kStaticTileBlockSize + 4
        + qint64(id % kTileBlockEntries) * kStaticEntrySize;
}

qint64 tileOffset(int kind, int id)
{
    switch (kind) {
    case Land: return landTileOffset(id);
    case Static: return staticTileOffset(id);
    default: return -1;
    }
}

int tileRecordSize(int kind)
{
    switch (kind) {
    case Land: return kLandEntrySize;
    case Static: return kStaticEntrySize;
    default: return 0;
    }
}

bool isKnownTileDataSize(qint64 size)
{
    const qint64 statics = size - kLandTileSectionSize;
    return statics > 0 && statics % kStaticTileBlockSize == 0
        && statics / kStaticTileBlockSize <= kStaticCount / kTileBlockEntries;
}

tile_struct parseLandTile(const char* bytes)
{
    return readTileFields(Land, bytes, kClassicTileFlagsBytes);
}

tile_struct parseStaticTile(const char* bytes)
{
    return readTileFields(Static, bytes, kClassicTileFlagsBytes);
}

QByteArray tileNameBytes(const QString& name)
{
    tile_struct named;
    named.name = name;
    return writeTileFields(Land, named, kClassicTileFlagsBytes).right(kTileNameSize);
}

QByteArray landTileBytes(const tile_struct& t)
{
    return writeTileFields(Land, t, kClassicTileFlagsBytes);
}

QByteArray staticTileBytes(const tile_struct& t)
{
    return writeTileFields(Static, t, kClassicTileFlagsBytes);
}

QByteArray tileBytes(int kind, const tile_struct& t)
{
    return hasTileData(kind) ? writeTileFields(kind, t, kClassicTileFlagsBytes) : QByteArray();
}

tile_struct parseTile(int kind, const char* bytes)
{
    return kind == Land ? parseLandTile(bytes) : parseStaticTile(bytes);
}

tile_struct readTileRecord(const QString& mulDir, int kind, int id, QByteArray* raw)
{
    if (raw)
        raw->clear();
    const qint64 offset = tileOffset(kind, id);
    if (offset < 0)
        return tile_struct();
    QFile f(mulPath(mulDir, QStringLiteral("tiledata.mul")));
    if (!f.open(QIODevice::ReadOnly) || !f.seek(offset))
        return tile_struct();
    const QByteArray bytes = f.read(tileRecordSize(kind));
    if (bytes.size() != tileRecordSize(kind))
        return tile_struct();
    if (raw)
        *raw = bytes;
    return parseTile(kind, bytes.constData());
}

} // namespace qm
