#pragma once

#include <QImage>

namespace qm {

// An imported picture brought to what its catalogue requires: 32-bit with alpha; land tiles
// smooth-scaled to 44 x 44 (unless already so) and masked to the tile's diamond; textures
// smooth-scaled to 128 x 128 when both sides are at least 128, else to 64 x 64; statics and
// gumps kept at their size. A null picture stays null. Shared by the image page and qmtool.
QImage prepareImportedImage(int kind, const QImage& picture);

// The same without the land mask: 32-bit with alpha, brought to the kind's size.
QImage scaleImportedImage(int kind, const QImage& picture);

// Sets every pixel of a 44 x 44 image outside the land diamond to 0 (transparent black),
// converting it to 32-bit with alpha first; other sizes are left alone.
void cropLandDiamond(QImage& image);
bool isInLandDiamond(int x, int y);

} // namespace qm
