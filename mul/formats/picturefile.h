#pragma once

#include <QImage>
#include <QString>

namespace qm {

// Pictures larger than this many bytes once decoded (32-bit) are refused before decoding:
// 512 MB holds 11,000 x 11,000 pixels, far above anything the art files take.
constexpr qint64 kMaxPictureBytes = qint64(512) << 20;

// Reads a picture file, the format told by its contents, as 32-bit with alpha. A picture
// whose header claims more than kMaxPictureBytes is refused without decoding it. Safe to call
// from several threads at once: unlike the reader's global allocation limit, nothing shared
// is changed. On failure returns a null image and says why in `error`.
QImage readPictureFile(const QString& path, QString* error);

} // namespace qm
