#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qm {

// Decoders and encoders for the records of art.mul, gumpart.mul and texmaps.mul.
// Decoders take the record's bytes (from its offset up to at most the end of its data file)
// and never read outside them: a broken record gives a null image or the rows read so far.
// Decoded images are QImage::Format_ARGB32; a pixel not covered by the record is 0.

constexpr int kLandSize = 44;
constexpr int kLandRecordSize = 2024;   // 1,012 Color16 values of the diamond
constexpr int kMaxArtSide = 32767;      // widths, heights and offsets are signed 16-bit
// Static and gump records can describe huge images in a few bytes (rows may share their
// data); no image above this many pixels is decoded or encoded.
constexpr qint64 kMaxArtPixels = qint64(4096) * 4096;

// What a decoder met, for checks such as qmtool verify.
struct DecodeReport {
    bool complete = true;   // false: values were missing or damaged; the image shows what was read
    qint64 extent = 0;      // bytes from the record's start to the end of the last value read
};

QImage decodeLand(const QByteArray& record);
QImage decodeStatic(const QByteArray& record);
QImage decodeGump(const QByteArray& record, int width, int height);
QImage decodeTexture(const QByteArray& record, int size);   // size 64 or 128

QImage decodeLand(const QByteArray& record, DecodeReport* report);
QImage decodeStatic(const QByteArray& record, DecodeReport* report);
QImage decodeGump(const QByteArray& record, int width, int height, DecodeReport* report);
QImage decodeTexture(const QByteArray& record, int size, DecodeReport* report);

// The same decoders with the stored colours looked up in `colors` (32,768 entries, one for each
// value without bit 15; huedColorTable gives a hue's) instead of converted plainly: a hued
// picture in one pass. Transparency stays as the plain decoders give it.
QImage decodeLandColored(const QByteArray& record, const QRgb* colors);
QImage decodeStaticColored(const QByteArray& record, const QRgb* colors);
QImage decodeGumpColored(const QByteArray& record, int width, int height, const QRgb* colors);
QImage decodeTextureColored(const QByteArray& record, int size, const QRgb* colors);

// Texture size chosen by the index record's extra field: 1 means 128, anything else 64.
int textureSizeForExtra(quint32 extra);
// The extra a rewrite stores for a texture of this width: 1 for 128, else 0.
quint32 textureExtraFor(int width);
// A gump index record's extra: height in the low, width in the high 16 bits, both signed.
int gumpWidthFromExtra(quint32 extra);
int gumpHeightFromExtra(quint32 extra);
quint32 gumpExtraFor(int width, int height);

// Encoders. An empty result means the image cannot be held by that record kind; `error`
// (optional) then says why in words a user can read.
// A pixel whose colour converts to 0, or whose alpha is 0, is stored as 0 (transparent in
// static and gump records, black in land and texture records).
QByteArray encodeLand(const QImage& image, QString* error = nullptr);
QByteArray encodeStatic(const QImage& image, QString* error = nullptr);
QByteArray encodeGump(const QImage& image, QString* error = nullptr);
QByteArray encodeTexture(const QImage& image, QString* error = nullptr);

// The encoder of `kind`'s records.
QByteArray encodeRecord(int kind, const QImage& image, QString* error = nullptr);

// Whether Save could write `image` as an item of `kind`; if not, `error` says why.
// The image page and the patch import refuse such images where they enter.
bool canEncode(int kind, const QImage& image, QString* error = nullptr);

} // namespace qm
