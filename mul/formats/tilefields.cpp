#include "tilefields.h"

#include "itemkind.h"

#include <QtEndian>

namespace qm {

namespace {

#define QM_TILE_FIELD(member, bytes, hex, land, statik)                                          \
    TileField                                                                                    \
    {                                                                                            \
        #member, bytes, hex, land, statik, [](const tile_struct& t) { return quint64(t.member); }, \
            [](tile_struct& t, quint64 v) { t.member = decltype(t.member)(v); }                  \
    }

QString nameFromBytes(const char* bytes)
{
    int length = 0;
    while (length < kTileNameSize && bytes[length] != '\0')
        ++length;
    return QString::fromLatin1(bytes, length);
}

} // namespace

const QVector<TileField>& tileFields()
{
    static const QVector<TileField> fields {
        QM_TILE_FIELD(flags, 0, true, true, true),       QM_TILE_FIELD(texid, 2, true, true, false),
        QM_TILE_FIELD(weight, 1, false, false, true),    QM_TILE_FIELD(quality, 1, true, false, true),
        QM_TILE_FIELD(unk, 2, true, false, true),        QM_TILE_FIELD(unk1, 1, true, false, true),
        QM_TILE_FIELD(quantity, 1, true, false, true),   QM_TILE_FIELD(animid, 2, false, false, true),
        QM_TILE_FIELD(unk2, 2, true, false, true),       QM_TILE_FIELD(hue, 1, true, false, true),
        QM_TILE_FIELD(unk3, 1, true, false, true),       QM_TILE_FIELD(height, 1, false, false, true),
    };
    return fields;
}
#undef QM_TILE_FIELD

QVector<const TileField*> tileFieldsOf(int kind)
{
    QVector<const TileField*> out;
    for (const TileField& f : tileFields())
        if ((kind == Land && f.land) || (kind == Static && f.statik))
            out.append(&f);
    return out;
}

const TileField* findTileField(int kind, const QString& name)
{
    for (const TileField* f : tileFieldsOf(kind))
        if (name.compare(QLatin1String(f->name), Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

int tileFieldBytes(const TileField& field, int flagsBytes)
{
    return field.bytes > 0 ? field.bytes : flagsBytes;
}

quint64 tileFieldMax(const TileField& field, int flagsBytes)
{
    const int bits = 8 * tileFieldBytes(field, flagsBytes);
    return bits >= 64 ? ~quint64(0) : (quint64(1) << bits) - 1;
}

int tileRecordBytes(int kind, int flagsBytes)
{
    const QVector<const TileField*> fields = tileFieldsOf(kind);
    if (fields.isEmpty())
        return 0;
    int size = kTileNameSize;
    for (const TileField* f : fields)
        size += tileFieldBytes(*f, flagsBytes);
    return size;
}

tile_struct readTileFields(int kind, const char* bytes, int flagsBytes)
{
    tile_struct t;
    const char* p = bytes;
    for (const TileField* f : tileFieldsOf(kind)) {
        const int width = tileFieldBytes(*f, flagsBytes);
        quint64 v = 0;
        for (int i = width - 1; i >= 0; --i)   // little-endian, any width
            v = (v << 8) | quint8(p[i]);
        f->set(t, v);
        p += width;
    }
    if (p != bytes)
        t.name = nameFromBytes(p);
    return t;
}

QByteArray writeTileFields(int kind, const tile_struct& tile, int flagsBytes)
{
    QByteArray out;
    const QVector<const TileField*> fields = tileFieldsOf(kind);
    if (fields.isEmpty())
        return out;
    out.reserve(tileRecordBytes(kind, flagsBytes));
    for (const TileField* f : fields) {
        const quint64 v = f->get(tile);
        for (int i = 0; i < tileFieldBytes(*f, flagsBytes); ++i)
            out.append(char(quint8(v >> (8 * i))));
    }
    // Characters outside Latin-1 become '?': the file has no other encoding.
    QByteArray name = tile.name.left(kTileNameSize).toLatin1();
    name.resize(kTileNameSize, '\0');
    out.append(name);
    return out;
}

} // namespace qm
