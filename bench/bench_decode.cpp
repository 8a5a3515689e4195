// Decoding speed on full-size data: decodes every listed entry of the four catalogues the
// way 'qmtool verify' does and sets that beside the time to read the same files (cat to
// /dev/null, warm cache), and the decoders alone beside the floor of reading every record
// once and writing every output pixel once, on two data sets: the demo's gumps, whose runs
// are one or two pixels, and gumps with long runs as real interface art has.
// Usage: bench_decode [DATADIR [LONGRUNSDIR]]; without them, full demo directories (the
// second with make-demo's --long-runs gumps) are generated in temporary folders first.
#include "artdatafile.h"
#include "benchtiming.h"
#include "benchpackages.h"
#include "datacheck.h"
#include "itemkind.h"
#include "demodata.h"
#include "indexfile.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

using namespace qm;

namespace {

volatile quint64 floorSink = 0;   // keeps the floor's reads from being optimised away

// The least any decoder must do: read every byte of each record once and write every pixel
// of an image of the decoded size once.
quint64 readAndFill(const ArtDataFile& data, const QVector<IndexRecord>& records,
                    const QVector<QSize>& sizes)
{
    quint64 sum = 0;
    for (int i = 0; i < records.size(); ++i) {
        const IndexRecord& record = records[i];
        const QByteArray bytes = data.bytesFrom(record.offset);
        const qint64 length = std::min<qint64>(std::max(record.length, 0), bytes.size());
        const char* p = bytes.constData();
        qint64 k = 0;
        for (; k + 8 <= length; k += 8) {
            quint64 word;
            std::memcpy(&word, p + k, 8);
            sum += word;
        }
        for (; k < length; ++k)
            sum += uchar(p[k]);
        if (sizes[i].isEmpty())
            continue;
        QImage image(sizes[i], QImage::Format_ARGB32);
        image.fill(0u);
        sum += image.constBits()[0];
    }
    return sum;
}

// The decoders alone, kind by kind, without the checks around them, beside the floor:
// reading each record's bytes once and writing each output pixel once. Prints a line per
// kind and the gumps' average run; returns the ratio over all kinds.
double decodersAgainstFloor(const QString& dir, const QString& label)
{
    std::printf("decoders on %s (%s):\n", qPrintable(label), qPrintable(QDir::toNativeSeparators(dir)));
    const Catalogues catalogues = readCatalogues(dir);
    qint64 decodeAllNs = 0;
    qint64 floorAllNs = 0;
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        QFile indexFile(mulPath(dir, indexFileName(kind)));
        indexFile.open(QIODevice::ReadOnly);
        const QByteArray index = indexFile.readAll();
        const ArtDataFile data(dir, kind);
        QVector<IndexRecord> records;
        for (int id : catalogues.listed[kind])
            records << indexRecordAt(index, indexRecordNumber(kind, id));
        QVector<QSize> sizes;
        qint64 pixels = 0;
        const qint64 ns = bestOf(7, [&] {
            pixels = 0;
            sizes.clear();
            for (const IndexRecord& record : records) {
                const QImage image = data.decode(record);
                sizes << image.size();
                pixels += qint64(image.width()) * image.height();
            }
        });
        const qint64 floorNs = bestOf(7, [&] { floorSink += readAndFill(data, records, sizes); });
        decodeAllNs += ns;
        floorAllNs += floorNs;
        QString runs;
        if (kind == Gump) {
            // Every pair is 4 bytes after the row table of 4 bytes a row.
            qint64 pairs = 0;
            for (int i = 0; i < records.size(); ++i)
                pairs += std::max(0, records[i].length - 4 * sizes[i].height()) / 4;
            runs = QStringLiteral(", average run %1 px").arg(pairs ? double(pixels) / pairs : 0.0, 0, 'f', 1);
        }
        std::printf("  %-8s %6d entries %7.1f Mpixels %7.1f ms  %5.0f Mpixels/s  floor %6.1f ms  %.2fx%s\n",
                    qPrintable(kindName(kind)), int(records.size()), pixels / 1e6, ns / 1e6,
                    pixels / 1e6 / (ns / 1e9), floorNs / 1e6, double(ns) / floorNs, qPrintable(runs));
    }
    std::printf("  decoders alone: %.1f ms, floor %.1f ms: %.2fx the floor (target: at most 3)\n",
                decodeAllNs / 1e6, floorAllNs / 1e6, double(decodeAllNs) / floorAllNs);
    return double(decodeAllNs) / floorAllNs;
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

    // Where the time goes: the decoders alone, beside the floor, on these data and on gumps
    // with long runs.
    const double ratio = decodersAgainstFloor(dir, QStringLiteral("these data"));
    double longRatio = -1;
    QTemporaryDir longTemp;
    const QString longDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : longTemp.path();
    QString error;
    if (argc <= 2 && !writeDemoDirectory(longDir, true, false, &error, nullptr, true))
        std::fprintf(stderr, "bench_decode: %s\n", qPrintable(error));
    else
        longRatio = decodersAgainstFloor(longDir, QStringLiteral("gumps with long runs"));
    std::printf("decoders alone against the floor: %.2fx on %s, %.2fx on long runs (target: at most 3 on both)\n",
                ratio, argc > 1 ? "the given data" : "the demo's short runs", longRatio);

    // The same entries kept in packages: listing the catalogues and decoding every entry.
    QTemporaryDir packageTemp;
    if (makePackageCopy(dir, packageTemp.path())) {
        const QString packages = packageTemp.path();
        const qint64 pairListNs = bestOf(5, [&] { readCatalogues(dir); });
        // Each run reads the package's tables afresh: a new modification time defeats the cache.
        const qint64 packageListNs = bestOf(5, [&] {
            for (const char* name : { "/artLegacyMUL.uop", "/gumpartLegacyMUL.uop" }) {
                QFile f(packages + name);
                f.open(QIODevice::ReadWrite);
                f.setFileTime(QDateTime::currentDateTime().addSecs(-QRandomGenerator::global()->bounded(100000)),
                              QFileDevice::FileModificationTime);
            }
            readCatalogues(packages);
        });
        CheckStats packageStats;
        const qint64 packageDecodeNs = bestOf(3, [&] { checkDataDirectory(packages, &packageStats); });
        std::printf("list the catalogues: classic pairs %.1f ms, packages %.1f ms = %.2fx (target: at most 1.2)\n",
                    pairListNs / 1e6, packageListNs / 1e6, double(packageListNs) / pairListNs);
        std::printf("decode every listed entry: classic pairs %.1f ms (%lld entries), packages %.1f ms (%lld "
                    "entries) = %.2fx (target: at most 1.2)\n",
                    decodeNs / 1e6, stats.entries, packageDecodeNs / 1e6, packageStats.entries,
                    double(packageDecodeNs) / decodeNs);
    }
    if (!problems.isEmpty())
        std::printf("%d problems, first: %s\n", int(problems.size()), qPrintable(problems.first()));
    return problems.isEmpty() ? 0 : 2;
}
