#pragma once

#include "records.h"

#include <QByteArray>
#include <QString>

namespace qm {

// tiledata.mul comes in two layouts, told apart by the file's size. Classic: 512 land blocks
// of 836 bytes (4-byte header + 32 x 26), then static blocks of 1,188 bytes (4-byte header +
// 32 x 37). Wide (64-bit flags): land blocks of 964 bytes (4 + 32 x 30), static blocks of
// 1,316 bytes (4 + 32 x 41). The wide records are the classic ones with flags 8 bytes wide.
constexpr qint64 kLandTileSectionSize = 428032;
constexpr int kLandTileBlockSize = 836;
constexpr int kStaticTileBlockSize = 1188;
constexpr qint64 kWideLandTileSectionSize = 493568;
constexpr int kWideLandTileBlockSize = 964;
constexpr int kWideStaticTileBlockSize = 1316;
constexpr int kTileBlockEntries = 32;
// Land section plus 2,048 static blocks: the size that holds every static id.
constexpr qint64 kFullTileDataSize = kLandTileSectionSize + 2048 * qint64(kStaticTileBlockSize);
constexpr qint64 kFullWideTileDataSize = kWideLandTileSectionSize + 2048 * qint64(kWideStaticTileBlockSize);

// A size fits a layout when it is that layout's land section plus whole static blocks (0 or
// more). Sizes that fit both layouts, and sizes that fit neither, are Unknown: such a file
// is read as classic (as ever) but never written.
enum class TileLayout { Classic, Wide, Unknown };
TileLayout tileLayoutForSize(qint64 size);
// The layout of mulDir's tiledata.mul; Unknown when it is missing. `size` (optional)
// receives its size, -1 when missing.
TileLayout tileDataLayout(const QString& mulDir, qint64* size = nullptr);
// "classic", "wide", "unknown".
QString tileLayoutName(TileLayout layout);

// Byte position of an entry; -1 for an id outside 0..16,383 (land) or 0..65,535 (static)
// or a kind without tile data. An Unknown layout has the classic positions.
qint64 landTileOffset(int id, TileLayout layout = TileLayout::Classic);
qint64 staticTileOffset(int id, TileLayout layout = TileLayout::Classic);
qint64 tileOffset(int kind, int id, TileLayout layout = TileLayout::Classic);
// 26 / 30 for land, 37 / 41 for static, 0 otherwise.
int tileRecordSize(int kind, TileLayout layout = TileLayout::Classic);

// Whether a tiledata.mul of this size has a layout this program can write.
bool isKnownTileDataSize(qint64 size);

// The width of a record's flags: 8 bytes in the wide layout, 4 in the classic one (and in an
// Unknown layout, which is read as classic).
int tileFlagsBytes(TileLayout layout);
// Whether a record's flags fit the layout: the classic one holds only the low 32 bits.
bool tileFlagsFit(const tile_struct& t, TileLayout layout);

// Record bytes <-> tile_struct. Names are Latin-1, cut to 20 and zero padded when written;
// read up to the first zero byte. The classic layout reads and writes the low 32 flag bits;
// its writers drop the high ones.
tile_struct parseLandTile(const char* bytes, TileLayout layout = TileLayout::Classic);
tile_struct parseStaticTile(const char* bytes, TileLayout layout = TileLayout::Classic);
QByteArray landTileBytes(const tile_struct& t, TileLayout layout = TileLayout::Classic);
QByteArray staticTileBytes(const tile_struct& t, TileLayout layout = TileLayout::Classic);
QByteArray tileNameBytes(const QString& name);    // exactly 20 bytes
// The record bytes of either kind (empty for a kind without tile data).
QByteArray tileBytes(int kind, const tile_struct& t, TileLayout layout = TileLayout::Classic);
tile_struct parseTile(int kind, const char* bytes, TileLayout layout = TileLayout::Classic);

// Reads one record from mulDir's tiledata.mul, in the layout its size gives; a missing file
// or short read gives an all-zero record with an empty name. `raw` (optional) receives the
// stored bytes unchanged (26/37 or 30/41 of them), or is emptied when the record could not
// be read.
tile_struct readTileRecord(const QString& mulDir, int kind, int id, QByteArray* raw = nullptr);

} // namespace qm
