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

// Reads a picture, the format detected from its contents, as 32-bit with alpha. Oversized
// pictures are refused before decoding, without touching the reader's process-wide limit, so
// a batch loading on other threads is not disturbed. On failure returns a null image and
// says why in `error`.
QImage readPicture(const QString& path, QString* error);
