// Pictures for the demo data directory. Everything is computed from integer hashes and
// QPainter fills without antialiasing, so the same bytes come out on every run and every
// pixel is either fully opaque or transparent, as the game's art is.
#include "demodraw.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace qm {

namespace {

// ---- noise ---------------------------------------------------------------------------------

quint32 hash3(int x, int y, quint32 seed)
{
    quint32 h = seed * 0x9E3779B1u ^ quint32(x) * 0x85EBCA6Bu ^ quint32(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double rnd(int x, int y, quint32 seed)
{
    return hash3(x, y, seed) / 4294967296.0;
}

double smooth(double t)
{
    return t * t * (3 - 2 * t);
}

double valueNoise(double u, double v, quint32 seed)
{
    const int x = int(std::floor(u)), y = int(std::floor(v));
    const double fx = smooth(u - x), fy = smooth(v - y);
    const double a = rnd(x, y, seed), b = rnd(x + 1, y, seed);
    const double c = rnd(x, y + 1, seed), d = rnd(x + 1, y + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

double fbm(double u, double v, quint32 seed)
{
    return 0.55 * valueNoise(u, v, seed) + 0.3 * valueNoise(u * 2.1, v * 2.1, seed + 1)
        + 0.15 * valueNoise(u * 4.3, v * 4.3, seed + 2);
}

int clamp255(double v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

QRgb rgbScaled(int r, int g, int b, double f)
{
    return qRgb(clamp255(r * f), clamp255(g * f), clamp255(b * f));
}

QRgb mix(QRgb a, QRgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return qRgb(clamp255(qRed(a) + (qRed(b) - qRed(a)) * t),
                clamp255(qGreen(a) + (qGreen(b) - qGreen(a)) * t),
                clamp255(qBlue(a) + (qBlue(b) - qBlue(a)) * t));
}

// ---- grounds (land tiles and textures) -----------------------------------------------------

enum Ground { Grass, Sand, Cobbles, Water, Dirt, Snow, Lava, Marble };

const char* const kGroundNames[kDemoGrounds] = { "grass", "sand", "cobblestones", "water",
                                                 "dirt", "snow", "lava", "marble floor" };

// Distance to the nearest and second nearest jittered cell centre, for stones and cracks.
void cells(double u, double v, double size, quint32 seed, double* d1, double* d2, quint32* id)
{
    const int cx = int(std::floor(u / size)), cy = int(std::floor(v / size));
    *d1 = *d2 = 1e9;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const int gx = cx + i, gy = cy + j;
            const double px = (gx + 0.2 + 0.6 * rnd(gx, gy, seed)) * size;
            const double py = (gy + 0.2 + 0.6 * rnd(gy, gx, seed + 7)) * size;
            const double d = std::hypot(u - px, v - py);
            if (d < *d1) {
                *d2 = *d1;
                *d1 = d;
                *id = hash3(gx, gy, seed);
            } else if (d < *d2) {
                *d2 = d;
            }
        }
    }
}

QRgb groundPixel(int ground, double u, double v, quint32 seed, int variant)
{
    const double n = fbm(u / 9, v / 9, seed);
    const double grain = rnd(int(u), int(v), seed + 99);
    switch (ground) {
    case Grass: {
        const double hueShift = (variant % 4) * 6;
        QRgb c = rgbScaled(int(70 + hueShift), int(128 - hueShift / 2), 48, 0.65 + 0.55 * n);
        if (grain < 0.10)
            c = rgbScaled(40, 92, 30, 0.9 + 0.3 * n);      // dark blades
        else if (grain > 0.94)
            c = rgbScaled(150, 190, 80, 0.9 + 0.2 * n);    // sunlit tips
        if (variant % 5 == 0 && grain > 0.992) {
            static const QRgb flowers[] = { qRgb(230, 60, 60), qRgb(250, 220, 80), qRgb(245, 245, 245) };
            c = flowers[hash3(int(u), int(v), seed) % 3];
        }
        return c;
    }
    case Sand: {
        const double ripple = std::sin((u + v * 0.6) / 2.6 + n * 5) * 0.5 + 0.5;
        QRgb c = rgbScaled(214, 188, 132, 0.82 + 0.12 * ripple + 0.12 * n);
        if (grain > 0.97)
            c = rgbScaled(150, 130, 100, 1);
        return c;
    }
    case Cobbles: {
        double d1, d2;
        quint32 id = 0;
        cells(u, v, 8.5, seed, &d1, &d2, &id);
        if (d2 - d1 < 1.3)
            return rgbScaled(62, 58, 54, 0.8 + 0.3 * grain);   // mortar
        const double tone = 0.75 + 0.35 * ((id & 255) / 255.0);
        const double bevel = std::clamp((d2 - d1) / 4.0, 0.0, 1.0);
        return rgbScaled(int(130 + (variant % 3) * 8), 126, 120, tone * (0.75 + 0.3 * bevel) + 0.1 * (n - 0.5));
    }
    case Water: {
        const double w = std::sin(u / 3.1 + std::sin(v / 5.0 + seed % 7) * 2 + n * 3);
        QRgb c = mix(qRgb(28, 70, 140), qRgb(52, 120, 190), n);
        if (w > 0.93)
            c = mix(c, qRgb(190, 225, 245), (w - 0.93) * 12);
        return c;
    }
    case Dirt: {
        QRgb c = rgbScaled(118, 84, 52, 0.7 + 0.5 * n);
        if (grain > 0.965)
            c = rgbScaled(160, 150, 135, 0.8 + 0.4 * grain);   // pebbles
        else if (grain < 0.05)
            c = rgbScaled(70, 48, 30, 1);
        return c;
    }
    case Snow: {
        QRgb c = mix(qRgb(200, 212, 232), qRgb(246, 248, 252), n * 1.2);
        if (grain > 0.985)
            c = qRgb(255, 255, 255);
        return c;
    }
    case Lava: {
        const double crack = std::abs(fbm(u / 7, v / 7, seed + 5) - 0.5);
        if (crack < 0.035)
            return mix(qRgb(255, 230, 90), qRgb(240, 120, 20), crack / 0.035);
        if (crack < 0.07)
            return mix(qRgb(200, 60, 10), qRgb(70, 20, 12), (crack - 0.035) / 0.035);
        return rgbScaled(58, 26, 22, 0.7 + 0.6 * n);
    }
    case Marble:
    default: {
        const double cell = 11;
        const double fu = std::fmod(u + 1000 * cell, cell), fv = std::fmod(v + 1000 * cell, cell);
        if (fu < 1 || fv < 1)
            return qRgb(90, 84, 80);
        const bool dark = (int(std::floor(u / cell)) + int(std::floor(v / cell))) % 2 != 0;
        const double vein = std::abs(std::sin((u + v) / 4 + fbm(u / 5, v / 5, seed) * 7));
        const QRgb base = dark ? qRgb(150, 140, 150) : qRgb(228, 224, 214);
        return mix(rgbScaled(qRed(base), qGreen(base), qBlue(base), 0.92 + 0.1 * n),
                   dark ? qRgb(110, 100, 115) : qRgb(180, 172, 170), vein > 0.96 ? 0.8 : 0);
    }
    }
}

bool insideDiamond(int x, int y)
{
    const int first = y < 22 ? 21 - y : y - 22;
    const int count = y < 22 ? 2 + 2 * y : 44 - 2 * (y - 22);
    return x >= first && x < first + count;
}

QImage landImage(int ground, int variant)
{
    QImage image(44, 44, QImage::Format_ARGB32);
    image.fill(0u);
    const quint32 seed = quint32(ground * 1000 + variant);
    for (int y = 0; y < 44; ++y) {
        for (int x = 0; x < 44; ++x) {
            if (!insideDiamond(x, y))
                continue;
            QRgb c = groundPixel(ground, x + variant * 17.0, y * 1.0 + variant * 5.0, seed, variant);
            // A little light from the top-left gives the flat tile some relief.
            const double light = 1.04 - 0.08 * (x + y) / 88.0;
            c = rgbScaled(qRed(c), qGreen(c), qBlue(c), light);
            image.setPixel(x, y, c);
        }
    }
    return image;
}

// ---- statics -------------------------------------------------------------------------------

enum Flag : quint32 {
    FBackground = 1u << 0, FTransparent = 1u << 2, FWall = 1u << 4, FDamaging = 1u << 5,
    FImpassable = 1u << 6, FWet = 1u << 7, FSurface = 1u << 9, FWindow = 1u << 12,
    FNoShoot = 1u << 13, FPrefixA = 1u << 14, FPrefixAn = 1u << 15, FFoliage = 1u << 17,
    FContainer = 1u << 21, FLightSource = 1u << 23, FAnimated = 1u << 24, FDoor = 1u << 29,
};

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(0u);
    return image;
}

QImage finished(const QImage& painted)
{
    return painted.convertToFormat(QImage::Format_ARGB32);
}

QColor shade(const QColor& c, double f)
{
    return QColor(clamp255(c.red() * f), clamp255(c.green() * f), clamp255(c.blue() * f));
}

// Adds grain to every opaque pixel, so surfaces look like wood, stone or leaves.
void roughen(QImage& image, quint32 seed, double amount)
{
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            const double f = 1 + amount * (rnd(x, y, seed) - 0.5) + amount * (fbm(x / 3.0, y / 3.0, seed) - 0.5);
            line[x] = rgbScaled(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), f);
        }
    }
}

// An isometric box standing with its bottom corner at (cx, by): `a` cells along the left
// edge, `b` along the right edge, `h` pixels high. Faces lit from the top-left.
void isoBox(QPainter& p, double cx, double by, double a, double b, double h, const QColor& c)
{
    const QPointF bottom(cx, by), left(cx - 2 * a, by - a), right(cx + 2 * b, by - b);
    const QPointF top(cx - 2 * a + 2 * b, by - a - b), up(0, -h);
    p.setPen(Qt::NoPen);
    p.setBrush(shade(c, 0.85));
    p.drawPolygon(QPolygonF({ left, bottom, bottom + up, left + up }));
    p.setBrush(shade(c, 0.62));
    p.drawPolygon(QPolygonF({ bottom, right, right + up, bottom + up }));
    p.setBrush(shade(c, 1.12));
    p.drawPolygon(QPolygonF({ left + up, bottom + up, right + up, top + up }));
}

// Maps face coordinates (s along the edge, t upwards) onto the left or right face of a box.
QTransform leftFace(double cx, double by, double a)
{
    return QTransform(2, 1, 0, -1, cx - 2 * a, by - a);
}
QTransform rightFace(double cx, double by)
{
    return QTransform(2, -1, 0, -1, cx, by);
}

// Foliage and rocks: a cluster of spheres, shaded per pixel from the top-left.
struct Blob {
    double x, y, r;
};

void drawBlobs(QImage& image, const QVector<Blob>& blobs, QRgb base, quint32 seed, double grain)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            double bestZ = -1, shadeValue = 0;
            for (const Blob& b : blobs) {
                const double dx = (x - b.x) / b.r, dy = (y - b.y) / b.r;
                const double d2 = dx * dx + dy * dy;
                if (d2 >= 1)
                    continue;
                const double z = std::sqrt(1 - d2);
                const double zWorld = z * b.r - b.y * 0.05;
                if (zWorld > bestZ) {
                    bestZ = zWorld;
                    shadeValue = std::clamp(-0.45 * dx - 0.55 * dy + 0.7 * z, 0.0, 1.0);
                }
            }
            if (bestZ < 0)
                continue;
            const double noise = grain * (rnd(x, y, seed) - 0.5) + grain * (fbm(x / 2.5, y / 2.5, seed) - 0.5);
            image.setPixel(x, y, rgbScaled(qRed(base), qGreen(base), qBlue(base), 0.45 + 0.85 * shadeValue + noise));
        }
    }
}

QImage tree(int kind, int size, int hue, quint32 seed)
{
    const double s = 0.7 + 0.25 * size;
    const int w = int(44 + 30 * s), h = int(70 + 60 * s);
    QImage image = canvas(w, h);
    const double cx = w / 2.0, by = h - 6;
    {
        QPainter p(&image);
        const QColor bark = kind == 1 ? QColor(220, 215, 200) : QColor(96, 66, 40);
        const double trunkH = kind == 2 ? 18 * s : 40 * s;
        p.fillRect(QRectF(cx - 3 * s, by - trunkH, 6 * s, trunkH), bark);
        p.fillRect(QRectF(cx + 1 * s, by - trunkH, 2 * s, trunkH), shade(bark, 0.7));
        if (kind == 1) {   // birch marks
            for (int i = 0; i < 6; ++i)
                p.fillRect(QRectF(cx - 3 * s, by - trunkH * (0.15 + 0.13 * i), 3 * s, 1.5), QColor(40, 40, 40));
        }
        if (kind == 4) {   // dead tree: bare branches
            p.setPen(QPen(bark, 2.5 * s));
            for (int i = 0; i < 5; ++i) {
                const double y0 = by - trunkH * (0.5 + 0.1 * i);
                const double dir = i % 2 ? 1 : -1;
                p.drawLine(QPointF(cx, y0), QPointF(cx + dir * (10 + 3 * i) * s, y0 - (12 + 2 * i) * s));
            }
            p.drawLine(QPointF(cx, by - trunkH), QPointF(cx + 2, by - trunkH - 22 * s));
        }
    }
    image = finished(image);
    if (kind == 4) {
        roughen(image, seed, 0.3);
        return image;
    }
    static const QRgb leaves[] = { qRgb(70, 130, 50), qRgb(100, 140, 40), qRgb(50, 110, 70), qRgb(150, 120, 40) };
    const QRgb leaf = kind == 1 ? qRgb(120, 170, 70) : leaves[hue % 4];
    QVector<Blob> blobs;
    if (kind == 2 || kind == 3) {   // pine: stacked cones made of shrinking blobs
        const QRgb needle = kind == 3 ? qRgb(225, 232, 240) : qRgb(40, 95, 60);
        for (int layer = 0; layer < 5; ++layer) {
            const double r = (24 - 4 * layer) * s * 0.75;
            const double y = by - 22 * s - layer * 15 * s;
            for (int k = -2; k <= 2; ++k)
                blobs.append({ cx + k * r * 0.35, y + std::abs(k) * 2.0, r * (0.75 - 0.1 * std::abs(k)) });
        }
        drawBlobs(image, blobs, needle, seed, 0.35);
        return image;
    }
    const double crownY = by - 40 * s - 22 * s;
    for (int i = 0; i < 9; ++i) {
        const double ang = i * 2.39996 + hue;
        const double rad = (i == 0 ? 0 : 12 * s * std::sqrt(i / 9.0) * 1.5);
        blobs.append({ cx + std::cos(ang) * rad, crownY + std::sin(ang) * rad * 0.8, (13 - i * 0.4) * s });
    }
    drawBlobs(image, blobs, leaf, seed, 0.45);
    return image;
}

QImage bushOrRock(bool rock, int size, int tone, quint32 seed)
{
    const double s = 0.6 + 0.3 * size;
    const int w = int(44 * s + 8), h = int(36 * s + 10);
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(0u);
    QVector<Blob> blobs;
    for (int i = 0; i < 6; ++i) {
        const double ang = i * 2.1 + tone;
        blobs.append({ w / 2.0 + std::cos(ang) * 8 * s, h - 14 * s + std::sin(ang) * 4 * s, (rock ? 11 : 10) * s });
    }
    static const QRgb rocks[] = { qRgb(130, 128, 124), qRgb(150, 130, 105), qRgb(95, 100, 110) };
    static const QRgb bushes[] = { qRgb(60, 120, 50), qRgb(90, 130, 45), qRgb(45, 100, 80) };
    drawBlobs(image, blobs, rock ? rocks[tone % 3] : bushes[tone % 3], seed, rock ? 0.25 : 0.5);
    if (!rock && tone % 2 == 0) {   // berries
        for (int i = 0; i < 14; ++i) {
            const int x = int(hash3(i, 1, seed) % quint32(w)), y = int(hash3(i, 2, seed) % quint32(h));
            if (qAlpha(image.pixel(x, y)))
                image.setPixel(x, y, i % 2 ? qRgb(200, 30, 40) : qRgb(230, 60, 70));
        }
    }
    return image;
}

struct WallStyle {
    QColor color;
    double brickW, brickH;
    QColor joint;
};

QImage wall(int material, bool facingRight, int variant, quint32 seed)
{
    static const WallStyle styles[] = {
        { QColor(150, 146, 138), 4, 5, QColor(95, 92, 88) },     // stone
        { QColor(160, 78, 56), 3, 3, QColor(190, 180, 165) },    // brick
        { QColor(140, 100, 60), 22, 4, QColor(90, 62, 36) },     // wooden planks
        { QColor(225, 215, 190), 22, 200, QColor(140, 110, 80) } // plaster with timber
    };
    const WallStyle& st = styles[material % 4];
    const double h = variant == 4 ? 30 : 68 + 6 * (variant % 2);
    const int w = 48, ih = int(h + 30);
    QImage image = canvas(w, ih);
    QPainter p(&image);
    const double cx = facingRight ? 4 : 44, by = ih - 3;
    const double a = facingRight ? 0 : 11, b = facingRight ? 11 : 0;
    isoBox(p, cx, by, facingRight ? 2 : a, facingRight ? b : 2, h, st.color);
    const QTransform face = facingRight ? rightFace(cx, by) : leftFace(cx, by, a);
    p.setTransform(face);
    p.setPen(Qt::NoPen);
    p.setBrush(st.joint);
    const double len = 11;
    // Mortar lines and joints in face coordinates.
    for (double t = st.brickH; t < h; t += st.brickH + 1)
        p.drawRect(QRectF(0, t, len, 1));
    int row = 0;
    for (double t = 0; t < h; t += st.brickH + 1, ++row)
        for (double sx = (row % 2) * st.brickW / 2; sx < len; sx += st.brickW)
            p.drawRect(QRectF(sx, t, 0.5, std::min(st.brickH, h - t)));
    if (material == 3) {   // timber frame
        p.setBrush(QColor(92, 60, 36));
        p.drawRect(QRectF(0, 0, 1.2, h));
        p.drawRect(QRectF(len - 1.2, 0, 1.2, h));
        p.drawRect(QRectF(0, h * 0.45, len, 2.5));
    }
    if (variant == 2) {   // window with a sill
        p.setBrush(QColor(40, 50, 70));
        p.drawRect(QRectF(3.5, h * 0.45, 4, 16));
        p.setBrush(QColor(120, 150, 190));
        p.drawRect(QRectF(4, h * 0.45 + 9, 1.5, 6));
        p.setBrush(QColor(110, 80, 50));
        p.drawRect(QRectF(3, h * 0.45 - 1.5, 5, 1.5));
    } else if (variant == 3) {   // door
        p.setBrush(QColor(92, 58, 30));
        p.drawRect(QRectF(2.5, 0, 6, 38));
        p.setBrush(QColor(60, 36, 18));
        p.drawRect(QRectF(5.3, 0, 0.6, 38));
        p.setBrush(QColor(210, 180, 60));
        p.drawRect(QRectF(7, 17, 0.8, 2));
    } else if (variant == 5) {   // arrow slit
        p.setBrush(QColor(25, 25, 30));
        p.drawRect(QRectF(5, h * 0.5, 1, 18));
    }
    p.end();
    QImage out = finished(image);
    roughen(out, seed, material == 2 ? 0.35 : 0.22);
    return out;
}

QImage crate(int tone, int size, int shape, quint32 seed)
{
    static const QColor woods[] = { QColor(168, 122, 70), QColor(130, 90, 52), QColor(190, 150, 96), QColor(110, 80, 60) };
    const QColor wood = woods[tone % 4];
    const double s = 0.55 + 0.15 * size;
    const int w = 48, h = int(30 + 36 * s);
    QImage image = canvas(w, h);
    QPainter p(&image);
    const double cx = 24, by = h - 3, a = 11 * s * 1.4, b = 11 * s * 1.4, bh = 26 * s;
    if (shape == 0) {   // crate with planks and a frame
        isoBox(p, cx, by, a, b, bh, wood);
        for (const QTransform& t : { leftFace(cx, by, a), rightFace(cx, by) }) {
            p.setTransform(t);
            p.setBrush(shade(wood, 0.55));
            for (double y = bh / 3; y < bh - 1; y += bh / 3)
                p.drawRect(QRectF(0, y, a, 0.7));
            p.drawRect(QRectF(0, 0, 1, bh));
            p.drawRect(QRectF(a - 1, 0, 1, bh));
            p.drawRect(QRectF(0, bh - 1.5, a, 1.5));
            p.resetTransform();
        }
    } else if (shape == 1) {   // barrel
        const double rx = 12 * s + 4, top = by - bh * 1.3;
        p.setPen(Qt::NoPen);
        for (int i = 0; i < int(2 * rx); ++i) {
            const double f = 0.55 + 0.6 * std::sin(M_PI * (i + 0.5) / (2 * rx)) - 0.25 * i / (2 * rx);
            p.fillRect(QRectF(cx - rx + i, top, 1, by - top), shade(wood, f));
        }
        p.setBrush(shade(wood, 1.1));
        p.drawEllipse(QPointF(cx, top), rx, rx * 0.45);
        p.setBrush(shade(wood, 0.8));
        p.drawEllipse(QPointF(cx, top), rx * 0.8, rx * 0.32);
        for (double y : { top + 4.0, by - 5.0, (top + by) / 2 })
            p.fillRect(QRectF(cx - rx, y, 2 * rx, 2), QColor(70, 70, 75));
    } else {   // chest: a box with a lid and brass fittings
        isoBox(p, cx, by, a, b * 0.7, bh * 0.7, wood);
        isoBox(p, cx, by - bh * 0.7, a, b * 0.7, 5, shade(wood, 0.9));
        p.setTransform(leftFace(cx, by, a));
        p.setBrush(QColor(200, 165, 60));
        p.drawRect(QRectF(a / 2 - 1, bh * 0.7 - 5, 2, 4));
        p.drawRect(QRectF(0, 0, 1, bh * 0.7 + 5));
        p.drawRect(QRectF(a - 1, 0, 1, bh * 0.7 + 5));
    }
    p.end();
    QImage out = finished(image);
    roughen(out, seed, 0.25);
    return out;
}

// Lights: a post, lantern, torch, brazier or candle, with a flame that moves over `frames`.
QImage light(int style, int frame, quint32 seed)
{
    const int w = 44, h = style == 0 ? 96 : style == 3 ? 50 : 64;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    const double cx = 22, by = h - 4;
    const QColor iron(52, 52, 58);
    double flameX = cx, flameY = 0, flameR = 4;
    switch (style) {
    case 0:   // lamp post
        p.fillRect(QRectF(cx - 5, by - 6, 10, 6), iron);
        p.fillRect(QRectF(cx - 2, by - 74, 4, 70), iron);
        p.fillRect(QRectF(cx - 1, by - 74, 1, 70), QColor(100, 100, 110));
        p.fillRect(QRectF(cx - 7, by - 90, 14, 16), QColor(250, 220, 120));
        p.fillRect(QRectF(cx - 8, by - 92, 16, 3), iron);
        p.fillRect(QRectF(cx - 8, by - 75, 16, 2), iron);
        p.fillRect(QRectF(cx - 1, by - 90, 2, 16), iron);
        flameY = by - 82;
        flameR = 3;
        break;
    case 1:   // wall lantern on a bracket
        p.fillRect(QRectF(cx - 14, by - 44, 16, 3), iron);
        p.fillRect(QRectF(cx - 4, by - 44, 12, 18), QColor(250, 210, 110));
        p.fillRect(QRectF(cx - 5, by - 46, 14, 3), iron);
        p.fillRect(QRectF(cx - 5, by - 27, 14, 3), iron);
        flameX = cx + 2;
        flameY = by - 35;
        flameR = 3;
        break;
    case 2:   // torch
        p.fillRect(QRectF(cx - 2, by - 40, 4, 40), QColor(110, 72, 40));
        p.fillRect(QRectF(cx - 3, by - 44, 6, 6), QColor(70, 50, 30));
        flameY = by - 50;
        flameR = 5;
        break;
    case 3:   // brazier
        p.setBrush(iron);
        p.drawPolygon(QPolygonF({ QPointF(cx - 14, by - 24), QPointF(cx + 14, by - 24), QPointF(cx + 8, by - 12), QPointF(cx - 8, by - 12) }));
        p.fillRect(QRectF(cx - 8, by - 12, 3, 12), iron);
        p.fillRect(QRectF(cx + 5, by - 12, 3, 12), iron);
        flameY = by - 30;
        flameR = 8;
        break;
    default:   // candles
        for (int k = 0; k < 3; ++k)
            p.fillRect(QRectF(cx - 10 + 8 * k, by - 14 - 4 * (k % 2), 4, 14 + 4 * (k % 2)), QColor(240, 235, 215));
        flameY = by - 22;
        flameR = 2.5;
        break;
    }
    // The flame: three nested teardrops that sway and flicker frame by frame.
    const double sway = std::sin(frame * 1.7 + style) * flameR * 0.35;
    const double grow = 1 + 0.18 * std::sin(frame * 2.3 + style * 0.7);
    const QColor flames[] = { QColor(220, 70, 20), QColor(250, 160, 40), QColor(255, 240, 170) };
    for (int layer = 0; layer < 3; ++layer) {
        const double r = flameR * grow * (1 - 0.28 * layer);
        QPainterPath path;
        path.moveTo(flameX + sway * (1 + layer * 0.3), flameY - r * 2.4);
        path.quadTo(flameX + r * 1.3, flameY, flameX, flameY + r);
        path.quadTo(flameX - r * 1.3, flameY, flameX + sway * (1 + layer * 0.3), flameY - r * 2.4);
        p.setBrush(flames[layer]);
        p.drawPath(path);
        if (style == 3 || style == 4) {   // more than one flame
            for (int k : { -1, 1 }) {
                QPainterPath side = path.translated(k * (style == 3 ? 7 : 8), style == 3 ? 3 : 4 * (k > 0));
                p.drawPath(side);
            }
        }
    }
    p.end();
    QImage out = finished(image);
    roughen(out, seed + quint32(frame), 0.08);
    return out;
}

QImage fence(int material, bool facingRight)
{
    const QColor c = material == 0 ? QColor(130, 92, 56) : QColor(70, 70, 78);
    QImage image = canvas(48, 50);
    QPainter p(&image);
    const double by = 47;
    const QTransform face = facingRight ? rightFace(2, by) : leftFace(46, by, 11);
    p.setTransform(face);
    p.setPen(Qt::NoPen);
    for (double sx = 0.5; sx < 11; sx += 3.4) {
        p.setBrush(shade(c, 0.8));
        p.drawRect(QRectF(sx, 0, 1.2, material == 0 ? 24 : 30));
    }
    p.setBrush(c);
    for (double t : { 8.0, 18.0 })
        p.drawRect(QRectF(0, t, 11, 2));
    return finished(image);
}

QImage flowers(int colour, quint32 seed)
{
    static const QRgb petals[] = { qRgb(230, 70, 90), qRgb(250, 210, 70), qRgb(170, 110, 220),
                                   qRgb(245, 245, 250), qRgb(250, 140, 50), qRgb(90, 140, 240) };
    QImage image(40, 34, QImage::Format_ARGB32);
    image.fill(0u);
    for (int k = 0; k < 9; ++k) {
        const int x = 6 + int(hash3(k, 0, seed) % 28), top = 6 + int(hash3(k, 1, seed) % 14);
        for (int y = top; y < 32; ++y)
            image.setPixel(x, y, qRgb(60, 120 + (y % 3) * 10, 50));
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (dx * dx + dy * dy <= 4 && x + dx >= 0 && x + dx < 40 && top + dy >= 0)
                    image.setPixel(x + dx, top + dy, dx == 0 && dy == 0 ? qRgb(250, 230, 90) : petals[(colour + k / 4) % 6]);
    }
    return image;
}

// ---- gumps ---------------------------------------------------------------------------------

const QColor kPanelColours[] = { QColor(120, 118, 112), QColor(222, 200, 150), QColor(120, 82, 50), QColor(60, 64, 78) };

QImage panelPicture(int material, int width, int height, bool frameOnly)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(0u);
    const QColor c = kPanelColours[material % 4];
    const quint32 seed = quint32(material * 31 + 7);
    const int border = std::max(3, std::min(width, height) / 14);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int edge = std::min({ x, y, width - 1 - x, height - 1 - y });
            if (frameOnly && edge >= border + 3)
                continue;
            // Cloudy tone plus a fine grain, like painted parchment, stone or wood.
            const double n = fbm(x / 14.0, y / 14.0, seed);
            double f = 0.8 + 0.35 * n + 0.12 * (rnd(x, y, seed + 11) - 0.5);
            if (edge < border)
                f *= (x < width - 1 - edge && y < height - 1 - edge && (x == edge || y == edge)) ? 1.35 : 0.72;
            else if (edge < border + 2)
                f *= 0.6;   // groove inside the bevel
            if (material == 1 && edge >= border + 2) {   // parchment stains
                const double stain = fbm(x / 30.0, y / 30.0, seed + 3);
                f *= stain > 0.62 ? 0.9 : 1.0;
            }
            if (material == 2 && edge >= border + 2 && y % 12 == 0)
                f *= 0.7;   // plank seams
            if (material == 3 && edge == border + 4 && (x + y) % 24 < 3)
                f = 1.5;    // rivets
            image.setPixel(x, y, rgbScaled(c.red(), c.green(), c.blue(), f));
        }
    }
    return image;
}

QImage button(int colour, int state, int width, int height)
{
    static const QColor colours[] = { QColor(60, 120, 200), QColor(200, 60, 50), QColor(70, 160, 80),
                                      QColor(210, 170, 60), QColor(130, 80, 170), QColor(110, 110, 120) };
    QColor c = colours[colour % 6];
    if (state == 1)
        c = shade(c, 1.25);   // hover
    if (state == 2)
        c = shade(c, 0.75);   // pressed
    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, width, height), height / 3.0, height / 3.0);
    p.setBrush(QColor(30, 26, 22));
    p.drawPath(outline);
    QPainterPath inner;
    inner.addRoundedRect(QRectF(2, 2, width - 4, height - 4), height / 4.0, height / 4.0);
    p.setBrush(state == 2 ? shade(c, 0.8) : shade(c, 1.2));
    p.drawPath(inner);
    QPainterPath body;
    body.addRoundedRect(QRectF(3, state == 2 ? 4 : 3, width - 6, height - 7), height / 5.0, height / 5.0);
    p.setBrush(c);
    p.drawPath(body);
    p.fillRect(QRectF(6, state == 2 ? 5 : 4, width - 12, 2), shade(c, 1.35));
    p.end();
    return finished(image);
}

QImage arrowButton(int direction, bool pressed)
{
    QImage image = button(5, pressed ? 2 : 0, 22, 22);
    QImage painted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&painted);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 230, 200));
    QPolygonF tri({ QPointF(11, 6), QPointF(17, 15), QPointF(5, 15) });
    p.translate(11, 11);
    p.rotate(90 * direction);
    p.translate(-11, -11);
    p.drawPolygon(tri);
    p.end();
    return finished(painted);
}

QImage toggle(bool radio, bool on)
{
    QImage image = canvas(20, 20);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 34, 28));
    radio ? p.drawEllipse(QRectF(0, 0, 20, 20)) : p.drawRect(QRectF(0, 0, 20, 20));
    p.setBrush(QColor(222, 200, 150));
    radio ? p.drawEllipse(QRectF(3, 3, 14, 14)) : p.drawRect(QRectF(3, 3, 14, 14));
    if (on) {
        p.setBrush(QColor(160, 30, 30));
        if (radio)
            p.drawEllipse(QRectF(6, 6, 8, 8));
        else
            p.drawPolygon(QPolygonF({ QPointF(5, 10), QPointF(8, 14), QPointF(15, 5), QPointF(16, 7), QPointF(8, 17), QPointF(4, 12) }));
    }
    p.end();
    return finished(image);
}

QImage gem(int colour)
{
    static const QRgb colours[] = { qRgb(200, 30, 40), qRgb(40, 160, 70), qRgb(40, 90, 210), qRgb(230, 190, 40),
                                    qRgb(160, 60, 190), qRgb(40, 190, 200), qRgb(230, 230, 235), qRgb(240, 120, 30) };
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(0u);
    drawBlobs(image, { { 12, 12, 10.5 } }, colours[colour % 8], quint32(colour), 0.05);
    return image;
}

} // namespace

QVector<DemoTile> demoLandTiles()
{
    QVector<DemoTile> tiles;
    for (int ground = 0; ground < kDemoGrounds; ++ground) {
        for (int v = 0; v < kDemoLandVariants; ++v) {
            DemoTile t;
            t.image = landImage(ground, v);
            t.name = QString::fromLatin1(kGroundNames[ground]);
            t.texid = quint16(ground * kDemoTexturesPerGround + v % kDemoTexturesPerGround);
            if (ground == Water)
                t.flags = FWet | FImpassable;
            if (ground == Lava)
                t.flags = FDamaging | FImpassable;
            tiles.append(t);
        }
    }
    return tiles;
}

QVector<DemoTile> demoStaticTiles()
{
    QVector<DemoTile> tiles;
    auto add = [&](const QImage& image, const QString& name, quint32 flags, int height, int weight = 255) {
        DemoTile t;
        t.image = image;
        t.name = name;
        t.flags = flags;
        t.height = quint8(height);
        t.weight = quint8(weight);
        tiles.append(t);
        return int(tiles.size()) - 1;
    };
    quint32 seed = 1;
    static const char* const treeNames[] = { "oak tree", "birch tree", "pine tree", "snowy pine", "dead tree" };
    for (int kind = 0; kind < 5; ++kind)
        for (int size = 0; size < 4; ++size)
            for (int hue = 0; hue < (kind == 0 ? 4 : 2); ++hue)
                add(tree(kind, size, hue, ++seed), QString::fromLatin1(treeNames[kind]),
                    FImpassable | FFoliage | FPrefixAn * (kind == 0) | FPrefixA * (kind != 0), 20 + 5 * size);
    for (int size = 0; size < 4; ++size)
        for (int tone = 0; tone < 3; ++tone) {
            add(bushOrRock(false, size, tone, ++seed), QStringLiteral("bush"), FFoliage | FPrefixA, 5 + size);
            add(bushOrRock(true, size, tone, ++seed), QStringLiteral("rock"), FImpassable | FSurface | FPrefixA, 4 + 3 * size);
        }
    static const char* const wallNames[] = { "stone wall", "brick wall", "wooden wall", "plaster wall" };
    static const char* const wallKinds[] = { "", "", " window", " door", " low", " slit" };
    for (int material = 0; material < 4; ++material)
        for (int facing = 0; facing < 2; ++facing)
            for (int variant = 0; variant < 6; ++variant) {
                quint32 flags = FWall | FImpassable | FNoShoot;
                if (variant == 2)
                    flags |= FWindow;
                if (variant == 3)
                    flags = FDoor | FImpassable;
                const QString name = QString::fromLatin1(wallNames[material]) + QLatin1String(wallKinds[variant]);
                add(wall(material, facing == 1, variant, ++seed), name.left(20), flags, variant == 4 ? 8 : 20);
            }
    static const char* const boxNames[] = { "crate", "barrel", "chest" };
    for (int shape = 0; shape < 3; ++shape)
        for (int tone = 0; tone < 4; ++tone)
            for (int size = 0; size < (shape == 2 ? 2 : 4); ++size)
                add(crate(tone, size, shape, ++seed), QString::fromLatin1(boxNames[shape]),
                    FContainer | FSurface | FImpassable | FPrefixA, 4 + 2 * size, 20 + 10 * size);
    static const char* const lightNames[] = { "lamp post", "wall lantern", "torch", "brazier", "candles" };
    for (int style = 0; style < 5; ++style)
        for (int copy = 0; copy < 3; ++copy) {
            const int first = int(tiles.size());
            for (int frame = 0; frame < 4; ++frame)
                add(light(style, frame + copy, ++seed), QString::fromLatin1(lightNames[style]),
                    FLightSource | (frame == 0 ? quint32(FAnimated) : 0u) | FPrefixA, style == 0 ? 20 : 6, 30);
            tiles[first].animFrames = 4;
        }
    for (int material = 0; material < 2; ++material)
        for (int facing = 0; facing < 2; ++facing)
            add(fence(material, facing == 1), material == 0 ? QStringLiteral("wooden fence") : QStringLiteral("iron fence"),
                FImpassable | FPrefixA, 10);
    for (int colour = 0; colour < 6; ++colour)
        for (int copy = 0; copy < 2; ++copy)
            add(flowers(colour, ++seed), QStringLiteral("flowers"), FFoliage, 2, 1);
    // A few names with Latin-1 letters, as localised shards use.
    add(crate(1, 2, 0, ++seed), QString::fromLatin1("caisse \xe0 pommes"), FContainer | FSurface | FImpassable, 6);
    add(crate(2, 3, 1, ++seed), QString::fromLatin1("Fa\xdf"), FContainer | FImpassable, 8);
    return tiles;
}

QVector<QImage> demoGumps()
{
    QVector<QImage> gumps;
    for (int material = 0; material < 4; ++material) {
        gumps << panelPicture(material, 300, 200, false) << panelPicture(material, 420, 320, false)
              << panelPicture(material, 160, 240, false) << panelPicture(material, 260, 180, true);
    }
    for (int colour = 0; colour < 6; ++colour)
        for (int state = 0; state < 3; ++state)
            gumps << button(colour, state, 80, 26);
    for (int direction = 0; direction < 4; ++direction)
        for (bool pressed : { false, true })
            gumps << arrowButton(direction, pressed);
    for (bool radio : { false, true })
        for (bool on : { false, true })
            gumps << toggle(radio, on);
    for (int colour = 0; colour < 8; ++colour)
        gumps << gem(colour);
    // Background pieces: corners, edges and centre of a resizable frame, per material.
    for (int material = 0; material < 4; ++material) {
        const QImage whole = panelPicture(material, 96, 96, false);
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i)
                gumps << whole.copy(i * 32, j * 32, 32, 32);
    }
    // Scroll bar: track, thumb, caps.
    gumps << panelPicture(3, 16, 200, false) << button(5, 0, 16, 30) << button(5, 2, 16, 30)
          << panelPicture(1, 500, 60, false);
    return gumps;
}

QVector<QImage> demoTextures()
{
    QVector<QImage> textures;
    for (int ground = 0; ground < kDemoGrounds; ++ground) {
        for (int k = 0; k < kDemoTexturesPerGround; ++k) {
            const int size = k < 4 ? 64 : 128;
            QImage image(size, size, QImage::Format_ARGB32);
            const quint32 seed = quint32(5000 + ground * 10 + k);
            const double scale = 64.0 / size;   // the same features at either size
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    image.setPixel(x, y, groundPixel(ground, x * scale * 1.4 + k * 31, y * scale * 1.4, seed, k));
            textures << image;
        }
    }
    return textures;
}

} // namespace qm
