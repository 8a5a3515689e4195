#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Picture files for the image page: the dialogs' filters, the export name, reading a picture
// safely, and bringing it to the size and shape an item of a kind needs.

// One entry per format, in the order given: "PNG (*.png)", and "JPEG (*.jpeg;*.jpg)" since
// both endings are in use; entries separated by ";;".
QString pictureFilter(const QList<QByteArray>& formats);

// The format named by a filter entry: its first word ("PNG" for "PNG (*.png)").
QString filterFormat(const QString& filterEntry);

// The name to write: `name` unchanged when it already ends in the format's name (any case,
// with or without a dot; for JPEG also ".jpg"), otherwise `name` + "." + format in lower case.
QString exportFileName(const QString& name, const QString& format);

// Reads a picture, the format detected from its contents, as 32-bit with alpha. Pictures
// whose decoded size would exceed the reader's allocation limit are refused before decoding.
// On failure returns a null image and says why in `error`.
QImage readPicture(const QString& path, QString* error);

// The size an imported picture must have for an item of `kind`: land 44 x 44, textures
// 128 x 128 when both sides are at least 128 and 64 x 64 otherwise; statics and gumps keep
// their own size.
QSize importSizeFor(int kind, const QSize& pictureSize);

// Sets every pixel of a 44 x 44 land image outside the tile's diamond to 0 (transparent);
// other sizes are left alone.
void maskLandDiamond(QImage& image);
bool isInLandDiamond(int x, int y);
