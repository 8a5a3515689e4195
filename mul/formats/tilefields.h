#pragma once

#include "records.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace qm {

// The numeric fields of a tile record, described once: the record reader and writer, the
// editor's tile page and qmtool's set-tile, tile JSON and help all walk this table.
struct TileField {
    const char* name;   // as qmtool and its JSON name it
    int bytes;          // width in the record; 0 for the flags, whose width is the layout's
    bool hex;           // the tile page shows it as 0x...
    bool land;          // carried by land records
    bool statik;        // carried by static records
    quint64 (*get)(const tile_struct&);
    void (*set)(tile_struct&, quint64);
};

// Flags are 4 bytes wide in the classic layout of tiledata.mul; newer files widen them.
constexpr int kClassicTileFlagsBytes = 4;

// Every field in record order; in both kinds the 20-byte name follows the last of them.
const QVector<TileField>& tileFields();
// The fields a kind's record carries, in record order; empty for a kind without tile data.
QVector<const TileField*> tileFieldsOf(int kind);
// The field called `name` (any case) that records of `kind` carry; nullptr when none is.
const TileField* findTileField(int kind, const QString& name);

int tileFieldBytes(const TileField& field, int flagsBytes);
quint64 tileFieldMax(const TileField& field, int flagsBytes);
// The size of a record of `kind` whose flags are `flagsBytes` wide; 0 without tile data.
int tileRecordBytes(int kind, int flagsBytes);

// Record bytes (tileRecordBytes long) <-> tile_struct. Names are Latin-1, cut to 20 and zero
// padded when written; read up to the first zero byte.
tile_struct readTileFields(int kind, const char* bytes, int flagsBytes);
QByteArray writeTileFields(int kind, const tile_struct& tile, int flagsBytes);

} // namespace qm
