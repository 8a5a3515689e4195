#include "datacheck.h"

#include "recordsource.h"

#include "animdata.h"
#include "artdatafile.h"
#include "indexdamage.h"
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

// The problems of a check: every one counted against its file, the first few of each kept.
class ProblemLog {
public:
    void add(const QString& file, const QString& line)
    {
        int at = 0;
        while (at < m_files.size() && m_files[at].first != file)
            ++at;
        if (at == m_files.size()) {
            m_files.append({ file, 0 });
            m_named.append(QStringList());
        }
        if (++m_files[at].second <= kProblemsNamedPerFile)
            m_named[at].append(line);
    }

    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < m_files.size(); ++i) {
            out += m_named[i];
            const qint64 rest = m_files[i].second - m_named[i].size();
            if (rest > 0)
                out << tr("%1: %2 more problem(s) not named").arg(m_files[i].first).arg(rest);
        }
        return out;
    }

    const QVector<QPair<QString, qint64>>& counts() const { return m_files; }

private:
    QVector<QPair<QString, qint64>> m_files;
    QVector<QStringList> m_named;
};

// Whether mulDir/name is a readable file; logs why not. A missing file is logged only when
// `required`.
bool checkReadable(const QString& mulDir, const QString& name, bool required, ProblemLog& log)
{
    const QFileInfo info(mulPath(mulDir, name));
    if (!info.exists()) {
        if (required)
            log.add(name, tr("%1: missing").arg(name));
        return false;
    }
    if (!info.isFile()) {
        log.add(name, tr("%1: not a file").arg(name));
        return false;
    }
    QFile f(info.filePath());
    if (!f.open(QIODevice::ReadOnly)) {
        log.add(name, tr("%1: cannot be read (%2)").arg(name, f.errorString()));
        return false;
    }
    return true;
}

bool readIndex(const QString& mulDir, int kind, QByteArray* bytes, ProblemLog& log)
{
    const QString name = indexFileName(kind);
    if (!checkReadable(mulDir, name, true, log))
        return false;
    QFile f(mulPath(mulDir, name));
    if (f.open(QIODevice::ReadOnly))
        *bytes = f.readAll();
    if (bytes->size() == f.size())
        return true;
    log.add(name, tr("%1: cannot be read (%2)").arg(name, f.errorString()));
    return false;
}

void checkPair(const QString& mulDir, int indexKind, ProblemLog& log, CheckStats& s)
{
    QByteArray index;
    const QString dataName = dataFileName(indexKind);
    if (readIndex(mulDir, indexKind, &index, log)) {
        const QFileInfo dataInfo(mulPath(mulDir, dataName));
        const QString damage = qm::indexDamageFromSizes(indexFileName(indexKind), index.size(), dataName,
                                                        dataInfo.isFile() ? dataInfo.size() : -1);
        if (!damage.isEmpty())
            log.add(indexFileName(indexKind), damage);
    }

    // The catalogues list every whole index record whose offset isn't -1 (art records past
    // the last static id belong to none); walking the index directly spares building the
    // free-id sets.
    const qint64 records = index.size() / kIndexRecordSize;
    bool anyListed = false;
    for (qint64 i = 0; i < records && !anyListed; ++i)
        anyListed = !indexRecordAt(index, i).isEmpty();
    if (!checkReadable(mulDir, dataName, anyListed, log))
        return;
    const QVector<int> kinds = indexKind == Land ? QVector<int> { Land, Static } : QVector<int> { indexKind };
    for (int k : kinds) {
        const ArtDataFile data(mulDir, k);   // land and static share art.mul, not its decoder
        if (!data.isOpen()) {
            log.add(dataName, tr("%1: cannot be read (%2)").arg(dataName, data.errorString()));
            return;
        }
        const qint64 first = indexRecordNumber(k, 0);
        const qint64 count = k == Land ? kLandCount : k == Static ? kStaticCount : records;
        for (qint64 id = 0; id < count && first + id < records; ++id) {
            const IndexRecord r = indexRecordAt(index, first + id);
            if (r.isEmpty())
                continue;
            ++s.entries;
            QImage image;
            DecodeReport report;
            const QString problem = recordProblem(data, r, &image, &report);
            s.bytes += report.extent;
            s.pixels += qint64(image.width()) * image.height();
            if (!problem.isEmpty())
                log.add(dataName, itemName(k, int(id)) + QStringLiteral(": ") + problem);
        }
    }
}

// A package catalogue: the package's own damage, then every entry decoded as the pair's
// records are.
void checkPackage(const QString& mulDir, PackageKind packageKind, ProblemLog& log, CheckStats& s)
{
    const QString name = packageFileName(packageKind);
    const QVector<int> kinds = packageKind == PackageKind::Art ? QVector<int> { Land, Static } : QVector<int> { Gump };
    for (int k : kinds) {
        const RecordSource source(mulDir, k);
        if (!source.isOpen()) {
            log.add(name, source.errorString());
            return;
        }
        const int count = k == Land ? kLandCount : k == Static ? kStaticCount : kGumpPackageIdCount;
        for (int id = 0; id < count; ++id) {
            ItemRecord record;
            QString error;
            const bool readable = source.read(id, &record, &error);
            if (readable && !record.found)
                continue;
            ++s.entries;
            if (!readable) {
                log.add(name, error);
                continue;
            }
            DecodeReport report;
            const QImage image = decodeRecord(k, record.bytes, record.extra, &report);
            s.bytes += report.extent;
            s.pixels += qint64(image.width()) * image.height();
            QString problem;
            if (image.isNull())
                problem = tr("record cannot be decoded");
            else if (!report.complete)
                problem = tr("record is damaged or cut short");
            else if (report.extent > record.bytes.size())
                problem = tr("record uses %1 bytes but its entry holds %2").arg(report.extent).arg(record.bytes.size());
            if (!problem.isEmpty())
                log.add(name, itemName(k, id) + QStringLiteral(": ") + problem);
        }
    }
    // Damaged entries that name no id still keep the package from being rewritten.
    const RecordSource any(mulDir, kinds.first());
    if (const PackageDirectory* dir = any.packageDirectory())
        for (const PackageEntry& e : dir->entries)
            if (!e.isReadable() && packageIdForHash(packageKind, e.hash) < 0)
                log.add(name, packageEntryMessage(*dir, e, e.damage));
}

void checkTileData(const QString& mulDir, ProblemLog& log)
{
    const QString name = QStringLiteral("tiledata.mul");
    if (!checkReadable(mulDir, name, true, log))
        return;
    const qint64 size = QFileInfo(mulPath(mulDir, name)).size();
    if (!isKnownTileDataSize(size))
        log.add(name, tr("%1: its size of %2 bytes is not a layout this editor can write").arg(name).arg(size));
}

void checkAnimData(const QString& mulDir, ProblemLog& log)
{
    const QString name = QStringLiteral("animdata.mul");
    if (!checkReadable(mulDir, name, true, log))
        return;
    const qint64 size = QFileInfo(mulPath(mulDir, name)).size();
    if (size == 0)
        log.add(name, tr("%1: empty").arg(name));
    else if (size % kAnimBlockSize != 0)
        log.add(name, tr("%1: its size of %2 bytes is no whole number of %3-byte blocks (it was cut short)")
                          .arg(name).arg(size).arg(kAnimBlockSize));
}

} // namespace

qint64 CheckStats::problemCount() const
{
    qint64 n = 0;
    for (const auto& file : problemsPerFile)
        n += file.second;
    return n;
}

QString CheckStats::problemsByFile() const
{
    QStringList parts;
    for (const auto& file : problemsPerFile)
        parts << QStringLiteral("%1 %2").arg(file.first).arg(file.second);
    return parts.join(QStringLiteral(", "));
}

QString recordProblem(const ArtDataFile& data, const IndexRecord& r, QImage* image, DecodeReport* report)
{
    DecodeReport local;
    if (!report)
        report = &local;
    *report = DecodeReport();
    if (image)
        *image = QImage();
    const qint64 size = data.size();
    if (r.offset < 0 || r.offset >= size)
        return tr("record at offset %1 starts outside %2 (%3 bytes)").arg(r.offset).arg(data.fileName()).arg(size);
    if (r.length < 0 || qint64(r.offset) + r.length > size)
        return tr("record of %1 bytes at offset %2 runs past the end of %3 (%4 bytes)")
            .arg(r.length).arg(r.offset).arg(data.fileName()).arg(size);
    const QImage decoded = data.decode(r, report);
    if (image)
        *image = decoded;
    if (decoded.isNull())
        return tr("record cannot be decoded");
    if (!report->complete)
        return tr("record is damaged or cut short");
    if (report->extent > r.length)
        return tr("record uses %1 bytes but its index gives a length of %2").arg(report->extent).arg(r.length);
    return QString();
}

QStringList checkDataDirectory(const QString& mulDir, CheckStats* stats)
{
    ProblemLog log;
    CheckStats s;
    for (int kind : { int(Land), int(Gump), int(Texture) }) {
        PackageKind packageKind;
        if (catalogueForm(mulDir, kind) == CatalogueForm::Package && packageKindOf(kind, &packageKind))
            checkPackage(mulDir, packageKind, log, s);
        else
            checkPair(mulDir, kind, log, s);
    }
    checkTileData(mulDir, log);
    checkAnimData(mulDir, log);
    s.problemsPerFile = log.counts();
    if (stats)
        *stats = s;
    return log.lines();
}

} // namespace qm
