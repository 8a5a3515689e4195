#include "indexfile.h"

#include "recordsource.h"

#include "indexdamage.h"
#include "littleendian.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace qm {

QString indexFileName(int kind)
{
    switch (kind) {
    case Land:
    case Static: return QStringLiteral("artidx.mul");
    case Gump: return QStringLiteral("gumpidx.mul");
    case Texture: return QStringLiteral("texidx.mul");
    default: return QString();
    }
}

QString dataFileName(int kind)
{
    switch (kind) {
    case Land:
    case Static: return QStringLiteral("art.mul");
    case Gump: return QStringLiteral("gumpart.mul");
    case Texture: return QStringLiteral("texmaps.mul");
    default: return QString();
    }
}

QString mulPath(const QString& mulDir, const QString& fileName)
{
    return mulDir + QLatin1Char('/') + fileName;
}

qint64 indexRecordNumber(int kind, int id)
{
    return kind == Static ? qint64(id) + kLandCount : qint64(id);
}

IndexRecord indexRecordAt(const QByteArray& indexBytes, qint64 number)
{
    IndexRecord r;
    if (number < 0 || (number + 1) * kIndexRecordSize > indexBytes.size())
        return r;
    const char* p = indexBytes.constData() + number * kIndexRecordSize;
    r.offset = readI32(p);
    r.length = readI32(p + 4);
    r.extra = readU32(p + 8);
    return r;
}

void appendIndexRecord(QByteArray& out, const IndexRecord& r)
{
    appendU32(out, quint32(r.offset));
    appendU32(out, quint32(r.length));
    appendU32(out, r.extra);
}

IndexRecord readIndexRecord(const QString& mulDir, int kind, int id, bool* found)
{
    if (found)
        *found = false;
    if (!isValidKind(kind) || id < 0)
        return IndexRecord();
    QFile f(mulPath(mulDir, indexFileName(kind)));
    if (!f.open(QIODevice::ReadOnly))
        return IndexRecord();
    const qint64 pos = indexRecordNumber(kind, id) * kIndexRecordSize;
    if (pos + kIndexRecordSize > f.size() || !f.seek(pos))
        return IndexRecord();
    const QByteArray bytes = f.read(kIndexRecordSize);
    if (bytes.size() != kIndexRecordSize)
        return IndexRecord();
    if (found)
        *found = true;
    return indexRecordAt(bytes, 0);
}

namespace {

// A missing file is no damage: its catalogue is simply empty.
QByteArray readWholeFile(const QString& path, bool* ok, QString* damage = nullptr)
{
    QFile f(path);
    *ok = false;
    if (!f.open(QIODevice::ReadOnly)) {
        if (damage && QFileInfo::exists(path))
            *damage = QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return QByteArray();
    }
    const QByteArray bytes = f.readAll();
    *ok = bytes.size() == f.size();
    if (!*ok && damage)
        *damage = QStringLiteral("%1 cannot be read whole: %2").arg(QDir::toNativeSeparators(path), f.errorString());
    return *ok ? bytes : QByteArray();
}

// Only the offset decides emptiness: offset 0 with length 0 is a present entry.
bool recordIsEmpty(const QByteArray& bytes, qint64 number)
{
    if ((number + 1) * kIndexRecordSize > bytes.size())
        return true;
    return readI32(bytes.constData() + number * kIndexRecordSize) == -1;
}

} // namespace

bool Catalogues::isListed(int kind, int id) const
{
    return std::binary_search(listed[kind].cbegin(), listed[kind].cend(), id);
}

void Catalogues::list(int kind, int id)
{
    QVector<int>& ids = listed[kind];
    const auto at = std::lower_bound(ids.begin(), ids.end(), id);
    if (at == ids.end() || *at != id)
        ids.insert(at, id);
    free[kind].erase(quint32(id));
}

void Catalogues::unlist(int kind, int id)
{
    QVector<int>& ids = listed[kind];
    const auto at = std::lower_bound(ids.begin(), ids.end(), id);
    if (at != ids.end() && *at == id)
        ids.erase(at);
    if (id >= 0)
        free[kind].insert(quint32(id));
}

Catalogues readCatalogues(const QString& mulDir)
{
    Catalogues c;
    bool ok = false;
    const bool artPackage = catalogueForm(mulDir, Land) == CatalogueForm::Package;
    const QByteArray art = artPackage ? QByteArray()
                                      : readWholeFile(mulPath(mulDir, indexFileName(Land)), &ok, &c.damage[Land]);
    if (artPackage)
        readPackageCatalogue(mulDir, PackageKind::Art, c);
    else
        c.damage[Static] = c.damage[Land];
    if (ok) {
        c.indexRead[Land] = c.indexRead[Static] = true;
        c.damage[Land] = c.damage[Static] = qm::indexDamage(mulDir, Land);
        c.listed[Land].reserve(kLandCount);
        c.listed[Static].reserve(kStaticCount);
        for (int i = 0; i < kArtRecordCount; ++i) {
            const int kind = i < kLandCount ? Land : Static;
            const int id = i < kLandCount ? i : i - kLandCount;
            if (recordIsEmpty(art, i))
                c.free[kind].insert(quint32(id));
            else
                c.listed[kind].append(id);
        }
    }
    for (int kind : { int(Gump), int(Texture) }) {
        if (catalogueForm(mulDir, kind) == CatalogueForm::Package) {
            readPackageCatalogue(mulDir, PackageKind::Gump, c);
            continue;
        }
        const QByteArray idx = readWholeFile(mulPath(mulDir, indexFileName(kind)), &ok, &c.damage[kind]);
        if (!ok)
            continue;
        c.indexRead[kind] = true;
        c.damage[kind] = qm::indexDamage(mulDir, kind);
        const qint64 count = idx.size() / kIndexRecordSize;
        for (qint64 i = 0; i < count; ++i) {
            if (recordIsEmpty(idx, i))
                c.free[kind].insert(quint32(i));
            else
                c.listed[kind].append(int(i));
        }
    }
    return c;
}

bool catalogueSafeToSave(const QString& mulDir, bool indexRead, int kind, QString* error)
{
    const QString path = mulPath(mulDir, catalogueFileName(mulDir, kind));
    if (indexRead || !QFileInfo::exists(path))
        return true;
    if (error)
        *error = QStringLiteral("%1 could not be read when the directory was opened, so the %2 list is "
                                "empty; saving now would mark every entry deleted. Open the directory "
                                "again (restart the program) before saving")
                     .arg(QDir::toNativeSeparators(path), kindName(kind));
    return false;
}

QString itemIdRangeError(int kind, qint64 id)
{
    qint64 largest = kGrownIndexLimit - 1;
    if (kind == Land)
        largest = kLandCount - 1;
    else if (kind == Static)
        largest = kStaticCount - 1;
    if (id >= 0 && id <= largest)
        return QString();
    return QStringLiteral("%1 ids run from 0 to %2; %3 cannot be stored")
        .arg(kindName(kind))
        .arg(largest)
        .arg(id);
}

FileStamp stampOf(const QString& path)
{
    const QFileInfo info(path);
    FileStamp stamp;
    if (info.exists()) {
        stamp.size = info.size();
        stamp.modifiedMs = info.lastModified().toMSecsSinceEpoch();
#ifdef Q_OS_UNIX
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) == 0)
            stamp.inode = quint64(st.st_ino);
#endif
    }
    return stamp;
}

} // namespace qm
