#pragma once

#include "records.h"

#include <QByteArray>
#include <QString>

namespace qm {

// tiledata.mul: 512 land blocks of 836 bytes (4-byte header + 32 x 26), then static blocks
// of 1,188 bytes (4-byte header + 32 x 37).
constexpr qint64 kLandTileSectionSize = 428032;
constexpr int kLandTileBlockSize = 836;
constexpr int kStaticTileBlockSize = 1188;
constexpr int kTileBlockEntries = 32;
// Land section plus 2,048 static blocks: the size that holds every static id.
constexpr qint64 kFullTileDataSize = kLandTileSectionSize + 2048 * qint64(kStaticTileBlockSize);

// Byte position of an entry; -1 for an id outside 0..16,383 (land) or 0..65,535 (static)
// or a kind without tile data.
qint64 landTileOffset(int id);
qint64 staticTileOffset(int id);
qint64 tileOffset(int kind, int id);
int tileRecordSize(int kind);   // 26 for land, 37 for static, 0 otherwise

// Whether a tiledata.mul of this size has the layout above (land section plus whole static
// blocks). Newer clients use 64-bit flags and other sizes; those files must not be written.
bool isKnownTileDataSize(qint64 size);

// Record bytes <-> tile_struct. Names are Latin-1, cut to 20 and zero padded when written;
// read up to the first zero byte.
tile_struct parseLandTile(const char* bytes);     // 26 bytes
tile_struct parseStaticTile(const char* bytes);   // 37 bytes
QByteArray landTileBytes(const tile_struct& t);
QByteArray staticTileBytes(const tile_struct& t);
QByteArray tileNameBytes(const QString& name);    // exactly 20 bytes
// The record bytes of either kind (empty for a kind without tile data).
QByteArray tileBytes(int kind, const tile_struct& t);
tile_struct parseTile(int kind, const char* bytes);

// Reads one record from mulDir's tiledata.mul; a missing file or short read gives an all-zero
// record with an empty name. `raw` (optional) receives the stored bytes unchanged, or is
// emptied when the record could not be read.
tile_struct readTileRecord(const QString& mulDir, int kind, int id, QByteArray* raw = nullptr);

} // namespace qm
