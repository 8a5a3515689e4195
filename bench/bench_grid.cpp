// The thumbnail grid on full-size data, offscreen: how long filling the grid model for a
// gump catalogue of 60,000 items and showing its first screen takes, and the longest stall
// of the event loop while the grid is scrolled from top to bottom at a steady pace; and
// reading the tile records of every static, as the filter needs them.
// Usage: bench_grid [DATADIR]; without one, a full demo directory is generated first. The
// directory's gumps are repeated to make up 60,000 ids.
#include "artdatafile.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "demodata.h"
#include "indexfile.h"
#include "itemkind.h"
#include "thumbnailcache.h"
#include "tilecatalogue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

using namespace qm;

namespace {

constexpr int kGridItems = 60000;

qint64 threadCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temp;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    if (argc <= 1) {
        QString error;
        if (!writeDemoDirectory(dir, true, false, &error, nullptr)) {
            std::fprintf(stderr, "bench_grid: %s\n", qPrintable(error));
            return 2;
        }
    }
    const Catalogues catalogues = readCatalogues(dir);
    const QVector<int> gumps(catalogues.listed[Gump].begin(), catalogues.listed[Gump].end());
    if (gumps.isEmpty()) {
        std::fprintf(stderr, "bench_grid: no gumps in %s\n", qPrintable(dir));
        return 2;
    }
    QFile indexFile(mulPath(dir, indexFileName(Gump)));
    indexFile.open(QIODevice::ReadOnly);
    const QByteArray index = indexFile.readAll();
    const ArtDataFile data(dir, Gump);
    // Id n shows the directory's gump n mod count: the mapped file and the index are only
    // read, so the decoder is safe on several threads.
    ThumbnailCache cache([&](int, int id) {
        const int real = gumps[id % gumps.size()];
        return data.decode(indexRecordAt(index, indexRecordNumber(Gump, real)));
    });
    {
        QElapsedTimer t;
        t.start();
        QVector<tile_struct> tiles;
        QString error;
        const bool read = qm::readAllTileRecords(dir, Static, &tiles, &error);
        std::printf("tile names and flags of %d statics for the filter: %.1f ms%s\n", int(tiles.size()),
                    t.nsecsElapsed() / 1e6, read ? "" : qPrintable(QStringLiteral(" (") + error + QLatin1Char(')')));
    }
    QVector<int> ids(kGridItems);
    for (int i = 0; i < kGridItems; ++i)
        ids[i] = i;

    // The main window has painted text long before a grid is shown: the font system's start
    // belongs to the program's start-up, not to showing the grid.
    {
        QLabel warm(QStringLiteral("0x1a2b"));
        warm.show();
        warm.repaint();
    }
    QElapsedTimer t;
    t.start();
    CatalogueGridModel model(Gump, &cache);
    model.setIds(ids);
    const qint64 modelNs = t.nsecsElapsed();
    CatalogueGrid grid;
    grid.view()->setGridModel(&model);
    grid.resize(1280, 800);
    grid.show();
    QCoreApplication::processEvents();
    const qint64 shownNs = t.nsecsElapsed();
    grid.view()->viewport()->repaint();
    const qint64 firstScreenNs = t.nsecsElapsed();
    cache.waitUntilIdle();
    const qint64 picturesNs = t.nsecsElapsed();
    const auto [first, last] = grid.view()->rowsInView();
    std::printf("%d gumps (%d distinct), cells %d px, %d in view\n", kGridItems, int(gumps.size()),
                grid.view()->cellSize(), last - first + 1);
    std::printf("fill the model and show the first screen: %7.1f ms (target: under 50)\n", firstScreenNs / 1e6);
    std::printf("  model %.1f ms, window shown and laid out %.1f ms, first paint %.1f ms\n", modelNs / 1e6,
                (shownNs - modelNs) / 1e6, (firstScreenNs - shownNs) / 1e6);
    std::printf("  ... with every picture in view decoded: %7.1f ms\n", picturesNs / 1e6);

    // Scroll a fixed step every 16 ms from top to bottom; a 1 ms probe timer finds the longest
    // time the event loop could not run. On a loaded machine much of such a gap is the GUI
    // thread waiting for a core; the GUI thread's own CPU time within the gap is what it
    // would be on an idle one.
    QScrollBar* bar = grid.view()->verticalScrollBar();
    const int step = std::max(1, grid.view()->viewport()->height() / 2);
    qint64 longestGapNs = 0, longestCpuGapNs = 0, lateSteps = 0;
    double longestGapAt = 0, longestCpuGapAt = 0;
    QElapsedTimer sinceProbe;
    sinceProbe.start();
    qint64 cpuAtProbe = threadCpuNs();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 gap = sinceProbe.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        if (gap > longestGapNs) {
            longestGapNs = gap;
            longestGapAt = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0;
        }
        if (cpu - cpuAtProbe > longestCpuGapNs) {
            longestCpuGapNs = cpu - cpuAtProbe;
            longestCpuGapAt = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0;
        }
        lateSteps += gap > 16000000;
        sinceProbe.restart();
        cpuAtProbe = cpu;
    });
    QTimer scroller;
    scroller.setTimerType(Qt::PreciseTimer);
    int ticks = 0;
    QObject::connect(&scroller, &QTimer::timeout, [&] {
        ++ticks;
        if (bar->value() >= bar->maximum())
            app.quit();
        bar->setValue(bar->value() + step);
    });
    t.restart();
    probe.start(1);
    scroller.start(16);
    sinceProbe.restart();
    app.exec();
    const qint64 scrollNs = t.nsecsElapsed();
    std::printf("scroll %d px in %d steps of %d px every 16 ms: %.1f s, %.1f MB of thumbnails cached\n",
                bar->maximum(), ticks, step, scrollNs / 1e9,
                cache.bytesUsed() / 1048576.0);
    std::printf("longest event-loop stall while scrolling: %.1f ms wall clock, at %.0f%% of the way down; %lld "
                "gaps over 16 ms\n",
                longestGapNs / 1e6, longestGapAt * 100, lateSteps);
    std::printf("longest stall in the GUI thread's own CPU time (an idle machine's stall): %.1f ms, at %.0f%% of "
                "the way down (target: at most 16)\n",
                longestCpuGapNs / 1e6, longestCpuGapAt * 100);
    return 0;
}
