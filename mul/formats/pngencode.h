#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qm {

// A whole PNG file (8-bit RGBA, lossless) for `image`, or an empty array with *error set.
// Made for exporting many small pictures: Qt's own PNG writer spends most of a small
// picture's time setting itself up, this one keeps one compressor per thread and uses a
// fast compression level, so an export costs about what writing its files does. Any image
// format is accepted; pixels read back exactly as image.convertToFormat(Format_ARGB32) has them.
QByteArray encodePng(const QImage& image, QString* error = nullptr);

} // namespace qm
