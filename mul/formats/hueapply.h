#pragma once

#include "hues.h"

#include <QImage>
#include <QVector>
#include <QtGlobal>

#include <array>

namespace qm {

// How the game recolours a picture with a hue. Full: every pixel becomes the hue's colour
// at the index of its red level. Partial: only grey pixels (equal red, green and blue levels)
// do; coloured ones keep their colour. Transparent pixels stay transparent either way.
enum class HueMode { Full, Partial };

// Tile data flag bits (numbered from 0) that concern hues and animation.
constexpr quint64 kPartialHueFlag = quint64(1) << 18;
constexpr quint64 kAnimatedFlag = quint64(1) << 24;

// The mode the game uses for an item: a static with the Partial Hue flag partially, any other
// static fully; gumps fully unless their layout asks otherwise; land tiles and textures are
// never hued in the game, so a preview of them hues fully. `tileFlags` matters for statics only.
HueMode defaultHueMode(int kind, quint64 tileFlags);

// The 5-bit level of an 8-bit channel: exact for a decoded picture (c * 8 gives c back), the
// nearest level for any other.
inline int channelLevel(int channel8) { return qMin((channel8 + 4) >> 3, 31); }

// A hue made ready for pictures: its 32 colours converted once to 32-bit pixels (alpha 255,
// a ramp's 0 being black) and laid out by 8-bit red value, so that hueing is a lookup per pixel.
class HueTable {
public:
    HueTable(const HueEntry& hue, HueMode mode);

    HueMode mode() const { return m_mode; }
    QRgb rampColor(int level) const { return m_ramp[size_t(level)]; }
    // One pixel of a decoded picture, hued.
    QRgb apply(QRgb pixel) const;

    // The picture hued; Format_ARGB32 (other formats are converted first). A null image gives
    // a null image.
    QImage apply(const QImage& image) const;
    // The same, over `image` itself when it is Format_ARGB32 or Format_RGB32 (else converted).
    void applyInPlace(QImage& image) const;

private:
    QRgb fullPixel(QRgb pixel) const;
    QRgb partialPixel(QRgb pixel) const;
    template <bool Full>
    void applyPixels(QRgb* pixels, qsizetype count) const;

    std::array<QRgb, kHueColorCount> m_ramp {};
    std::array<QRgb, 256> m_byRed {};   // the ramp colour for each 8-bit red value
    HueMode m_mode;
};

// The hued colour of every stored 16-bit colour (index: the colour without bit 15), for a decoder
// that hues while it converts the file's colours instead of in a pass after it: the way to make
// hueing cost next to nothing. Transparency is the decoder's to keep: entry 0 is opaque black.
QVector<QRgb> huedColorTable(const HueEntry& hue, HueMode mode);

// A picture hued once; for many pictures build one HueTable and keep it.
QImage applyHue(const QImage& image, const HueEntry& hue, HueMode mode);

} // namespace qm
