// Decoding speed on full-size data: decodes every listed entry of the four catalogues the
// way 'qmtool verify' does and sets that beside the time to read the same files (cat to
// /dev/null, warm cache). Usage: bench_decode [DATADIR]; without one, a full demo directory
// is generated in a temporary folder first.
#include "artdatafile.h"
#include "datacheck.h"
#include "itemkind.h"
#include "demodata.h"
#include "indexfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace qm;

namespace {

qint64 bestOf(int runs, const std::function<void()>& work)
{
    qint64 best = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        const qint64 ns = t.nsecsElapsed();
        best = best < 0 ? ns : std::min(best, ns);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // the demo's pictures are painted
    QTemporaryDir temp;
    QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    if (argc <= 1) {
        QElapsedTimer t;
        t.start();
        QString error;
        DemoSummary s;
        if (!writeDemoDirectory(dir, true, false, &error, &s)) {
            std::fprintf(stderr, "bench_decode: %s\n", qPrintable(error));
            return 2;
        }
        std::printf("generated full demo in %.2f s: %d land, %d statics, %d gumps, %d textures; "
                    "%.1f MB art, %.1f MB gumps, %.1f MB textures\n",
                    t.nsecsElapsed() / 1e9, s.landTiles, s.staticTiles, s.gumps, s.textures,
                    s.artBytes / 1048576.0, s.gumpBytes / 1048576.0, s.textureBytes / 1048576.0);
    }

    QStringList files;
    qint64 bytes = 0;
    for (int kind : { 0, 2, 3 }) {
        for (const QString& name : { indexFileName(kind), dataFileName(kind) }) {
            files << mulPath(dir, name);
            bytes += QFileInfo(files.last()).size();
        }
    }
    auto readAll = [&] {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        cat.start(QStringLiteral("cat"), files);
        cat.waitForFinished(-1);
    };
    readAll();   // warm the cache
    const qint64 readNs = bestOf(5, readAll);

    CheckStats stats;
    QStringList problems;
    const qint64 decodeNs = bestOf(3, [&] { problems = checkDataDirectory(dir, &stats); });

    std::printf("files: %.1f MB in %d files\n", bytes / 1048576.0, int(files.size()));
    std::printf("read (cat > /dev/null, warm):   %8.1f ms  %7.0f MB/s\n", readNs / 1e6, bytes / 1048576.0 / (readNs / 1e9));
    std::printf("decode every listed entry:      %8.1f ms  %7.0f MB/s  %lld entries, %.1f Mpixels (%.0f Mpixels/s)\n",
                decodeNs / 1e6, bytes / 1048576.0 / (decodeNs / 1e9), stats.entries, stats.pixels / 1e6,
                stats.pixels / 1e6 / (decodeNs / 1e9));
    std::printf("decode / read: %.2f (target: at most 4)\n", double(decodeNs) / readNs);

    // Where the time goes: the decoders alone, kind by kind, without the checks around them.
    const Catalogues catalogues = readCatalogues(dir);
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        QFile indexFile(mulPath(dir, indexFileName(kind)));
        indexFile.open(QIODevice::ReadOnly);
        const QByteArray index = indexFile.readAll();
        const ArtDataFile data(dir, kind);
        qint64 pixels = 0;
        const qint64 ns = bestOf(3, [&] {
            pixels = 0;
            for (int id : catalogues.listed[kind]) {
                const QImage image = data.decode(indexRecordAt(index, indexRecordNumber(kind, id)));
                pixels += qint64(image.width()) * image.height();
            }
        });
        std::printf("  %-8s %6d entries %7.1f Mpixels %7.1f ms  %5.0f Mpixels/s\n", qPrintable(kindName(kind)),
                    int(catalogues.listed[kind].size()), pixels / 1e6, ns / 1e6, pixels / 1e6 / (ns / 1e9));
    }
    if (!problems.isEmpty())
        std::printf("%d problems, first: %s\n", int(problems.size()), qPrintable(problems.first()));
    return problems.isEmpty() ? 0 : 2;
}
