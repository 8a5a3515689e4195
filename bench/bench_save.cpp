// Times Save on the full-size demo directory against copying its three data files with cp,
// in the same run, and reports the peak memory of a qmtool rewrite. Also times the first
// save of a scattered copy (every entry out of order, with gaps, as in a patched
// installation) against cp + sync of its files. Run on demand:
//   bench_save [DIR]   (default /tmp/qm-demo-full; generated with make-demo --full if empty)
#include "benchpackages.h"
#include "changeset.h"
#include "demodata.h"
#include "indexfile.h"
#include "rewrite.h"
#include "demodata.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qm;

namespace {

const char* const kDataFiles[] = { "art.mul", "gumpart.mul", "texmaps.mul" };

bool ensureDemo(const QString& dir)
{
    if (QFileInfo::exists(dir + "/artidx.mul"))
        return true;
    std::printf("generating the demo directory in %s\n", qPrintable(dir));
    QString error;
    if (writeDemoDirectory(dir, true, false, &error))
        return true;
    std::printf("%s\n", qPrintable(error));
    return false;
}

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// cp of the three data files into the same folder, the copies removed afterwards.
double timeCopy(const QString& dir, bool sync)
{
    QStringList args;
    for (const char* name : kDataFiles)
        args << QString(dir + "/" + name);
    QElapsedTimer t;
    t.start();
    for (const char* name : kDataFiles)
        QProcess::execute("cp", { dir + "/" + name, dir + "/" + name + ".cpcopy" });
    if (sync)
        QProcess::execute("sync", {});
    const double ms = t.nsecsElapsed() / 1e6;
    for (const char* name : kDataFiles)
        QFile::remove(dir + "/" + name + ".cpcopy");
    return ms;
}

// The whole Save after the user deleted the first listed entry of each of `kinds` (art, gumps
// and textures by default): every later entry moves, so every data file is rewritten. Each
// round deletes another.
double timeSaveAfterDeletions(const QString& dir, const QVector<int>& kinds = { Static, Gump, Texture })
{
    Catalogues c = readCatalogues(dir);
    for (int kind : kinds)
        if (!c.listed[kind].isEmpty())
            c.listed[kind].removeFirst();
    ChangeSet changes;
    QString error;
    QElapsedTimer t;
    t.start();
    Rewrite rewrite(dir);
    const bool saved = rewrite.begin(&error) && rewrite.stageArt(c.listed[Land], c.listed[Static], changes, true, &error)
        && rewrite.stageImages(Gump, c.listed[Gump], changes, &error)
        && rewrite.stageImages(Texture, c.listed[Texture], changes, &error) && rewrite.stageAnim(changes, &error)
        && rewrite.commit(&error);
    if (!saved)
        std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
    return t.nsecsElapsed() / 1e6;
}

QString qmtoolPath()
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../tools/qmtool");
}

// `qmtool delete static ID` (the first listed static): a whole process, rewriting art.mul.
double timeToolDelete(const QString& dir)
{
    const Catalogues c = readCatalogues(dir);
    const QString id = QString::number(c.listed[Static].value(0));
    QElapsedTimer t;
    t.start();
    const int rc = QProcess::execute(qmtoolPath(), { "--dir", dir, "delete", "static", id });
    if (rc != 0)
        std::fprintf(stderr, "qmtool delete exited %d\n", rc);
    return t.nsecsElapsed() / 1e6;
}

double timeToolSave(const QString& dir)
{
    QElapsedTimer t;
    t.start();
    const int rc = QProcess::execute(qmtoolPath(), { "--dir", dir, "save" });
    if (rc != 0)
        std::fprintf(stderr, "qmtool save exited %d\n", rc);
    return t.nsecsElapsed() / 1e6;
}

// Copies the demo into `to` with the entries of every data file laid out in reverse index
// order and 8 bytes apart, so that no two kept entries are neighbours: the layout that costs
// a rewrite the most separate copies.
bool writeScattered(const QString& from, const QString& to)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QString& name : demoFileNames())
        if (!QFile::copy(from + "/" + name, to + "/" + name))
            return false;
    for (int kind : { int(Land), int(Gump), int(Texture) }) {
        QFile index(mulPath(from, indexFileName(kind)));
        QFile source(mulPath(from, dataFileName(kind)));
        QFile target(mulPath(to, dataFileName(kind)));
        if (!index.open(QIODevice::ReadOnly) || !source.open(QIODevice::ReadOnly)
            || !target.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        QByteArray records = index.readAll();
        const qint64 count = records.size() / kIndexRecordSize;
        QByteArray newIndex = records;
        for (qint64 i = count - 1; i >= 0; --i) {
            IndexRecord r = indexRecordAt(records, i);
            if (r.isEmpty() || r.length <= 0)
                continue;
            if (!source.seek(r.offset))
                return false;
            const QByteArray bytes = source.read(r.length);
            r.offset = qint32(target.pos());
            if (target.write(bytes) != bytes.size() || target.write(QByteArray(8, '\xEE')) != 8)
                return false;
            QByteArray one;
            appendIndexRecord(one, r);
            newIndex.replace(int(i * kIndexRecordSize), kIndexRecordSize, one);
        }
        QFile out(mulPath(to, indexFileName(kind)));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(newIndex) != newIndex.size())
            return false;
    }
    QProcess::execute("sync", {});   // the copy's own writes must not count against the save
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Headless like qmtool: no display is needed to draw the demo's images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // the demo generator draws images
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/qm-demo-full");
    if (!ensureDemo(dir)) {
        std::fprintf(stderr, "cannot build the demo directory in %s\n", qPrintable(dir));
        return 1;
    }
    qint64 bytes = 0;
    for (const char* name : kDataFiles)
        bytes += QFileInfo(dir + "/" + name).size();
    std::printf("data files: %.1f MB in %s\n", bytes / 1e6, qPrintable(dir));

    // The first save compacts whatever make-demo left; then every round rewrites everything.
    timeToolSave(dir);
    std::vector<double> cp, cpSync, save, tool, noop;
    for (int round = 0; round < 5; ++round) {
        cp.push_back(timeCopy(dir, false));
        save.push_back(timeSaveAfterDeletions(dir));
        cpSync.push_back(timeCopy(dir, true));
        tool.push_back(timeToolDelete(dir));
        noop.push_back(timeToolSave(dir));
    }
    const double cpMs = medianOf(cp);
    const double syncMs = medianOf(cpSync);
    auto line = [&](const char* what, double ms) {
        std::printf("%-48s %8.1f ms = %.2fx cp, %.2fx cp+sync\n", what, ms, ms / cpMs, ms / syncMs);
    };
    std::printf("%-48s %8.1f ms (median of 5)\n", "cp of the three data files", cpMs);
    std::printf("%-48s %8.1f ms\n", "cp + sync", syncMs);
    line("whole save after deletions (all files rewritten)", medianOf(save));
    line("qmtool delete static (process, art rewritten)", medianOf(tool));
    line("qmtool save, already compact (nothing to write)", medianOf(noop));

    // The same save with art and gumps in packages holding the same entries.
    const QString packages = dir + "-packages";
    const QString classic = dir + "-classic";
    if (makePackageCopy(dir, packages) && makePackageCopy(dir, classic)) {
        for (const char* name : { "artLegacyMUL.uop", "gumpartLegacyMUL.uop" })
            QFile::remove(classic + "/" + name);
        for (const QString& name : demoFileNames())
            QFile::copy(dir + "/" + name, classic + "/" + name);
        std::vector<double> pairSave, packageSave;
        for (int round = 0; round < 5; ++round) {
            pairSave.push_back(timeSaveAfterDeletions(classic, { Static, Gump }));
            packageSave.push_back(timeSaveAfterDeletions(packages, { Static, Gump }));
        }
        std::printf("%-48s %8.1f ms\n", "save after deletions, art + gumps, classic pairs", medianOf(pairSave));
        std::printf("%-48s %8.1f ms = %.2fx the classic pairs (target: at most 1.2)\n",
                    "save after deletions, art + gumps, packages", medianOf(packageSave),
                    medianOf(packageSave) / medianOf(pairSave));
    }
    QDir(packages).removeRecursively();
    QDir(classic).removeRecursively();

    // The first save of a scattered directory, side by side with cp + sync of its files.
    const QString scattered = dir + "-scattered";
    std::vector<double> first, firstCp;
    for (int round = 0; round < 3; ++round) {
        if (!writeScattered(dir, scattered)) {
            std::fprintf(stderr, "cannot write the scattered copy in %s\n", qPrintable(scattered));
            return 1;
        }
        firstCp.push_back(timeCopy(scattered, true));
        first.push_back(timeToolSave(scattered));
    }
    const double firstCpMs = medianOf(firstCp);
    std::printf("%-48s %8.1f ms (median of 3)\n", "cp + sync of the scattered copy's data files", firstCpMs);
    std::printf("%-48s %8.1f ms = %.2fx cp+sync\n", "qmtool save, first save of the scattered copy",
                medianOf(first), medianOf(first) / firstCpMs);
    if (writeScattered(dir, scattered)) {
        QProcess time;
        time.start("/usr/bin/time", { "-f", "%M", qmtoolPath(), "--dir", scattered, "save" });
        time.waitForFinished(-1);
        const QList<QByteArray> lines = time.readAllStandardError().trimmed().split('\n');
        if (time.exitCode() == 0 && !lines.isEmpty())
            std::printf("peak resident memory of that first save: %.1f MB\n", lines.last().toDouble() / 1024.0);
    }
    QDir(scattered).removeRecursively();

    // Peak memory of one whole-directory rewrite, as /usr/bin/time measures it (a fork of
    // this process would report this process's own pages).
    QProcess time;
    const Catalogues c = readCatalogues(dir);
    time.start("/usr/bin/time", { "-f", "%M", qmtoolPath(), "--dir", dir, "delete", "gump",
                                  QString::number(c.listed[Gump].value(0)) });
    time.waitForFinished(-1);
    const QList<QByteArray> lines = time.readAllStandardError().trimmed().split('\n');
    if (time.exitCode() == 0 && !lines.isEmpty())
        std::printf("peak resident memory of qmtool delete gump (gumpart.mul rewritten): %.1f MB\n",
                    lines.last().toDouble() / 1024.0);
    else
        std::printf("peak memory: run /usr/bin/time -v qmtool --dir DIR save\n");
    return 0;
}
