#include "packagewriter.h"

#include "littleendian.h"

#include <QIODevice>

#include <algorithm>

namespace qm {

namespace {

constexpr qint64 kCopyBufferSize = 1 << 20;

void putU64(char* p, quint64 v) { qToLittleEndian<quint64>(v, p); }

void putEntryHeader(char* p, const PackageEntry& e)
{
    putU64(p, e.offset);
    writeU32(p + 8, e.metadataLength);
    writeU32(p + 12, e.storedLength);
    writeU32(p + 16, e.dataLength);
    putU64(p + 20, e.hash);
    writeU32(p + 28, e.checksum);
    writeU16(p + 32, e.compression);
}

QByteArray fileHeader(const PackageHeader& format, quint32 entryCount)
{
    QByteArray head(int(kPackageFirstTableOffset), '\0');
    char* p = head.data();
    std::copy(kPackageMagic, kPackageMagic + 4, p);
    writeU32(p + 4, format.version);
    writeU32(p + 8, format.signature);
    putU64(p + 12, quint64(kPackageFirstTableOffset));
    writeU32(p + 20, format.capacity);
    writeU32(p + 24, entryCount);
    return head;
}

class PackageOutput {
public:
    PackageOutput(QIODevice& out, const QString& fileName, QString* error)
        : m_out(out), m_fileName(fileName), m_error(error) {}

    bool write(const char* data, qint64 length)
    {
        if (m_out.write(data, length) == length)
            return true;
        *m_error = QStringLiteral("Cannot write %1: %2").arg(m_fileName, m_out.errorString());
        return false;
    }
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    bool seek(qint64 pos)
    {
        if (m_out.seek(pos))
            return true;
        *m_error = QStringLiteral("Cannot write %1: %2").arg(m_fileName, m_out.errorString());
        return false;
    }
    qint64 pos() const { return m_out.pos(); }
    bool fail(const QString& reason)
    {
        *m_error = QStringLiteral("Cannot write %1: %2").arg(m_fileName, reason);
        return false;
    }

private:
    QIODevice& m_out;
    QString m_fileName;
    QString* m_error;
};

// Copies a kept entry's whole block (metadata and stored bytes) from the source package.
bool copyBlock(PackageOutput& out, const PackageWriteSource& source, const PackageEntry& e,
               QByteArray& buffer)
{
    QIODevice& in = *source.device;
    if (!in.seek(qint64(e.offset)))
        return out.fail(packageEntryMessage(*source.directory, e, in.errorString()));
    for (qint64 left = qint64(e.blockLength()); left > 0;) {
        const qint64 chunk = std::min(left, kCopyBufferSize);
        if (in.read(buffer.data(), chunk) != chunk)
            return out.fail(packageEntryMessage(*source.directory, e,
                                                QStringLiteral("its data cannot be read")));
        if (!out.write(buffer.constData(), chunk))
            return false;
        left -= chunk;
    }
    return true;
}

} // namespace

QVector<PackageWriteItem> planPackageWrite(PackageKind kind, const QVector<int>& ids,
                                           const PackageDirectory* source,
                                           const std::function<bool(int id)>& keepStored)
{
    QVector<int> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QVector<PackageWriteItem> items;
    items.reserve(sorted.size());
    for (int id : sorted) {
        PackageWriteItem item;
        item.id = id;
        item.hash = packageEntryHash(kind, id);
        if (source && keepStored && keepStored(id)) {
            const auto found = source->indexByHash.constFind(item.hash);
            if (found != source->indexByHash.constEnd() && source->entries[*found].isReadable())
                item.keptIndex = *found;
        }
        items << item;
    }
    if (source) {
        for (int i = 0; i < source->entries.size(); ++i) {
            if (packageIdForHash(kind, source->entries[i].hash) >= 0)
                continue;
            PackageWriteItem item;
            item.hash = source->entries[i].hash;
            item.keptIndex = i;
            items << item;
        }
    }
    return items;
}

PackageHeader packageFormatFrom(const PackageDirectory* source)
{
    PackageHeader format;
    if (!source)
        return format;
    format.version = source->header.version;
    format.signature = source->header.signature;
    if (source->header.capacity > 0 && source->header.capacity <= kPackageCapacityLimit)
        format.capacity = source->header.capacity;
    return format;
}

bool writePackage(QIODevice& device, const QString& fileName, const PackageHeader& format,
                  const QVector<PackageWriteItem>& items, const PackageWriteSource& source,
                  const PackageEntryData& newData, QString* error)
{
    PackageOutput out(device, fileName, error);
    const quint32 capacity = format.capacity;
    if (capacity == 0 || capacity > kPackageCapacityLimit)
        return out.fail(QStringLiteral("a table capacity of %1 entries").arg(capacity));
    if (!out.write(fileHeader(format, quint32(items.size()))))
        return false;

    const qint64 tableLength = kPackageTableHeadSize + qint64(capacity) * kPackageEntryHeaderSize;
    QByteArray table;
    QByteArray buffer;
    qsizetype next = 0;
    // A package without entries still has one (empty) table.
    do {
        const qint64 tableAt = out.pos();
        table.fill('\0', tableLength);
        if (!out.write(table))
            return false;
        const qsizetype end = std::min<qsizetype>(items.size(), next + capacity);
        for (qsizetype i = next; i < end; ++i) {
            const PackageWriteItem& item = items[i];
            if (item.hash == 0 && item.keptIndex < 0)
                return out.fail(QStringLiteral("id %1 has no name in a package").arg(item.id));
            PackageEntry header;
            header.offset = quint64(out.pos());
            header.hash = item.hash;
            if (item.keptIndex >= 0) {
                if (!source.directory || !source.device || item.keptIndex >= source.directory->entries.size())
                    return out.fail(QStringLiteral("a kept entry has no source"));
                const PackageEntry& kept = source.directory->entries[item.keptIndex];
                if (!kept.isReadable())
                    return out.fail(packageEntryMessage(*source.directory, kept, kept.damage));
                if (source.copyBlock) {
                    if (!source.copyBlock(kept, error))
                        return false;
                } else {
                    if (buffer.isEmpty())
                        buffer.resize(kCopyBufferSize);
                    if (!copyBlock(out, source, kept, buffer))
                        return false;
                }
                header.metadataLength = kept.metadataLength;
                header.storedLength = kept.storedLength;
                header.dataLength = kept.dataLength;
                header.checksum = kept.checksum;
                header.compression = kept.compression;
            } else {
                QByteArray data;
                if (!newData || !newData(item, &data, error))
                    return false;
                if (quint64(data.size()) > kPackageEntryDataLimit)
                    return out.fail(QStringLiteral("%1: %2 bytes are more than an entry may hold")
                                        .arg(packageHashLabel(item.hash)).arg(data.size()));
                if (!out.write(data))
                    return false;
                header.storedLength = header.dataLength = quint32(data.size());
            }
            putEntryHeader(table.data() + kPackageTableHeadSize + (i - next) * kPackageEntryHeaderSize, header);
        }
        const qint64 dataEnd = out.pos();
        const bool last = end == items.size();
        writeU32(table.data(), capacity);
        putU64(table.data() + 4, last ? 0 : quint64(dataEnd));
        if (!out.seek(tableAt) || !out.write(table) || !out.seek(dataEnd))
            return false;
        next = end;
    } while (next < items.size());
    return true;
}

} // namespace qm
