#include "packagenames.h"

#include "indexfile.h"
#include "itemkind.h"
#include "littleendian.h"
#include "packagefile.h"
#include "packagehash.h"

#include <QHash>
#include <QVector>

namespace qm {

namespace {

const char* namePrefix(PackageKind kind)
{
    return kind == PackageKind::Art ? "build/artlegacymul/" : "build/gumpartlegacymul/";
}

// Every id's hash, computed once: readers look an id's entry up many times.
QVector<quint64> buildHashes(PackageKind kind)
{
    QVector<quint64> hashes(packageIdCount(kind));
    // The names differ only in their 8 digits: one buffer, rewritten in place.
    QByteArray name = packageEntryName(kind, 0);
    char* digits = name.data() + name.size() - 12;
    for (int id = 0; id < hashes.size(); ++id) {
        for (int i = 7, rest = id; i >= 0; --i, rest /= 10)
            digits[i] = char('0' + rest % 10);
        hashes[id] = packageNameHash(name);
    }
    return hashes;
}

const QVector<quint64>& hashesOf(PackageKind kind)
{
    // Function-local statics: built on first use, once, even with several threads.
    static const QVector<quint64> art = buildHashes(PackageKind::Art);
    static const QVector<quint64> gump = buildHashes(PackageKind::Gump);
    return kind == PackageKind::Art ? art : gump;
}

QHash<quint64, int> buildIdsByHash(PackageKind kind)
{
    const QVector<quint64>& hashes = hashesOf(kind);
    QHash<quint64, int> ids;
    ids.reserve(hashes.size());
    for (int id = 0; id < hashes.size(); ++id)
        ids.insert(hashes[id], id);
    return ids;
}

} // namespace

QString packageFileName(PackageKind kind)
{
    return kind == PackageKind::Art ? QStringLiteral("artLegacyMUL.uop")
                                    : QStringLiteral("gumpartLegacyMUL.uop");
}

int packageIdCount(PackageKind kind)
{
    return kind == PackageKind::Art ? kArtPackageIdCount : kGumpPackageIdCount;
}

QByteArray packageEntryName(PackageKind kind, int id)
{
    if (id < 0 || id >= packageIdCount(kind))
        return QByteArray();
    char digits[9];
    for (int i = 7, rest = id; i >= 0; --i, rest /= 10)
        digits[i] = char('0' + rest % 10);
    digits[8] = '\0';
    return namePrefix(kind) + QByteArray(digits, 8) + ".tga";
}

quint64 packageEntryHash(PackageKind kind, int id)
{
    return id < 0 || id >= packageIdCount(kind) ? 0 : hashesOf(kind)[id];
}

int packageIdForHash(PackageKind kind, quint64 hash)
{
    // Function-local statics: built on first use, once, even with several threads.
    static const QHash<quint64, int> art = buildIdsByHash(PackageKind::Art);
    static const QHash<quint64, int> gump = buildIdsByHash(PackageKind::Gump);
    return (kind == PackageKind::Art ? art : gump).value(hash, -1);
}

QString packageEntryLabel(PackageKind kind, quint64 hash)
{
    const int id = packageIdForHash(kind, hash);
    int itemKind = Gump, itemId = id;
    if (id < 0 || (kind == PackageKind::Art && !itemOfArtPackageId(id, &itemKind, &itemId)))
        return packageHashLabel(hash);
    return itemName(itemKind, itemId);
}

bool packageKindOf(int itemKind, PackageKind* out)
{
    if (itemKind == Land || itemKind == Static) {
        *out = PackageKind::Art;
        return true;
    }
    if (itemKind == Gump) {
        *out = PackageKind::Gump;
        return true;
    }
    return false;
}

int artPackageId(int itemKind, int id)
{
    if (itemKind == Land && id >= 0 && id < kLandCount)
        return id;
    if (itemKind == Static && id >= 0 && id < kStaticCount)
        return kLandCount + id;
    return -1;
}

bool itemOfArtPackageId(int artId, int* itemKind, int* id)
{
    if (artId < 0 || artId >= kArtRecordCount)
        return false;
    *itemKind = artId < kLandCount ? Land : Static;
    *id = artId < kLandCount ? artId : artId - kLandCount;
    return true;
}

bool splitGumpEntry(const QByteArray& data, GumpEntry* out, QString* reason)
{
    if (data.size() < kGumpEntryPrefixSize) {
        *reason = QStringLiteral("the entry has %1 bytes, fewer than its width and height need")
                      .arg(data.size());
        return false;
    }
    const qint32 width = readI32(data.constData());
    const qint32 height = readI32(data.constData() + 4);
    if (width < 1 || width > kGumpSideLimit || height < 1 || height > kGumpSideLimit) {
        *reason = QStringLiteral("its size %1 x %2 is outside 1 to %3").arg(width).arg(height).arg(kGumpSideLimit);
        return false;
    }
    out->width = width;
    out->height = height;
    out->record = data.mid(kGumpEntryPrefixSize);
    return true;
}

QByteArray gumpEntryData(int width, int height, const QByteArray& record)
{
    QByteArray out;
    out.reserve(kGumpEntryPrefixSize + record.size());
    appendU32(out, quint32(width));
    appendU32(out, quint32(height));
    out += record;
    return out;
}

} // namespace qm
