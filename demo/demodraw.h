#pragma once

#include <QImage>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace qm {

// The pictures of the demo data directory, drawn by code: deterministic, no files needed.

// One land or static tile with the tile data that fits it.
struct DemoTile {
    QImage image;
    QString name;
    quint32 flags = 0;
    quint16 texid = 0;    // land: the texture of the same ground
    quint8 weight = 0;
    quint8 height = 0;
    int animFrames = 0;   // > 0 on the first of that many consecutive animation frames
};

QVector<DemoTile> demoLandTiles();      // 44 x 44 diamonds: grass, sand, stone, water, ...
QVector<DemoTile> demoStaticTiles();    // trees, walls, crates, lamps, ... with transparency
QVector<QImage> demoGumps();            // panels, buttons, frames, background pieces
// Flat shapes in transparent margins whose runs average about 15 pixels, as real interface
// art has (the drawn gumps' runs are one or two pixels): for measuring decoders on both.
QVector<QImage> demoLongRunGumps();
QVector<QImage> demoTextures();         // 64 x 64 and 128 x 128 ground textures

// The textures come as this many per ground, the land tiles as demoLandVariants per ground.
constexpr int kDemoGrounds = 8;
constexpr int kDemoLandVariants = 40;
constexpr int kDemoTexturesPerGround = 6;

} // namespace qm
