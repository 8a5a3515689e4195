#pragma once

#include <QString>

namespace qm {

// Rewrites the classic tiledata.mul of a demo directory in the wide layout (64-bit flags),
// every record's fields kept, and sets high flag bits on some named statics so the wide
// layout has something to show: static N with N % 8 == 0 gets bit 32 + (3 * N / 8) % 32, so
// bit 63 appears from static 0xa8 on. `highFlagged` (optional) receives how many statics got one.
bool widenDemoTileData(const QString& dir, QString* error, int* highFlagged = nullptr);

} // namespace qm
