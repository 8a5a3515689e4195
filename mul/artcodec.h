#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decoders and encoders for the records of art.mul, gumpart.mul and texmaps.mul.
// Decoders take the record's bytes (from its offset up to at most the end of its data file)
// and never read outside them: a broken record gives a null image or the rows read so far.
// Decoded images are QImage::Format_ARGB32; a pixel not covered by the record is 0.

constexpr int kLandSize = 44;
constexpr int kLandRecordSize = 2024;   // 1,012 Color16 values of the diamond

QImage decodeLand(const QByteArray& record);
QImage decodeStatic(const QByteArray& record);
QImage decodeGump(const QByteArray& record, int width, int height);
QImage decodeTexture(const QByteArray& record, int size);   // size 64 or 128

// Texture size chosen by the index record's extra field: 1 means 128, anything else 64.
int textureSizeForExtra(quint32 extra);

// Encoders. An empty result means the image cannot be held by that record kind; `error`
// (optional) then says why in words a user can read.
QByteArray encodeLand(const QImage& image, QString* error = nullptr);
QByteArray encodeStatic(const QImage& image, QString* error = nullptr);
QByteArray encodeGump(const QImage& image, QString* error = nullptr);
QByteArray encodeTexture(const QImage& image, QString* error = nullptr);

// Whether Save could write `image` as an item of `kind`; if not, `error` says why.
// The image page and the patch import refuse such images where they enter.
bool canEncode(int kind, const QImage& image, QString* error = nullptr);
