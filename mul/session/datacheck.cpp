#include "datacheck.h"

#include "artdatafile.h"
#include "indexfile.h"
#include "itemkind.h"
#include "tiledata.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace qm {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("DataCheck", text);
}

QByteArray readIndex(const QString& mulDir, int kind, QStringList& problems)
{
    QFile f(mulPath(mulDir, indexFileName(kind)));
    if (!f.open(QIODevice::ReadOnly)) {
        problems << tr("%1: cannot open (%2)").arg(indexFileName(kind), f.errorString());
        return QByteArray();
    }
    return f.readAll();
}

// The problem with one entry's record, or an empty string.
QString checkEntry(const ArtDataFile& data, const IndexRecord& r, CheckStats& stats)
{
    const qint64 size = data.size();
    if (r.offset < 0 || r.offset >= size)
        return tr("record at offset %1 starts outside %2 (%3 bytes)").arg(r.offset).arg(data.fileName()).arg(size);
    if (r.length < 0 || qint64(r.offset) + r.length > size)
        return tr("record of %1 bytes at offset %2 runs past the end of %3 (%4 bytes)")
            .arg(r.length).arg(r.offset).arg(data.fileName()).arg(size);
    DecodeReport report;
    const QImage image = data.decode(r, &report);
    ++stats.entries;
    stats.bytes += report.extent;
    if (image.isNull())
        return tr("record cannot be decoded");
    stats.pixels += qint64(image.width()) * image.height();
    if (!report.complete)
        return tr("record is damaged or cut short");
    if (report.extent > r.length)
        return tr("record uses %1 bytes but its index gives a length of %2").arg(report.extent).arg(r.length);
    return QString();
}

} // namespace

QStringList checkDataDirectory(const QString& mulDir, CheckStats* stats)
{
    QStringList problems;
    CheckStats s;
    for (int kind : { int(Land), int(Gump), int(Texture) }) {
        const QByteArray index = readIndex(mulDir, kind, problems);
        // The catalogues list every whole index record whose offset isn't -1 (art records
        // past the last static id belong to none); walking the index directly spares
        // building the free-id sets.
        const qint64 records = index.size() / kIndexRecordSize;
        const QVector<int> kinds = kind == Land ? QVector<int> { Land, Static } : QVector<int> { kind };
        for (int k : kinds) {
            const qint64 first = indexRecordNumber(k, 0);
            const qint64 count = k == Land ? kLandCount : k == Static ? kStaticCount : records;
            const ArtDataFile data(mulDir, k);   // land and static share art.mul
            const bool opened = data.isOpen();
            for (qint64 id = 0; id < count && first + id < records; ++id) {
                const IndexRecord r = indexRecordAt(index, first + id);
                if (r.isEmpty())
                    continue;
                if (!opened) {
                    problems << tr("%1: cannot open (%2)").arg(data.fileName(), data.errorString());
                    break;
                }
                const QString problem = checkEntry(data, r, s);
                if (!problem.isEmpty())
                    problems << itemName(k, int(id)) + QStringLiteral(": ") + problem;
            }
        }
    }
    const QFileInfo tiledata(mulPath(mulDir, QStringLiteral("tiledata.mul")));
    if (!tiledata.exists())
        problems << tr("tiledata.mul: missing");
    else if (!isKnownTileDataSize(tiledata.size()))
        problems << tr("tiledata.mul: its size of %1 bytes is not a layout this editor can write")
                        .arg(tiledata.size());
    if (!QFileInfo::exists(mulPath(mulDir, QStringLiteral("animdata.mul"))))
        problems << tr("animdata.mul: missing");
    if (stats)
        *stats = s;
    return problems;
}

} // namespace qm
