// Times the catalogue fill (setFiles) on full-size index files, and the start-up of the main
// window from process start to the window shown. Run on demand: prints figures.
#include "dialogs.h"
#include "indexfile.h"
#include "packagewriter.h"
#include "mainwindow.h"
#include "uodir.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <ctime>
#include <unistd.h>

using namespace qm;

namespace {

// Milliseconds since this process started, from the kernel's record of its start time.
double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();   // field 22 of the whole line
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

void writeIndex(const QString& path, int records)
{
    QByteArray bytes;
    bytes.reserve(records * kIndexRecordSize);
    for (int i = 0; i < records; ++i) {
        // About a third of the entries empty, spread over the file.
        IndexRecord r;
        if (i % 3 != 1)
            r = { i * 100, 100, 0 };
        appendIndexRecord(bytes, r);
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// A package of `ids` ids with the same entries writeIndex lists (two in three), each of 100
// bytes (gumps: their 8 bytes of size first).
void writePackageFile(const QString& path, PackageKind kind)
{
    QVector<int> ids;
    for (int i = 0; i < packageIdCount(kind); ++i)
        if (i % 3 != 1)
            ids << i;
    const QByteArray record(100, '\x11');
    const QByteArray data = kind == PackageKind::Gump ? gumpEntryData(10, 10, record) : record;
    QFile f(path);
    QString error;
    if (!f.open(QIODevice::WriteOnly)
        || !writePackage(f, QFileInfo(path).fileName(), PackageHeader(), planPackageWrite(kind, ids, nullptr, {}), {},
                         [&](const PackageWriteItem&, QByteArray* bytes, QString*) { *bytes = data; return true; }, &error))
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(error));
}

// Opens `dir` seven times, the lists following through setFiles(); the median and extremes.
void timeOpen(mainwindow& w, const QString& dir, const char* what, const std::function<void()>& beforeEach = {})
{
    QVector<double> runs;
    for (int run = 0; run < 7; ++run) {
        if (beforeEach)
            beforeEach();
        QElapsedTimer t;
        t.start();
        w.editSession()->open(dir);
        runs.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    std::printf("%s: open + setFiles(): median %.1f ms, min %.1f ms, max %.1f ms over %d runs (target < 100 ms)\n",
                what, runs[runs.size() / 2], runs.first(), runs.last(), int(runs.size()));
}

// The index-only directory has no tiledata.mul, which the window would point out in a
// message box; a benchmark has nobody to close it.
class SilentDialogs : public DialogProvider {
public:
    void warning(QWidget*, const QString&, const QString&) override {}
    void information(QWidget*, const QString&, const QString&) override {}
    void critical(QWidget*, const QString&, const QString&) override {}
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir settingsDir, dataDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    writeIndex(dataDir.filePath("artidx.mul"), kArtRecordCount);
    writeIndex(dataDir.filePath("gumpidx.mul"), 65536);
    writeIndex(dataDir.filePath("texidx.mul"), 16384);
    writeUODir(dataDir.path());
    SilentDialogs silent;
    Dialogs::set(&silent);

    mainwindow w;
    w.show();
    app.processEvents();
    std::printf("start-up: process start to main window shown: %.0f ms\n", msSinceProcessStart());
    std::printf("lists: land %d, static %d, gump %d, texture %d items\n",
                w.listLand->model()->rowCount(), w.listStatic->model()->rowCount(),
                w.listGump->model()->rowCount(), w.listTexture->model()->rowCount());

    timeOpen(w, w.mulDir, "classic pairs");

    // The same lists from packages, their tables read afresh on every run (a new modification
    // time defeats the cache) and then as a second open of an unchanged directory finds them.
    QTemporaryDir packageDir;
    writePackageFile(packageDir.filePath("artLegacyMUL.uop"), PackageKind::Art);
    writePackageFile(packageDir.filePath("gumpartLegacyMUL.uop"), PackageKind::Gump);
    writeIndex(packageDir.filePath("texidx.mul"), 16384);
    timeOpen(w, packageDir.path(), "packages, tables read", [&] {
        for (const char* name : { "artLegacyMUL.uop", "gumpartLegacyMUL.uop" }) {
            QFile f(packageDir.filePath(name));
            f.open(QIODevice::ReadWrite);
            f.setFileTime(QDateTime::currentDateTime().addSecs(-QRandomGenerator::global()->bounded(100000)),
                          QFileDevice::FileModificationTime);
        }
    });
    timeOpen(w, packageDir.path(), "packages, unchanged");
    std::printf("lists: land %d, static %d, gump %d items\n", w.listLand->model()->rowCount(),
                w.listStatic->model()->rowCount(), w.listGump->model()->rowCount());
    return 0;
}
