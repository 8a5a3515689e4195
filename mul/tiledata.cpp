#include "tiledata.h"

#include "indexfile.h"
#include "itemkind.h"
#include "littleendian.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool isWide(TileLayout layout) { return layout == TileLayout::Wide; }

QString nameFromBytes(const char* bytes)
{
    int length = 0;
    while (length < kTileNameSize && bytes[length] != '\0')
        ++length;
    return QString::fromLatin1(bytes, length);
}

// The flags field opens every record: 4 bytes classic, 8 wide. Returns its width.
int readFlags(const char* bytes, TileLayout layout, quint64* flags)
{
    if (isWide(layout)) {
        *flags = qFromLittleEndian<quint64>(bytes);
        return 8;
    }
    *flags = readU32(bytes);
    return 4;
}

void appendFlags(QByteArray& out, quint64 flags, TileLayout layout)
{
    appendU32(out, quint32(flags));
    if (isWide(layout))
        appendU32(out, quint32(flags >> 32));
}

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

tile_struct parseLandTile(const char* bytes, TileLayout layout)
{
    tile_struct t;
    bytes += readFlags(bytes, layout, &t.flags);
    t.texid = readU16(bytes);
    t.name = nameFromBytes(bytes + 2);
    return t;
}

tile_struct parseStaticTile(const char* bytes, TileLayout layout)
{
    tile_struct t;
    bytes += readFlags(bytes, layout, &t.flags);
    t.weight = quint8(bytes[0]);
    t.quality = quint8(bytes[1]);
    t.unk = readU16(bytes + 2);
    t.unk1 = quint8(bytes[4]);
    t.quantity = quint8(bytes[5]);
    t.animid = readU16(bytes + 6);
    t.unk2 = readU16(bytes + 8);
    t.hue = quint8(bytes[10]);
    t.unk3 = quint8(bytes[11]);
    t.height = quint8(bytes[12]);
    t.name = nameFromBytes(bytes + 13);
    return t;
}

QByteArray tileNameBytes(const QString& name)
{
    // Characters outside Latin-1 become '?': the file has no other encoding.
    QByteArray bytes = name.left(kTileNameSize).toLatin1();
    bytes.resize(kTileNameSize, '\0');
    return bytes;
}

QByteArray landTileBytes(const tile_struct& t, TileLayout layout)
{
    QByteArray out;
    out.reserve(tileRecordSize(Land, layout));
    appendFlags(out, t.flags, layout);
    appendU16(out, t.texid);
    out.append(tileNameBytes(t.name));
    return out;
}

QByteArray staticTileBytes(const tile_struct& t, TileLayout layout)
{
    QByteArray out;
    out.reserve(tileRecordSize(Static, layout));
    appendFlags(out, t.flags, layout);
    out.append(char(t.weight));
    out.append(char(t.quality));
    appendU16(out, t.unk);
    out.append(char(t.unk1));
    out.append(char(t.quantity));
    appendU16(out, t.animid);
    appendU16(out, t.unk2);
    out.append(char(t.hue));
    out.append(char(t.unk3));
    out.append(char(t.height));
    out.append(tileNameBytes(t.name));
    return out;
}

QByteArray tileBytes(int kind, const tile_struct& t, TileLayout layout)
{
    switch (kind) {
    case Land: return landTileBytes(t, layout);
    case Static: return staticTileBytes(t, layout);
    default: return QByteArray();
    }
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
