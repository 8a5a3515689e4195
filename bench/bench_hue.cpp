// Hueing speed on full-size data: every static and gump of a directory decoded once and hued
// once (a different hue for each, in the mode the game uses for it), the two times set side
// by side. Target: hueing adds at most 30% to decoding. Usage: bench_hue [DATADIR]; without
// one, a full demo directory is generated in a temporary folder first.
//
// Two ways are timed: a pass over the decoded picture (HueTable), and the way previews and
// thumbnails take, hueing inside the decoder with huedColorTable's colours. The decoders copy
// runs of pixels, so a second pass over every opaque pixel costs about as much as they do; the
// lookup inside the decode costs next to nothing. The target is judged on the latter. The
// colour tables are built beforehand, as a preview builds its hue's once for every picture.
#include "artcodec.h"
#include "artdatafile.h"
#include "benchdata.h"
#include "demodata.h"
#include "hueapply.h"
#include "hues.h"
#include "indexfile.h"
#include "itemkind.h"
#include "tiledata.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace qm;

namespace {

volatile quint32 sink = 0;   // keeps the pictures from being optimised away

// CPU time of this thread: the machine is shared, and a wall clock would count the time other
// programs took.
qint64 threadNs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Item {
    IndexRecord record;
    HueMode mode;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // the demo's pictures are painted
    QTemporaryDir temp;
    const QString dir = benchDirectory(argc, argv, temp.path(), "bench_hue");
    if (dir.isEmpty())
        return 2;
    const HueFile hues = readHueFile(dir);
    if (hues.count() == 0) {
        std::fprintf(stderr, "bench_hue: no hues in %s\n", qPrintable(dir));
        return 2;
    }

    // The tile flags of every static, read once beforehand: the rule needs the Partial Hue flag.
    QFile tileFile(mulPath(dir, QStringLiteral("tiledata.mul")));
    tileFile.open(QIODevice::ReadOnly);
    const QByteArray tiles = tileFile.readAll();
    const TileLayout layout = tileLayoutForSize(tiles.size());
    const Catalogues catalogues = readCatalogues(dir);

    // A few hues' colour tables, in both modes, built once.
    constexpr int kTableHues = 8;
    QVector<QVector<QRgb>> tables[2];
    for (int h = 0; h < kTableHues; ++h) {
        const HueEntry& hue = *hues.hue(1 + h % hues.count());
        tables[0].append(huedColorTable(hue, HueMode::Full));
        tables[1].append(huedColorTable(hue, HueMode::Partial));
    }

    qint64 decodeAll = 0, huedAll = 0, colouredAll = 0;
    for (int k = 0; k < 2; ++k) {
        const int kind = k == 0 ? Static : Gump;
        QFile indexFile(mulPath(dir, indexFileName(kind)));
        indexFile.open(QIODevice::ReadOnly);
        const QByteArray index = indexFile.readAll();
        const ArtDataFile data(dir, kind);
        QVector<Item> items;
        for (int id : catalogues.listed[kind]) {
            quint64 flags = 0;
            const qint64 offset = tileOffset(kind, id, layout);
            if (offset >= 0 && offset + tileRecordSize(kind, layout) <= tiles.size())
                flags = parseTile(kind, tiles.constData() + offset, layout).flags;
            items.append({ indexRecordAt(index, indexRecordNumber(kind, id)), defaultHueMode(kind, flags) });
        }
        // The same pass twice, without and with the hue (a different one for each picture);
        // the fastest of several runs of each.
        qint64 pixels = 0;
        auto pass = [&](int way) {   // 0 plain, 1 pass after, 2 inside the decode
            const bool hue = way == 1;
            const qint64 start = threadNs();
            pixels = 0;
            int n = 0;
            for (const Item& item : items) {
                QImage image = way == 2
                    ? decodeRecordColored(kind, data.bytesFrom(item.record.offset), item.record.extra,
                                          tables[item.mode == HueMode::Partial][n % kTableHues].constData())
                    : data.decode(item.record);
                if (image.isNull())
                    continue;
                if (hue)
                    HueTable(*hues.hue(1 + n % hues.count()), item.mode).applyInPlace(image);
                sink += image.pixel(image.width() / 2, image.height() / 2);
                pixels += qint64(image.width()) * image.height();
                ++n;
            }
            return threadNs() - start;
        };
        qint64 decodeNs = -1, huedNs = -1, colouredNs = -1;
        for (int run = 0; run < 7; ++run) {
            const qint64 d = pass(0), h = pass(1), c = pass(2);
            decodeNs = decodeNs < 0 ? d : std::min(decodeNs, d);
            huedNs = huedNs < 0 ? h : std::min(huedNs, h);
            colouredNs = colouredNs < 0 ? c : std::min(colouredNs, c);
        }
        const qint64 hueNs = huedNs - decodeNs;
        std::printf("%-7s %6d pictures %7.1f Mpixels: decode %7.1f ms, decode and hue %7.1f ms: hue %6.1f ms "
                    "(%5.0f Mpixels/s) = +%.0f%%\n",
                    k == 0 ? "statics" : "gumps", int(items.size()), pixels / 1e6, decodeNs / 1e6, huedNs / 1e6,
                    hueNs / 1e6, pixels / 1e6 / (hueNs / 1e9), 100.0 * hueNs / decodeNs);
        std::printf("%-7s hued inside the decode %7.1f ms = %+.0f%%\n", k == 0 ? "statics" : "gumps",
                    colouredNs / 1e6, 100.0 * (colouredNs - decodeNs) / decodeNs);
        decodeAll += decodeNs;
        huedAll += huedNs;
        colouredAll += colouredNs;
    }
    std::printf("all, hued as a separate pass: decode %.1f ms, decode and hue %.1f ms: +%.0f%%\n", decodeAll / 1e6,
                huedAll / 1e6, 100.0 * (huedAll - decodeAll) / decodeAll);
    std::printf("all (thread CPU time), hued inside the decode as previews do: decode %.1f ms, hued decode %.1f ms: "
                "hueing adds %.0f%% to decoding (target: at most 30%%)\n",
                decodeAll / 1e6, colouredAll / 1e6, 100.0 * (colouredAll - decodeAll) / decodeAll);
    return 0;
}
