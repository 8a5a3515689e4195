// Batch export of every static of a full-size directory: pictures per second written as PNG
// files, beside decoding alone. Three ways: the reader shared by the workers (qmtool), the
// pictures fetched on the calling thread and only encoded on workers (the editor, which asks
// its session), and a single worker. Then 4,000 statics and 4,000 gumps exported beside a
// cp -r of the folder written, which the export should stay within 1.5 times of.
// Usage: bench_batchexport [DATADIR]; without one, a full demo directory is generated first
// (make-demo --full --long-runs).
#include "artpicturereader.h"
#include "demodata.h"
#include "imagebatchexport.h"
#include "indexfile.h"
#include "itemkind.h"
#include "pngencode.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace qm;

namespace {

double perSecond(int count, qint64 ns) { return ns > 0 ? count / (ns / 1e9) : 0.0; }

qint64 folderBytes(const QString& folder)
{
    qint64 bytes = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files))
        bytes += f.size();
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // QM_EXPORT_THREADS=N: the comparison with cp -r run with N workers instead of one per core.
    const int exportThreads = qEnvironmentVariableIntValue("QM_EXPORT_THREADS");
    QTemporaryDir temp;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.filePath("data");
    if (argc <= 1) {
        QString error;
        // Gumps with long runs, as real interface art has: the textured demo gumps are noise
        // to PNG's compressor, which no user's export meets.
        if (!writeDemoDirectory(dir, true, false, &error, nullptr, true)) {
            std::fprintf(stderr, "bench_batchexport: %s\n", qPrintable(error));
            return 2;
        }
    }
    const QVector<int> statics = readCatalogues(dir).listed[Static];
    const ArtPictureReader reader(dir, Static);
    if (statics.isEmpty() || !reader.isOpen()) {
        std::fprintf(stderr, "bench_batchexport: no statics in %s\n", qPrintable(dir));
        return 2;
    }
    const int count = int(statics.size());
    std::printf("%d statics, %d threads\n", count, QThread::idealThreadCount());

    QElapsedTimer timer;
    timer.start();
    qint64 pixels = 0;
    for (int id : statics) {
        const QImage image = reader.picture(id);
        pixels += qint64(image.width()) * image.height();
    }
    const qint64 decodeNs = timer.nsecsElapsed();
    std::printf("decode alone, one thread:          %8.1f ms  %8.0f pictures/s  (%.1f Mpixels)\n",
                decodeNs / 1e6, perSecond(count, decodeNs), pixels / 1e6);

    // The PNG encoding alone, into memory, to tell it apart from the file system's share;
    // the export's own encoder beside Qt's general one, which it replaced for being ten
    // times slower on small pictures.
    timer.restart();
    qint64 pngBytes = 0;
    for (int id : statics)
        pngBytes += encodePng(reader.picture(id)).size();
    const qint64 encodeNs = timer.nsecsElapsed();
    std::printf("decode + PNG into memory, one thread: %5.1f ms  %8.0f pictures/s  (%.1f MB)\n",
                encodeNs / 1e6, perSecond(count, encodeNs), pngBytes / 1048576.0);
    timer.restart();
    qint64 qtBytes = 0;
    const int qtCount = std::min(count, 2000);
    for (int i = 0; i < qtCount; ++i) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(reader.picture(statics[i]));
        qtBytes += buffer.size();
    }
    const qint64 qtNs = timer.nsecsElapsed();
    std::printf("the same with QImageWriter (%d):   %8.1f ms  %8.0f pictures/s  (%.1f MB)\n", qtCount,
                qtNs / 1e6, perSecond(qtCount, qtNs), qtBytes / 1048576.0);

    const auto run = [&](const char* label, bool sharedSource, int threads) {
        const QString out = temp.filePath(QStringLiteral("out-%1-%2").arg(sharedSource).arg(threads));
        ImageExportOptions options;
        options.sourceIsThreadSafe = sharedSource;
        options.threads = threads;
        QElapsedTimer t;
        t.start();
        const ImageExportResult result = exportImages(
            Static, statics, out, [&](int, int id) { return reader.picture(id); }, options);
        const qint64 ns = t.nsecsElapsed();
        const qint64 bytes = folderBytes(out);
        std::printf("%-34s %8.1f ms  %8.0f pictures/s  %d written, %d empty, %d failed, %.1f MB, %.1fx decode\n",
                    label, ns / 1e6, perSecond(result.written, ns), result.written, int(result.emptyIds.size()),
                    int(result.failures.size()), bytes / 1048576.0, double(ns) / decodeNs);
    };
    run("export, decode+encode on workers:", true, 0);
    run("export, decode on caller:", false, 0);
    run("export, one worker:", true, 1);

    // Against copying its result: 4,000 statics, then 4,000 gumps, exported as qmtool does and
    // the folder written copied with cp -r, alternately, the best of five of each. Every round
    // writes folders of its own and nothing is deleted before the end: on ext4, creating
    // thousands of files just after deleting thousands slows both sides tenfold, which is
    // no user's export. TMPDIR chooses the disk.
    bool within = true;
    for (int kind : { int(Static), int(Gump) }) {
        const ArtPictureReader kindReader(dir, kind);
        const QVector<int> listed = readCatalogues(dir).listed[kind];
        const QVector<int> ids = listed.mid(0, 4000);
        qint64 exportNs = -1, copyNs = -1;
        qint64 bytes = 0;
        for (int round = 0; round < 5; ++round) {
            const QString out = temp.filePath(QStringLiteral("cp-out-%1-%2").arg(kind).arg(round));
            const QString copy = temp.filePath(QStringLiteral("cp-copy-%1-%2").arg(kind).arg(round));
            ImageExportOptions options;
            options.sourceIsThreadSafe = true;
            options.threads = exportThreads;
            QElapsedTimer t;
            t.start();
            exportImages(ItemKind(kind), ids, out, [&](ItemKind, int id) { return kindReader.picture(id); }, options);
            const qint64 e = t.nsecsElapsed();
            t.restart();
            QProcess::execute(QStringLiteral("cp"), { QStringLiteral("-r"), out, copy });
            const qint64 c = t.nsecsElapsed();
            exportNs = exportNs < 0 ? e : std::min(exportNs, e);
            copyNs = copyNs < 0 ? c : std::min(copyNs, c);
            if (round == 0)
                bytes = folderBytes(out);
        }
        const double ratio = double(exportNs) / copyNs;
        within = within && ratio <= 1.5;
        std::printf("export %d %s: %.1f ms; cp -r of its result (%.1f MB): %.1f ms; export / cp -r = %.2f "
                    "(target: at most 1.5)\n",
                    int(ids.size()), qPrintable(kindName(kind).toLower() + QLatin1Char('s')), exportNs / 1e6,
                    bytes / 1048576.0, copyNs / 1e6, ratio);
    }
    return within ? 0 : 1;
}
