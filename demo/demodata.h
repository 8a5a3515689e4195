#pragma once

#include <QString>
#include <QtGlobal>

namespace qm {

// A complete data directory drawn by our own code, for trying the editor without the game,
// for tests and for benchmarks. The same bytes come out on every run.
struct DemoSummary {
    int landTiles = 0;
    int staticTiles = 0;
    int gumps = 0;
    int textures = 0;
    int animatedStatics = 0;
    qint64 artBytes = 0;
    qint64 gumpBytes = 0;
    qint64 textureBytes = 0;
    int hues = 0;                // in hues.mul
    // Items drawn for hues and animation, at ids past the drawn sets; -1 when none was free.
    int greyStatic = -1;         // greys only
    int partialHueStatic = -1;   // greys and colours, with the Partial Hue flag
    int greyGump = -1;           // greys only
    int crystalStatic = -1;      // animated after a delay; its three frames are this id and the next two
};

// Writes artidx.mul/art.mul (all 81,920 records), gumpidx.mul/gumpart.mul, texidx.mul/
// texmaps.mul, a full-size tiledata.mul, an animdata.mul covering every static id and a hues.mul
// of 3,000 hues into
// `dir`, which is created if needed. `full` fills the catalogues to realistic sizes (about
// 80 MB of art, 100 MB of gumps, 20 MB of textures) by repeating the drawn records.
// Existing data files are only replaced when `overwrite` is set. `longRunGumps` draws the
// gumps as flat shapes with long runs (demoLongRunGumps) instead of the textured pictures.
bool writeDemoDirectory(const QString& dir, bool full, bool overwrite, QString* error,
                        DemoSummary* summary = nullptr, bool longRunGumps = false);

// The names of the files writeDemoDirectory writes.
QStringList demoFileNames();

} // namespace qm
