// Comparing two full-size data directories: the full demo against a copy with a few hundred
// scattered changes made by code (pictures, tile data, animation data, removed entries),
// timed beside reading both directories' files once, with the cache warm; then the demo
// against a copy whose art and gumps are packages. Peak memory is given as resident set
// (mapped file pages included) and as anonymous memory (what the comparison allocates).
// Usage: bench_diff [DATADIR]; without one, a full demo directory is generated first.
#include "benchdata.h"
#include "benchpackages.h"
#include "benchtiming.h"
#include "procstatus.h"
#include "artcodec.h"
#include "animdata.h"
#include "demodata.h"
#include "directorydiff.h"
#include "directoryview.h"
#include "indexfile.h"
#include "pixels.h"
#include "tiledata.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <thread>

using namespace qm;

namespace {

void resetPeakRss()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

void copyDirectory(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + "/" + name, to + "/" + name);
}

bool patchFile(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.seek(offset) && f.write(bytes) == bytes.size();
}

QByteArray readRecord(const QString& dir, int kind, const IndexRecord& r)
{
    QFile f(mulPath(dir, dataFileName(kind)));
    if (!f.open(QIODevice::ReadOnly) || !f.seek(r.offset))
        return QByteArray();
    return f.read(r.length);
}

bool storeRecord(const QString& dir, int kind, int id, const QByteArray& record, quint32 extra)
{
    QFile data(mulPath(dir, dataFileName(kind)));
    if (!data.open(QIODevice::Append))
        return false;
    const qint64 at = data.size();
    data.write(record);
    QByteArray index;
    appendIndexRecord(index, { qint32(at), qint32(record.size()), extra });
    return patchFile(mulPath(dir, indexFileName(kind)), indexRecordNumber(kind, id) * kIndexRecordSize, index);
}

// A few hundred changes spread over the catalogues; returns how many.
int scatterChanges(const QString& dir)
{
    const Catalogues c = readCatalogues(dir);
    int changes = 0;
    const auto every = [](const QVector<int>& ids, int count) {
        QVector<int> out;
        for (int i = 0; i < count && !ids.isEmpty(); ++i)
            out << ids.at(int(qint64(i) * ids.size() / count));
        return out;
    };
    for (int id : every(c.listed[Static], 150)) {
        const IndexRecord r = readIndexRecord(dir, Static, id);
        QImage image = decodeStatic(readRecord(dir, Static, r));
        if (image.isNull())
            continue;
        image.setPixel(0, image.height() - 1, color16ToRgb(0x7c1f));
        changes += storeRecord(dir, Static, id, encodeStatic(image), 0);
    }
    for (int id : every(c.listed[Gump], 60)) {
        const IndexRecord r = readIndexRecord(dir, Gump, id);
        QImage image = decodeGump(readRecord(dir, Gump, r), gumpWidthFromExtra(r.extra), gumpHeightFromExtra(r.extra));
        if (image.isNull())
            continue;
        image.setPixel(image.width() / 2, 0, color16ToRgb(0x03ff));
        changes += storeRecord(dir, Gump, id, encodeGump(image), r.extra);
    }
    QByteArray empty;
    appendIndexRecord(empty, IndexRecord());
    for (int id : every(c.listed[Texture], 20))
        changes += patchFile(mulPath(dir, indexFileName(Texture)), qint64(id) * kIndexRecordSize, empty);
    for (int i = 0; i < 80; ++i) {
        const int id = (i * 811 + 7) % kStaticCount;
        tile_struct t = readTileRecord(dir, Static, id);
        t.name = QStringLiteral("changed %1").arg(i);
        changes += patchFile(mulPath(dir, "tiledata.mul"), staticTileOffset(id), staticTileBytes(t));
    }
    for (int i = 0; i < 40; ++i) {
        const int id = (i * 1597 + 3) % kStaticCount;
        anim_st a = readAnimRecord(dir, id);
        a.frameInterval = qint8(a.frameInterval + 1);
        changes += patchFile(mulPath(dir, "animdata.mul"), animOffset(id), animBytes(a));
    }
    return changes;
}

qint64 readWhole(const QString& dir)
{
    qint64 total = 0;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (const QString& name : QDir(dir).entryList(QDir::Files)) {
        QFile f(dir + "/" + name);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        qint64 n = 0;
        while ((n = f.read(buffer.data(), buffer.size())) > 0)
            total += n;
    }
    return total;
}

struct DiffRun {
    double ms = 0;
    double openMs = 0;   // of which opening both directories (listing their catalogues)
    int lines = 0;
    qint64 peakRssKb = 0;
    qint64 peakAnonKb = 0;
};

DiffRun timeDiff(const QString& a, const QString& b)
{
    DiffRun run;
    DiffResult result;
    QString error;
    run.ms = bestOf(5, [&] { compareDirectories(a, b, {}, &result, &error); }) / 1e6;
    run.lines = int(result.differences.size());
    run.openMs = bestOf(3, [&] {
        const DirectoryView here(a), there(b);
    }) / 1e6;
    // Memory of one more run, sampled while it works.
    result = DiffResult();
    resetPeakRss();
    const qint64 anonBefore = statusKb("RssAnon:");
    std::atomic_bool done { false };
    std::atomic<qint64> peakAnon { anonBefore };
    std::thread sampler([&] {
        while (!done) {
            peakAnon = std::max<qint64>(peakAnon, statusKb("RssAnon:"));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    compareDirectories(a, b, {}, &result, &error);
    done = true;
    sampler.join();
    run.peakRssKb = statusKb("VmHWM:");
    run.peakAnonKb = peakAnon;
    if (!error.isEmpty())
        std::fprintf(stderr, "bench_diff: %s\n", qPrintable(error));
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // the demo's pictures are painted
    QTemporaryDir temp;
    const QString demo = benchDirectory(argc, argv, temp.filePath("demo"), "bench_diff");
    if (demo.isEmpty())
        return 2;
    QString error;
    const QString changed = temp.filePath("changed");
    copyDirectory(demo, changed);
    const int changes = scatterChanges(changed);

    readWhole(demo);
    readWhole(changed);   // warm the cache
    qint64 bytes = 0;
    const double readMs = bestOf(5, [&] { bytes = readWhole(demo) + readWhole(changed); }) / 1e6;
    const DiffRun run = timeDiff(demo, changed);
    std::printf("read both directories once: %.1f MB in %.1f ms\n", bytes / 1e6, readMs);
    std::printf("diff (%d changes made, %d lines): %.1f ms (opening both %.1f ms) = %.2f x reading; peak RSS %.1f MB (mapped files "
                "included), peak anonymous memory %.1f MB\n",
                changes, run.lines, run.ms, run.openMs, run.ms / readMs, run.peakRssKb / 1024.0, run.peakAnonKb / 1024.0);

    const QString packaged = temp.filePath("packaged");
    if (!makePackageCopy(demo, packaged))
        return 2;
    readWhole(packaged);
    const double packagedReadMs = bestOf(5, [&] { bytes = readWhole(demo) + readWhole(packaged); }) / 1e6;
    const DiffRun pkg = timeDiff(demo, packaged);
    std::printf("classic pairs vs packages (%d lines): read %.1f ms, diff %.1f ms = %.2f x; peak RSS %.1f MB, "
                "peak anonymous %.1f MB\n",
                pkg.lines, packagedReadMs, pkg.ms, pkg.ms / packagedReadMs, pkg.peakRssKb / 1024.0,
                pkg.peakAnonKb / 1024.0);
    return 0;
}
