#pragma once

#include "artcodec.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace qm {

// A patch file carries its image as a complete PNG file with no length in front of it, and
// the tile data follows the PNG's last byte. So the reader has to find where the PNG ends
// by itself, and patch files come from strangers: every step is bounded by the bytes given.

// The largest decoded image a patch may carry, in bytes of 32-bit pixels: the art files' own
// cap. Real items are far smaller (a land tile is 44 x 44); the limit keeps a forged header
// from costing gigabytes.
constexpr qint64 kPatchImageByteLimit = kMaxArtPixels * 4;

struct PngExtent {
    qsizetype end = 0;   // offset just past the IEND chunk's CRC
    QSize size;          // the width and height that the IHDR chunk claims
};

// Walks the chunks of the PNG starting at `start` in `bytes`: the 8-byte signature, then
// length/type/data/CRC chunks up to and including IEND. Fails (with a reason in `error`) on
// a wrong signature, a first chunk other than a 13-byte IHDR, or a chunk that runs past the
// end of `bytes`. Checks no CRC: the decoder does that.
bool findPngExtent(const QByteArray& bytes, qsizetype start, PngExtent* extent, QString* error);

// Decodes exactly `png` (one complete PNG file) into a Format_ARGB32 image, refusing images
// whose pixels would exceed kPatchImageByteLimit before allocating them.
QImage decodePatchPng(const QByteArray& png, QString* error);

// The image as a complete PNG file; empty if it could not be encoded.
QByteArray encodePatchPng(const QImage& image);

} // namespace qm
