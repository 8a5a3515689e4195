#pragma once

#include "records.h"

#include <QByteArray>
#include <QString>

namespace qm {

// animdata.mul: blocks of 548 bytes, a 4-byte header then 8 entries of 68 bytes.
constexpr int kAnimBlockSize = 548;
constexpr int kAnimBlockEntries = 8;
// The size that holds an entry for every static id (8,192 blocks).
constexpr qint64 kFullAnimDataSize = qint64(65536 / kAnimBlockEntries) * kAnimBlockSize;

// Byte position of a static id's entry; -1 for an id outside 0..65,535.
qint64 animOffset(int id);

anim_st parseAnim(const char* bytes);   // 68 bytes
QByteArray animBytes(const anim_st& a); // 68 bytes

// Reads one entry from mulDir's animdata.mul; a missing file or short read gives zeros.
anim_st readAnimRecord(const QString& mulDir, int id);
// The same, telling through `found` whether the entry was read from the file.
anim_st readAnimRecord(const QString& mulDir, int id, bool* found);

} // namespace qm
