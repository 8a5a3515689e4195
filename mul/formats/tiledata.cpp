#include "tiledata.h"

#include "indexfile.h"
#include "itemkind.h"
#include "littleendian.h"

#include <QFile>

namespace qm {

namespace {

constexpr int kLandEntrySize = kLandTileRecordSize;
constexpr int kStaticEntrySize = kStaticTileRecordSize;

QString nameFromBytes(const char* bytes)
{
    int length = 0;
    while (length < kTileNameSize && bytes[length] != '\0')
        ++length;
    return QString::fromLatin1(bytes, length);
}

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
    tile_struct t;
    t.flags = readU32(bytes);
    t.texid = readU16(bytes + 4);
    t.name = nameFromBytes(bytes + 6);
    return t;
}

tile_struct parseStaticTile(const char* bytes)
{
    tile_struct t;
    t.flags = readU32(bytes);
    t.weight = quint8(bytes[4]);
    t.quality = quint8(bytes[5]);
    t.unk = readU16(bytes + 6);
    t.unk1 = quint8(bytes[8]);
    t.quantity = quint8(bytes[9]);
    t.animid = readU16(bytes + 10);
    t.unk2 = readU16(bytes + 12);
    t.hue = quint8(bytes[14]);
    t.unk3 = quint8(bytes[15]);
    t.height = quint8(bytes[16]);
    t.name = nameFromBytes(bytes + 17);
    return t;
}

QByteArray tileNameBytes(const QString& name)
{
    // Characters outside Latin-1 become '?': the file has no other encoding.
    QByteArray bytes = name.left(kTileNameSize).toLatin1();
    bytes.resize(kTileNameSize, '\0');
    return bytes;
}

QByteArray landTileBytes(const tile_struct& t)
{
    QByteArray out;
    out.reserve(kLandEntrySize);
    appendU32(out, t.flags);
    appendU16(out, t.texid);
    out.append(tileNameBytes(t.name));
    return out;
}

QByteArray staticTileBytes(const tile_struct& t)
{
    QByteArray out;
    out.reserve(kStaticEntrySize);
    appendU32(out, t.flags);
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

QByteArray tileBytes(int kind, const tile_struct& t)
{
    switch (kind) {
    case Land: return landTileBytes(t);
    case Static: return staticTileBytes(t);
    default: return QByteArray();
    }
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
