#include "recordsource.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace qm {

namespace {

QString packagePath(const QString& mulDir, int kind, PackageKind* packageKind)
{
    PackageKind pk;
    if (!packageKindOf(kind, &pk))
        return QString();
    if (packageKind)
        *packageKind = pk;
    return mulPath(mulDir, packageFileName(pk));
}

constexpr int kCachedPackages = 4;

struct CachedDirectory {
    FileStamp stamp;
    std::shared_ptr<const PackageDirectory> dir;
};

} // namespace

CatalogueForm catalogueForm(const QString& mulDir, int kind)
{
    const QString path = packagePath(mulDir, kind, nullptr);
    return !path.isEmpty() && QFileInfo(path).isFile() ? CatalogueForm::Package : CatalogueForm::Pair;
}

QString catalogueFileName(int kind, CatalogueForm form)
{
    PackageKind pk;
    if (form == CatalogueForm::Package && packageKindOf(kind, &pk))
        return packageFileName(pk);
    return indexFileName(kind);
}

QString catalogueFileName(const QString& mulDir, int kind)
{
    return catalogueFileName(kind, catalogueForm(mulDir, kind));
}

QString catalogueFormName(CatalogueForm form)
{
    return form == CatalogueForm::Package ? QStringLiteral("package") : QStringLiteral("classic pair");
}

std::shared_ptr<const PackageDirectory> cachedPackageDirectory(const QString& path, QString* error)
{
    static QMutex mutex;
    static QHash<QString, CachedDirectory> cache;
    const QString key = QFileInfo(path).absoluteFilePath();
    const FileStamp stamp = stampOf(path);
    {
        QMutexLocker lock(&mutex);
        const auto it = cache.constFind(key);
        if (it != cache.constEnd() && it->stamp == stamp)
            return it->dir;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 cannot be opened: %2").arg(QFileInfo(path).fileName(), file.errorString());
        return nullptr;
    }
    // The tables lie scattered through the file; reading them from a map instead of one seek
    // and read per table keeps the listing as fast as reading an index file whole.
    const qint64 size = file.size();
    uchar* map = size > 0 ? file.map(0, size) : nullptr;
    QByteArray bytes = map ? QByteArray::fromRawData(reinterpret_cast<const char*>(map), size) : QByteArray();
    QBuffer mapped(&bytes);
    QIODevice* device = &file;
    if (map && mapped.open(QIODevice::ReadOnly))
        device = &mapped;
    auto dir = std::make_shared<PackageDirectory>();
    const bool ok = readPackageDirectory(*device, QFileInfo(path).fileName(), dir.get(), error);
    mapped.close();
    if (map)
        file.unmap(map);
    if (!ok)
        return nullptr;
    QMutexLocker lock(&mutex);
    // A session reads at most two packages; a few more are kept for tools that open several
    // directories, without the cache growing with every directory ever opened.
    if (cache.size() >= kCachedPackages && !cache.contains(key))
        cache.clear();
    cache.insert(key, { stamp, dir });
    return dir;
}

QString packageDamage(PackageKind kind, const PackageDirectory& dir)
{
    const PackageEntry* first = nullptr;
    int count = 0;
    for (const PackageEntry& e : dir.entries) {
        if (e.isReadable())
            continue;
        if (!first)
            first = &e;
        ++count;
    }
    if (!first)
        return QString();
    QString text = packageEntryMessage(dir, *first, first->damage, packageEntryLabel(kind, first->hash));
    if (count > 1)
        text += QStringLiteral(" (and %1 more damaged entries)").arg(count - 1);
    return text;
}

void readPackageCatalogue(const QString& mulDir, PackageKind kind, Catalogues& c)
{
    const QString path = mulPath(mulDir, packageFileName(kind));
    const QVector<int> kinds = kind == PackageKind::Art ? QVector<int> { Land, Static } : QVector<int> { Gump };
    QString error;
    const auto dir = cachedPackageDirectory(path, &error);
    for (int k : kinds) {
        c.listed[k].clear();
        c.free[k].clear();
        c.indexRead[k] = dir != nullptr;
        c.damage[k] = dir ? packageDamage(kind, *dir) : error;
    }
    if (!dir)
        return;
    const int count = packageIdCount(kind);
    std::vector<char> present(size_t(count), 0);
    for (int k : kinds)
        c.listed[k].reserve(dir->entries.size());
    // Packages list their entries in id order as a rule: the id after the previous entry's
    // is tried first (one comparison with the next precomputed hash) before a lookup among
    // all ids, which misses the cache.
    int next = 0;
    for (const PackageEntry& e : dir->entries) {
        const int id = next < count && packageEntryHash(kind, next) == e.hash ? next : packageIdForHash(kind, e.hash);
        if (id >= 0) {
            present[size_t(id)] = 1;
            next = id + 1;
        }
    }
    // Package ids by item kind: one range per kind, in package id order.
    static_assert(kArtPackageIdCount == kArtRecordCount, "art package ids are land ids, then static ids");
    for (int k : kinds) {
        const int first = kind == PackageKind::Art ? artPackageId(k, 0) : 0;
        const int last = k == Land ? kLandCount : count;   // one past
        QVector<int>& listed = c.listed[k];
        FreeIds& free = c.free[k];
        for (int id = first; id < last; ++id) {
            if (present[size_t(id)])
                listed.append(id - first);
            else
                free.insert(quint32(id - first));
        }
    }
}

RecordSource::RecordSource(const QString& mulDir, int kind)
    : m_mulDir(mulDir)
    , m_kind(kind)
    , m_form(catalogueForm(mulDir, kind))
{
    if (!isValidKind(kind)) {
        m_error = QStringLiteral("no such item kind");
        return;
    }
    m_name = m_form == CatalogueForm::Package ? catalogueFileName(kind, m_form) : dataFileName(kind);
    if (m_form == CatalogueForm::Package) {
        m_dir = cachedPackageDirectory(mulPath(mulDir, m_name), &m_error);
        if (!m_dir)
            return;
    } else {
        m_index = std::make_unique<ArtDataFile>(mulDir, kind, indexFileName(kind));
    }
    m_data = std::make_unique<ArtDataFile>(mulDir, kind, m_name);
    if (!m_data->isOpen()) {
        m_error = QStringLiteral("%1 cannot be read: %2").arg(m_name, m_data->errorString());
        return;
    }
    m_open = true;
}

RecordSource::~RecordSource() = default;

QByteArray RecordSource::mapped(quint64 offset, quint64 length) const
{
    const QByteArray rest = offset > quint64(m_data->size()) ? QByteArray() : m_data->bytesFrom(qint64(offset));
    if (length > quint64(rest.size()))
        return QByteArray();
    return QByteArray::fromRawData(rest.constData(), qsizetype(length));
}

bool RecordSource::read(int id, ItemRecord* out, QString* error) const
{
    *out = ItemRecord();
    QString localError;
    if (!error)
        error = &localError;
    if (!m_open) {
        *error = m_error;
        return false;
    }
    if (id < 0)
        return true;
    return m_form == CatalogueForm::Package ? readPackage(id, out, error) : readPair(id, out, error);
}

bool RecordSource::readPair(int id, ItemRecord* out, QString* error) const
{
    if ((m_kind == Land && id >= kLandCount) || (m_kind == Static && id >= kStaticCount))
        return true;
    if (!m_index->isOpen()) {
        *error = QStringLiteral("%1 cannot be opened: %2").arg(indexFileName(m_kind), m_index->errorString());
        return false;
    }
    const qint64 pos = indexRecordNumber(m_kind, id) * kIndexRecordSize;
    if (pos + kIndexRecordSize > m_index->size())
        return true;
    const QByteArray bytes = m_index->bytesFrom(pos);
    if (bytes.size() < kIndexRecordSize)
        return true;
    const IndexRecord r = indexRecordAt(bytes, 0);
    if (r.isEmpty())
        return true;
    out->found = true;
    out->extra = r.extra;
    // Static and gump records don't state their length to the decoders, so a record is the
    // bytes from its offset to the end of the file; the decoders' checks stay inside it.
    out->bytes = m_data->bytesFrom(r.offset);
    return true;
}

bool RecordSource::readPackage(int id, ItemRecord* out, QString* error) const
{
    PackageKind pk;
    packageKindOf(m_kind, &pk);
    const int packageId = pk == PackageKind::Art ? artPackageId(m_kind, id) : id;
    if (packageId < 0 || packageId >= packageIdCount(pk))
        return true;
    const PackageEntry* entry = m_dir->find(packageEntryHash(pk, packageId));
    if (!entry)
        return true;
    // Built only for a message: reading thousands of entries must not format their names.
    const auto fail = [&](const QString& why) {
        *error = packageEntryMessage(*m_dir, *entry, why, packageEntryLabel(pk, entry->hash));
        return false;
    };
    if (!entry->isReadable())
        return fail(entry->damage);
    QByteArray data;
    const bool stored = entry->compression == PackageStored;
    if (stored) {
        data = mapped(entry->dataOffset(), entry->storedLength);
        if (data.isNull() && entry->storedLength > 0)
            return fail(QStringLiteral("its data lies outside the file"));
    } else {
        QString why;
        if (!inflateExactly(mapped(entry->dataOffset(), entry->storedLength), entry->dataLength, &data, &why))
            return fail(why);
    }
    out->found = true;
    if (pk == PackageKind::Art) {
        out->bytes = data;
        return true;
    }
    GumpEntry gump;
    QString why;
    if (!splitGumpEntry(data.left(kGumpEntryPrefixSize), &gump, &why))
        return fail(why);
    // A stored entry's record stays in the map; an inflated one is owned by `data`.
    const qsizetype recordSize = data.size() - kGumpEntryPrefixSize;
    out->bytes = stored ? QByteArray::fromRawData(data.constData() + kGumpEntryPrefixSize, recordSize)
                        : data.mid(kGumpEntryPrefixSize);
    out->extra = gumpExtraFor(gump.width, gump.height);
    return true;
}

QImage RecordSource::decode(int id, DecodeReport* report, QString* error) const
{
    if (report)
        *report = DecodeReport();
    ItemRecord record;
    if (!read(id, &record, error)) {
        if (report)
            report->complete = false;
        return QImage();
    }
    if (!record.found)
        return QImage();
    if (record.bytes.isEmpty()) {
        if (report)
            report->complete = false;
        return QImage();
    }
    return decodeRecord(m_kind, record.bytes, record.extra, report);
}

QImage RecordSource::decodeColored(int id, const QRgb* colors) const
{
    ItemRecord record;
    if (!read(id, &record, nullptr) || !record.found || record.bytes.isEmpty())
        return QImage();
    return decodeRecordColored(m_kind, record.bytes, record.extra, colors);
}

} // namespace qm
