#include "packagefile.h"

#include "littleendian.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include <zlib.h>

namespace qm {

namespace {

quint64 readU64(const char* p) { return qFromLittleEndian<quint64>(p); }

struct Span {
    quint64 begin = 0;
    quint64 end = 0;   // one past the last byte
};

bool readAt(QIODevice& device, quint64 offset, qint64 length, QByteArray* out)
{
    if (!device.seek(qint64(offset)))
        return false;
    *out = device.read(length);
    return out->size() == length;
}

// The tables seen so far, by their first byte. A new table is refused when it starts where
// one was already read (a loop) or shares bytes with one.
class TableSpans {
public:
    enum Result { Added, Revisited, Overlaps };

    Result add(const Span& s)
    {
        if (m_spans.count(s.begin))
            return Revisited;
        const auto next = m_spans.lower_bound(s.begin);
        if (next != m_spans.end() && next->first < s.end)
            return Overlaps;
        if (next != m_spans.begin() && std::prev(next)->second > s.begin)
            return Overlaps;
        m_spans.emplace(s.begin, s.end);
        return Added;
    }
    // Whether any table shares a byte with `s` (which is not empty). Asked for every entry
    // once all tables are read: a sorted array, searched without a tree's pointer chase.
    bool overlaps(const Span& s) const
    {
        if (m_sorted.size() != m_spans.size()) {
            m_sorted.clear();
            for (const auto& [begin, end] : m_spans)
                m_sorted.push_back({ begin, end });
        }
        // The first table starting after `s`: where the previous question's was, as a rule,
        // since entries are mostly asked about in file order.
        const size_t n = m_sorted.size();
        const auto startsAfter = [&](size_t k) { return k == n || m_sorted[k].begin > s.begin; };
        size_t after = m_hint;
        if (!(startsAfter(after) && (after == 0 || !startsAfter(after - 1)))) {
            after = size_t(std::upper_bound(m_sorted.cbegin(), m_sorted.cend(), s.begin,
                                            [](quint64 at, const Span& t) { return at < t.begin; })
                           - m_sorted.cbegin());
            m_hint = after;
        }
        if (after != n && m_sorted[after].begin < s.end)
            return true;
        return after != 0 && m_sorted[after - 1].end > s.begin;
    }

private:
    std::map<quint64, quint64> m_spans;
    mutable std::vector<Span> m_sorted;   // m_spans as an array, made on the first overlaps()
    mutable size_t m_hint = 0;
};

PackageEntry parseEntryHeader(const char* p)
{
    PackageEntry e;
    e.offset = readU64(p);
    e.metadataLength = readU32(p + 8);
    e.storedLength = readU32(p + 12);
    e.dataLength = readU32(p + 16);
    e.hash = readU64(p + 20);
    e.checksum = readU32(p + 28);
    e.compression = readU16(p + 32);
    return e;
}

// The damage one entry shows on its own: everything but overlaps with other entries.
QString entryDamage(const PackageEntry& e, quint64 fileSize, const TableSpans& tables)
{
    if (e.offset > fileSize || e.blockLength() > fileSize - e.offset)
        return QStringLiteral("its data runs past the end of the file");
    if (e.compression != PackageStored && e.compression != PackageZlib)
        return QStringLiteral("its compression %1 is unknown").arg(e.compression);
    const quint32 produced = e.compression == PackageZlib ? e.dataLength : e.storedLength;
    if (produced > kPackageEntryDataLimit)
        return QStringLiteral("its %1 bytes of data are more than an entry may hold").arg(produced);
    const Span block { e.offset, e.offset + e.blockLength() };
    if (block.end == block.begin)
        return QString();
    if (block.begin < quint64(kPackageHeaderSize))
        return QStringLiteral("its data overlaps the file header");
    if (tables.overlaps(block))
        return QStringLiteral("its data overlaps an entry table");
    return QString();
}

// Marks both entries of every overlapping pair. Sorted by start, a block overlaps an earlier
// one exactly when it starts before the furthest end so far, and a later one exactly when
// the next block starts before its own end.
void markOverlappingEntries(QVector<PackageEntry>& entries, quint64 fileSize)
{
    std::vector<std::pair<quint64, int>> order;   // (first byte, entry)
    order.reserve(size_t(entries.size()));
    for (int i = 0; i < entries.size(); ++i) {
        const PackageEntry& e = entries[i];
        const bool inFile = e.offset <= fileSize && e.blockLength() <= fileSize - e.offset;
        if (inFile && e.blockLength() > 0)
            order.emplace_back(e.offset, i);
    }
    // Packages store their blocks in table order, so this is mostly a check.
    if (!std::is_sorted(order.begin(), order.end()))
        std::sort(order.begin(), order.end());
    std::vector<bool> overlapping(order.size(), false);
    quint64 furthestEnd = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const quint64 begin = order[k].first;
        const quint64 end = begin + entries[order[k].second].blockLength();
        if (k > 0 && begin < furthestEnd)
            overlapping[k] = true;
        if (k + 1 < order.size() && order[k + 1].first < end)
            overlapping[k] = true;
        furthestEnd = std::max(furthestEnd, end);
    }
    for (size_t k = 0; k < order.size(); ++k) {
        PackageEntry& e = entries[order[k].second];
        if (overlapping[k] && e.damage.isEmpty())
            e.damage = QStringLiteral("its data overlaps another entry");
    }
}

QString packageError(const QString& fileName, const QString& reason)
{
    return QStringLiteral("%1: %2").arg(fileName, reason);
}

} // namespace

const PackageEntry* PackageDirectory::find(quint64 hash) const
{
    const auto it = indexByHash.constFind(hash);
    return it == indexByHash.constEnd() ? nullptr : &entries[*it];
}

int PackageDirectory::damagedEntryCount() const
{
    return int(std::count_if(entries.cbegin(), entries.cend(),
                             [](const PackageEntry& e) { return !e.isReadable(); }));
}

bool readPackageDirectory(QIODevice& device, const QString& fileName, PackageDirectory* out,
                          QString* error)
{
    const quint64 fileSize = quint64(std::max<qint64>(device.size(), 0));
    const auto fail = [&](const QString& reason) {
        *error = packageError(fileName, reason);
        return false;
    };
    QByteArray head;
    if (!readAt(device, 0, kPackageHeaderSize, &head))
        return fail(QStringLiteral("the file is too short to be a package"));
    if (!head.startsWith(QByteArray(kPackageMagic, 4)))
        return fail(QStringLiteral("the file is not a package"));

    PackageDirectory dir;
    dir.fileName = fileName;
    dir.header.version = readU32(head.constData() + 4);
    dir.header.signature = readU32(head.constData() + 8);
    dir.header.firstTable = readU64(head.constData() + 12);
    dir.header.capacity = readU32(head.constData() + 20);
    dir.header.entryCount = readU32(head.constData() + 24);

    // The stored count is only a hint, trusted no further than the file's size allows.
    const qsizetype expected = qsizetype(std::min<quint64>(dir.header.entryCount, fileSize / kPackageEntryHeaderSize));
    dir.entries.reserve(expected);
    dir.indexByHash.reserve(expected);

    TableSpans tables;
    QByteArray bytes;
    for (quint64 at = dir.header.firstTable; at != 0;) {
        const QString where = QStringLiteral("the entry table at %1 ").arg(at);
        if (at < quint64(kPackageHeaderSize))
            return fail(where + QStringLiteral("lies inside the file header"));
        if (at > fileSize || fileSize - at < quint64(kPackageTableHeadSize))
            return fail(where + QStringLiteral("lies outside the file"));
        if (!readAt(device, at, kPackageTableHeadSize, &bytes))
            return fail(where + QStringLiteral("cannot be read: ") + device.errorString());
        const quint32 count = readU32(bytes.constData());
        const quint64 next = readU64(bytes.constData() + 4);
        const quint64 length = kPackageTableHeadSize + quint64(count) * kPackageEntryHeaderSize;
        if (length > fileSize - at)
            return fail(where + QStringLiteral("runs past the end of the file"));
        switch (tables.add({ at, at + length })) {
        case TableSpans::Revisited:
            return fail(QStringLiteral("the chain of entry tables returns to the table at %1").arg(at));
        case TableSpans::Overlaps:
            return fail(where + QStringLiteral("overlaps another entry table"));
        case TableSpans::Added:
            break;
        }
        if (!readAt(device, at + kPackageTableHeadSize, qint64(length) - kPackageTableHeadSize, &bytes))
            return fail(where + QStringLiteral("cannot be read: ") + device.errorString());
        // The index's slots are scattered: each is asked for a few entries ahead, so that
        // the memory waits overlap instead of adding up.
        constexpr quint32 kAhead = 8;
        const auto hashAt = [&](quint32 i) {
            return readU64(bytes.constData() + qsizetype(i) * kPackageEntryHeaderSize + 20);
        };
        for (quint32 i = 0; i < std::min(count, kAhead); ++i)
            dir.indexByHash.prefetch(hashAt(i));
        for (quint32 i = 0; i < count; ++i) {
            if (i + kAhead < count)
                dir.indexByHash.prefetch(hashAt(i + kAhead));
            PackageEntry e = parseEntryHeader(bytes.constData() + qsizetype(i) * kPackageEntryHeaderSize);
            if (e.offset == 0)
                continue;   // an unused header, whatever else it holds
            if (!dir.indexByHash.insert(e.hash, int(dir.entries.size())))
                return fail(QStringLiteral("two entries have the hash 0x%1")
                                .arg(e.hash, 16, 16, QLatin1Char('0')));
            dir.entries << e;
        }
        at = next;
    }
    for (PackageEntry& e : dir.entries)
        e.damage = entryDamage(e, fileSize, tables);
    markOverlappingEntries(dir.entries, fileSize);
    *out = std::move(dir);
    return true;
}

bool readPackageDirectory(const QString& path, PackageDirectory* out, QString* error)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = packageError(name, QStringLiteral("cannot be opened: ") + file.errorString());
        return false;
    }
    return readPackageDirectory(file, name, out, error);
}

QString packageHashLabel(quint64 hash)
{
    return QStringLiteral("entry 0x%1").arg(hash, 16, 16, QLatin1Char('0'));
}

QString packageEntryMessage(const PackageDirectory& dir, const PackageEntry& entry,
                            const QString& reason, const QString& label)
{
    return QStringLiteral("%1: %2: %3")
        .arg(dir.fileName, label.isEmpty() ? packageHashLabel(entry.hash) : label, reason);
}

bool inflateExactly(const QByteArray& stored, quint32 expectedLength, QByteArray* out,
                    QString* reason)
{
    z_stream z {};
    if (inflateInit(&z) != Z_OK) {
        *reason = QStringLiteral("the decompressor cannot start");
        return false;
    }
    // One byte of room past the expected length shows a stream that makes more. The buffer
    // starts small and grows with the output, so a header that merely claims a large length
    // costs nothing.
    const qsizetype room = qsizetype(expectedLength) + 1;
    QByteArray buffer(std::min<qsizetype>(room, std::max<qsizetype>(4 * stored.size(), 4096)), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stored.constData()));
    z.avail_in = uInt(stored.size());
    int status = Z_OK;
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(buffer.data()) + z.total_out;
        z.avail_out = uInt(buffer.size() - qsizetype(z.total_out));
        status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_STREAM_END || (status != Z_OK && status != Z_BUF_ERROR))
            break;
        if (z.avail_out > 0)
            break;   // input exhausted before the stream ended
        if (buffer.size() == room)
            break;   // more output than the header says
        buffer.resize(std::min<qsizetype>(room, buffer.size() * 2));
    }
    const qsizetype produced = qsizetype(z.total_out);
    inflateEnd(&z);
    if (status != Z_STREAM_END && status != Z_OK && status != Z_BUF_ERROR) {
        *reason = QStringLiteral("its compressed data is broken");
        return false;
    }
    if (produced > qsizetype(expectedLength)) {
        *reason = QStringLiteral("its compressed data inflates to more than its %1 bytes").arg(expectedLength);
        return false;
    }
    if (status != Z_STREAM_END) {
        *reason = QStringLiteral("its compressed data ends early");
        return false;
    }
    if (produced != qsizetype(expectedLength)) {
        *reason = QStringLiteral("its compressed data inflates to %1 bytes instead of %2")
                      .arg(produced).arg(expectedLength);
        return false;
    }
    buffer.resize(produced);
    *out = buffer;
    return true;
}

QByteArray deflateToZlib(const QByteArray& data)
{
    uLongf length = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    if (compress(reinterpret_cast<Bytef*>(out.data()), &length,
                 reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size())) != Z_OK)
        return QByteArray();
    out.resize(qsizetype(length));
    return out;
}

bool readPackageEntry(QIODevice& device, const PackageDirectory& dir, const PackageEntry& entry,
                      QByteArray* data, QString* error, const QString& label)
{
    const auto fail = [&](const QString& reason) {
        *error = packageEntryMessage(dir, entry, reason, label);
        return false;
    };
    if (!entry.isReadable())
        return fail(entry.damage);
    QByteArray stored;
    if (!readAt(device, entry.dataOffset(), entry.storedLength, &stored))
        return fail(QStringLiteral("its data cannot be read: ") + device.errorString());
    if (entry.compression == PackageStored) {
        *data = stored;
        return true;
    }
    QString reason;
    if (!inflateExactly(stored, entry.dataLength, data, &reason))
        return fail(reason);
    return true;
}

} // namespace qm
