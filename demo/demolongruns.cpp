// Gumps with the long runs of real interface art: flat panels and bars, bands of one shade,
// and a transparent margin around every shape, with a sparse grain so that runs break up now
// and then. The drawn demo gumps are noisy textures whose runs are one or two pixels long;
// these are the other end, so a decoder's speed can be measured on both.
#include "demodraw.h"

#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>

namespace qm {

namespace {

const QColor kShades[] = { QColor(96, 72, 48), QColor(200, 184, 144), QColor(64, 72, 96), QColor(120, 120, 112),
                           QColor(48, 96, 64), QColor(152, 40, 40) };

// One shade per band of rows: a lit top, a body, a darker foot, all flat across the row.
QColor bandShade(const QColor& base, int y, int height)
{
    const int band = std::clamp(y * 6 / std::max(1, height), 0, 5);
    static const int factors[6] = { 130, 115, 100, 100, 90, 75 };
    return base.darker(10000 / factors[band]);
}

// A shape of `size` inside a transparent margin: rounded panel, oval, or a bar with end caps.
QImage longRunShape(int shape, QSize size, int margin, const QColor& base, quint32 seed)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(0u);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    const QRect body = image.rect().adjusted(margin, margin, -margin, -margin);
    for (int y = body.top(); y <= body.bottom(); ++y) {
        p.setBrush(bandShade(base, y - body.top(), body.height()));
        p.setClipRect(QRect(0, y, size.width(), 1));
        switch (shape % 3) {
        case 0: p.drawRoundedRect(body, 12, 12); break;
        case 1: p.drawEllipse(body); break;
        default: p.drawRoundedRect(body, body.height() / 2.0, body.height() / 2.0); break;
        }
    }
    p.setClipping(false);
    // A frame two pixels wide and, on panels, a flat inner field of another shade.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(base.darker(180), 2));
    if (shape % 3 == 1)
        p.drawEllipse(body.adjusted(1, 1, -1, -1));
    else
        p.drawRoundedRect(body.adjusted(1, 1, -1, -1), 12, 12);
    if (shape % 3 == 0 && body.width() > 60 && body.height() > 60) {
        p.setPen(Qt::NoPen);
        p.setBrush(base.lighter(125));
        p.drawRect(body.adjusted(body.width() / 8, body.height() / 5, -body.width() / 8, -body.height() / 8));
    }
    p.end();
    // Grain: about one pixel in 64 of the shape takes a slightly different shade, as scanned or
    // hand-painted art has; the transparent margin stays clean.
    QRandomGenerator rng(seed);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0 && rng.bounded(64) == 0)
                line[x] = QColor::fromRgb(line[x]).darker(112).rgb();
        }
    }
    return image;
}

} // namespace

QVector<QImage> demoLongRunGumps()
{
    // Mostly small pieces (buttons, bars, icons) and some panels: about 9,000 pixels on average,
    // as real gumps have.
    const QSize sizes[] = { { 200, 140 }, { 160, 240 }, { 80, 26 }, { 120, 40 }, { 32, 32 },
                            { 16, 200 },  { 60, 60 },   { 24, 24 }, { 44, 120 }, { 200, 30 } };
    QVector<QImage> gumps;
    quint32 seed = 7000;
    for (int shape = 0; shape < 3; ++shape) {
        for (const QSize size : sizes) {
            for (int shade = 0; shade < 2; ++shade) {
                const QColor& base = kShades[(shape * 2 + shade) % std::size(kShades)];
                const int margin = std::max(2, std::min(size.width(), size.height()) / 10);
                gumps << longRunShape(shape, size, margin, base, ++seed);
            }
        }
    }
    return gumps;
}

} // namespace qm
