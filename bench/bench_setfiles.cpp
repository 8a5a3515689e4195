// Times the catalogue fill (setFiles) on full-size index files, and the start-up of the main
// window from process start to the window shown. Run on demand: prints figures.
#include "dialogs.h"
#include "indexfile.h"
#include "mainwindow.h"
#include "uodir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
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
                w.listLand->topLevelItemCount(), w.listStatic->topLevelItemCount(),
                w.listGump->topLevelItemCount(), w.listTexture->topLevelItemCount());

    QVector<double> runs;
    for (int run = 0; run < 7; ++run) {
        const QString dir = w.mulDir;
        // Emptying 109,000 list items is the old lists' cost, not the reading's.
        for (QTreeWidget* list : { w.listLand, w.listStatic, w.listGump, w.listTexture })
            list->clear();
        QElapsedTimer t;
        t.start();
        w.session->open(dir);   // reads the index files; the lists follow through setFiles()
        runs.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    std::printf("open + setFiles(): median %.1f ms, min %.1f ms, max %.1f ms over %d runs (target < 100 ms)\n",
                runs[runs.size() / 2], runs.first(), runs.last(), int(runs.size()));
    return 0;
}
