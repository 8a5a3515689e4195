#pragma once

#include "records.h"

#include <QByteArray>
#include <QString>

// animdata.mul: blocks of 548 bytes, a 4-byte header then 8 entries of 68 bytes.
qint64 animOffset(int id);

anim_st parseAnim(const char* bytes);   // 68 bytes
QByteArray animBytes(const anim_st& a); // 68 bytes

// Reads one entry from mulDir's animdata.mul; a missing file or short read gives zeros.
anim_st readAnimRecord(const QString& mulDir, int id);
