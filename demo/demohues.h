#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

namespace qm {

// The hue side of the demo data directory: a hues.mul, and pictures drawn in greys so that a
// hue shows on them, as the game's artists draw the pictures meant to be hued.

// A hues.mul of `groups` groups (375 in an installation: hues 1 to 3,000): ramps of many
// colour families, saturations and brightnesses, some starting at black, with names (a few
// in Latin-1, a few with leftover bytes after their end) and group headers that differ.
QByteArray demoHueFileBytes(int groups);

// A static in greys only: hued fully by the game.
QImage demoGreyStatic();
// A static in greys with coloured parts: meant for the Partial Hue flag, which hues only the
// greys.
QImage demoPartlyGreyStatic();
// A gump in greys.
QImage demoGreyGump();
// The frames of an animated static: a crystal whose glow grows and shrinks; no two alike.
QVector<QImage> demoCrystalFrames();

} // namespace qm
