// Package reading on full-size data, beside the classic index + data pair holding the same
// entries: listing (directory of the package vs. the index files) and reading every entry's
// bytes. Usage: bench_package [DATADIR]; without one, a full demo directory is generated in
// a temporary folder first. The packages are written from the directory's art and gump pairs.
#include "benchdata.h"
#include "benchtiming.h"
#include "artcodec.h"
#include "demodata.h"
#include "indexfile.h"
#include "itemkind.h"
#include "packagefile.h"
#include "packagenames.h"
#include "packagewriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace qm;

namespace {

struct Pair {
    QString index;
    QString data;
};

// Every non-empty record of an index file: (record number, record).
QVector<QPair<int, IndexRecord>> listedRecords(const QString& indexPath)
{
    QFile f(indexPath);
    QVector<QPair<int, IndexRecord>> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QByteArray bytes = f.readAll();
    for (qint64 n = 0; n < bytes.size() / kIndexRecordSize; ++n) {
        const IndexRecord r = indexRecordAt(bytes, n);
        if (!r.isEmpty() && r.length >= 0)
            out.append({ int(n), r });
    }
    return out;
}

bool writePackageFromPair(PackageKind kind, const Pair& pair, const QString& target, int* entries)
{
    const auto records = listedRecords(pair.index);
    QFile data(pair.data);
    QFile out(target);
    if (!data.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QVector<int> ids;
    QHash<int, IndexRecord> byId;
    for (const auto& [id, r] : records) {
        if (id >= packageIdCount(kind))
            continue;
        ids << id;
        byId.insert(id, r);
    }
    *entries = int(ids.size());
    const auto items = planPackageWrite(kind, ids, nullptr, {});
    QString error;
    const bool ok = writePackage(out, target, PackageHeader(), items, {},
                                 [&](const PackageWriteItem& item, QByteArray* bytes, QString*) {
                                     const IndexRecord r = byId.value(item.id);
                                     data.seek(r.offset);
                                     *bytes = data.read(r.length);
                                     if (kind == PackageKind::Gump)
                                         *bytes = gumpEntryData(gumpWidthFromExtra(r.extra), gumpHeightFromExtra(r.extra), *bytes);
                                     return true;
                                 },
                                 &error);
    if (!ok)
        std::fprintf(stderr, "bench_package: %s\n", qPrintable(error));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // the demo's pictures are painted
    QTemporaryDir temp;
    const QString dir = benchDirectory(argc, argv, temp.path(), "bench_package");
    if (dir.isEmpty())
        return 2;
    QString error;
    QTemporaryDir packages;
    for (PackageKind kind : { PackageKind::Art, PackageKind::Gump }) {
        const int itemKind = kind == PackageKind::Art ? int(Land) : int(Gump);
        const Pair pair { mulPath(dir, indexFileName(itemKind)), mulPath(dir, dataFileName(itemKind)) };
        const QString target = QDir(packages.path()).filePath(packageFileName(kind));
        int entries = 0;
        QElapsedTimer t;
        t.start();
        if (!writePackageFromPair(kind, pair, target, &entries))
            return 2;
        const qint64 writeNs = t.nsecsElapsed();

        // Listing: the index file read and decoded vs. the package's tables read and checked,
        // every hash mapped to its id.
        const qint64 classicList = bestOf(5, [&] { listedRecords(pair.index); });
        int named = 0;
        const qint64 packageList = bestOf(5, [&] {
            PackageDirectory d;
            readPackageDirectory(target, &d, &error);
            named = 0;
            for (const PackageEntry& e : d.entries)
                named += packageIdForHash(kind, e.hash) >= 0;
        });

        // Every entry's bytes, from a warm cache.
        qint64 classicBytes = 0, packageBytes = 0;
        const qint64 classicRead = bestOf(3, [&] {
            QFile data(pair.data);
            data.open(QIODevice::ReadOnly);
            classicBytes = 0;
            for (const auto& [id, r] : listedRecords(pair.index)) {
                data.seek(r.offset);
                classicBytes += data.read(r.length).size();
            }
        });
        const qint64 packageRead = bestOf(3, [&] {
            QFile file(target);
            file.open(QIODevice::ReadOnly);
            PackageDirectory d;
            readPackageDirectory(file, target, &d, &error);
            packageBytes = 0;
            QByteArray bytes;
            for (const PackageEntry& e : d.entries)
                if (readPackageEntry(file, d, e, &bytes, &error))
                    packageBytes += bytes.size();
        });
        std::printf("%s: %d entries (%d named), package written in %.1f ms\n",
                    qPrintable(packageFileName(kind)), entries, named, writeNs / 1e6);
        std::printf("  list:  classic %7.1f ms   package %7.1f ms   (%.2fx)\n", classicList / 1e6,
                    packageList / 1e6, double(packageList) / classicList);
        std::printf("  read:  classic %7.1f ms   package %7.1f ms   (%.2fx)   %.1f / %.1f MB\n",
                    classicRead / 1e6, packageRead / 1e6, double(packageRead) / classicRead,
                    classicBytes / 1048576.0, packageBytes / 1048576.0);
    }
    return 0;
}
