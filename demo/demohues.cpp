// The demo's hues and its pictures drawn for hueing. Pixels are set from 5-bit levels, so that
// a grey in these pictures is exactly grey in the file and every run gives the same bytes.
#include "demohues.h"

#include "hues.h"
#include "littleendian.h"
#include "pixels.h"

#include <algorithm>
#include <cmath>

namespace qm {

namespace {

QRgb levels(int r, int g, int b)
{
    auto c = [](int v) { return std::clamp(v, 0, 31); };
    return color16ToRgb(qint16((c(r) << 10) | (c(g) << 5) | c(b)));
}

// A grey that is never 0: 0 is transparent in static and gump records.
QRgb grey(int level)
{
    const int v = std::clamp(level, 1, 31);
    return levels(v, v, v);
}

QImage transparentCanvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(0u);
    return image;
}

// A 5-bit colour of a hue angle (degrees), saturation and value (0..1).
quint16 hsvLevels(double angle, double saturation, double value)
{
    const double c = value * saturation;
    const double h = std::fmod(angle, 360.0) / 60.0;
    const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (int(h)) {
    case 0: r = c; g = x; break;
    case 1: r = x; g = c; break;
    case 2: g = c; b = x; break;
    case 3: g = x; b = c; break;
    case 4: r = x; b = c; break;
    default: r = c; b = x; break;
    }
    const double m = value - c;
    auto level = [&](double v) { return std::clamp(int(std::lround((v + m) * 31)), 0, 31); };
    return quint16((level(r) << 10) | (level(g) << 5) | level(b));
}

const char* const kFamilies[] = { "red", "orange", "gold", "yellow", "lime", "green",
                                  "teal", "cyan", "azure", "blue", "violet", "rose" };
constexpr int kFamilyCount = 12;

} // namespace

QByteArray demoHueFileBytes(int groups)
{
    QByteArray bytes(qMax(groups, 0) * kHueGroupSize, '\0');
    for (int g = 0; g < groups; ++g)
        writeU32(bytes.data() + qint64(g) * kHueGroupSize, quint32(0x100 * g + 7));
    const int count = groups * kHuesPerGroup;
    for (int h = 1; h <= count; ++h) {
        const int family = (h - 1) % kFamilyCount, variant = (h - 1) / kFamilyCount;
        const double angle = family * 30.0 + (variant % 10) * 2.5;
        const double saturation = 0.25 + 0.75 * ((variant / 10) % 4) / 3.0;
        // Most ramps run from black; some start lighter, some stop short of full brightness.
        const double low = variant % 3 == 0 ? 0.0 : 0.08 * (variant % 3);
        const double high = 1.0 - 0.1 * ((variant / 3) % 3);
        HueEntry e;
        for (int i = 0; i < kHueColorCount; ++i)
            e.colors[size_t(i)] = hsvLevels(angle, saturation, low + (high - low) * i / 31.0);
        e.tableStart = e.colors[0];
        e.tableEnd = e.colors[kHueColorCount - 1];
        QByteArray name = QByteArray(kFamilies[family]) + ' ' + QByteArray::number(variant + 1);
        if (h % 250 == 0)
            name = QByteArray("gr\xfcn ") + QByteArray::number(h);   // Latin-1, as localised shards name them
        name = name.left(kHueNameSize);
        name.append(QByteArray(kHueNameSize - name.size(), '\0'));
        // Some names keep bytes of an older, longer name after their end, as edited files do.
        if (h % 97 == 0)
            name.replace(kHueNameSize - 4, 4, "old!");
        e.nameBytes = name;
        bytes.replace(int(hueOffset(h)), kHueEntrySize, hueEntryBytes(e));
    }
    return bytes;
}

QImage demoGreyStatic()
{
    // An urn lit from the left: a turned profile, shaded across its width.
    const int width = 36, height = 56;
    QImage image = transparentCanvas(width, height);
    for (int y = 0; y < height; ++y) {
        const double t = double(y) / (height - 1);
        const double half = y < 6 ? 9 : 6 + 11 * std::sin(3.14159 * std::min(1.0, (t - 0.08) * 1.15)) + (y > 50 ? 3 : 0);
        for (int x = 0; x < width; ++x) {
            const double u = (x - width / 2.0 + 0.5) / half;
            if (std::fabs(u) > 1)
                continue;
            const double light = 0.55 - 0.45 * u + 0.25 * std::sqrt(1 - u * u);
            image.setPixel(x, y, grey(int(std::lround(3 + 27 * std::clamp(light, 0.0, 1.0)))));
        }
    }
    return image;
}

QImage demoPartlyGreyStatic()
{
    // A shield: grey face (hued), brown wooden rim and a brass boss (left as they are).
    const int width = 40, height = 48;
    QImage image = transparentCanvas(width, height);
    const double cx = width / 2.0;
    for (int y = 0; y < height; ++y) {
        const double half = y < 30 ? 19 : 19 * std::sqrt(std::max(0.0, 1 - std::pow((y - 30) / 18.0, 2)));
        for (int x = 0; x < width; ++x) {
            const double dx = std::fabs(x + 0.5 - cx);
            if (dx > half)
                continue;
            const bool rim = dx > half - 3 || y < 3 || y > height - 4;
            const double boss = std::hypot(x + 0.5 - cx, y + 0.5 - 20);
            if (rim)
                image.setPixel(x, y, levels(14 + (x + y) % 3, 8, 3));
            else if (boss < 5)
                image.setPixel(x, y, levels(26 - int(boss * 2), 21 - int(boss * 2), 6));
            else
                image.setPixel(x, y, grey(int(std::lround(8 + 18 * (1 - double(x) / width) + (y % 8 == 0 ? -3 : 0)))));
        }
    }
    return image;
}

QImage demoGreyGump()
{
    // A bevelled panel with an engraved border and a soft diagonal sheen.
    const int width = 160, height = 100;
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int level = 14 + (x + y) * 8 / (width + height);
            const int edge = std::min({ x, y, width - 1 - x, height - 1 - y });
            if (edge < 3)
                level = (x < width - 3 - edge && y < height - 3 - edge) ? 27 - edge * 2 : 5 + edge * 2;
            else if (edge == 8)
                level = 7;
            else if (edge == 9)
                level = 25;
            image.setPixel(x, y, grey(level));
        }
    return image;
}

QVector<QImage> demoCrystalFrames()
{
    QVector<QImage> frames;
    const int width = 30, height = 50;
    for (int frame = 0; frame < 3; ++frame) {
        QImage image = transparentCanvas(width, height);
        const double glow = 4 + 4 * frame;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double dx = std::fabs(x + 0.5 - width / 2.0) / 9.0;
                const double dy = std::fabs(y + 0.5 - 26) / 20.0;
                const double d = dx + dy;   // a diamond
                if (d <= 1) {
                    const int shade = int(std::lround(10 + 18 * (1 - d))) + frame * 2;
                    image.setPixel(x, y, levels(shade / 3, shade - 4, shade + 3));
                } else {
                    const double r = std::hypot(x + 0.5 - width / 2.0, y + 0.5 - 26) - 9;
                    if (r < glow && (x + y + frame) % 2 == 0)
                        image.setPixel(x, y, levels(6, 14 + frame * 3, 24));
                }
            }
        frames << image;
    }
    return frames;
}

} // namespace qm
