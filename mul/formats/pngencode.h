#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qm {

// A whole PNG file (8-bit RGBA, lossless) for `image`, or an empty array with *error set.
// Made for exporting many pictures: Qt's own PNG writer spends most of a small picture's
// time setting itself up, and a general compressor most of the rest searching for repeats;
// this one writes the repeats the art is made of (runs of one colour, rows like the one
// above) as it meets them, so an export costs about what writing its files does. Any image
// format is accepted; pixels read back exactly as image.convertToFormat(Format_ARGB32) has them.
QByteArray encodePng(const QImage& image, QString* error = nullptr);

} // namespace qm
