// The package reader on arbitrary bytes: packages come from strangers as often as from the
// game. Every input must be refused with a reason or read; whatever entries read must stay
// within their limits, and a package without damaged entries must come back with the same
// entries when written again and read back.
//
// Seeds: small packages with several tables, unused headers, metadata and compressed entries
// (QM_FUZZ_SEEDS, see run.sh).
#include "fuzzsupport.h"
#include "littleendian.h"
#include "packagefile.h"
#include "packagewriter.h"

#include <QBuffer>

using namespace qm;

namespace {

struct SeedEntry {
    quint64 hash;
    QByteArray stored;
    quint32 dataLength;
    quint16 compression;
    QByteArray metadata;
};

// A package with tables of `capacity` headers, each followed by its entries' blocks.
QByteArray seedPackage(const QVector<SeedEntry>& entries, quint32 capacity)
{
    QByteArray bytes(0x200, '\0');
    bytes.replace(0, 4, QByteArray("MYP\0", 4));
    writeU32(bytes.data() + 4, 5);
    writeU32(bytes.data() + 8, kPackageSignature);
    qToLittleEndian<quint64>(0x200, bytes.data() + 12);
    writeU32(bytes.data() + 20, capacity);
    writeU32(bytes.data() + 24, quint32(entries.size()));
    int first = 0;
    do {   // a package without entries still has one table
        const qsizetype table = bytes.size();
        bytes.append(QByteArray(12 + 34 * int(capacity), '\0'));
        writeU32(bytes.data() + table, capacity);
        for (int i = first; i < entries.size() && i < first + int(capacity); ++i) {
            const SeedEntry& e = entries[i];
            char* h = bytes.data() + table + 12 + 34 * (i - first);
            qToLittleEndian<quint64>(quint64(bytes.size()), h);
            writeU32(h + 8, quint32(e.metadata.size()));
            writeU32(h + 12, quint32(e.stored.size()));
            writeU32(h + 16, e.dataLength);
            qToLittleEndian<quint64>(e.hash, h + 20);
            writeU16(h + 32, e.compression);
            bytes += e.metadata + e.stored;
        }
        first += int(capacity);
        if (first < entries.size())
            qToLittleEndian<quint64>(quint64(bytes.size()), bytes.data() + table + 4);
    } while (first < entries.size());
    return bytes;
}

QVector<QByteArray> seeds()
{
    const QByteArray text = QByteArray("tile rows ").repeated(30);
    const QVector<SeedEntry> entries {
        { 0x99361f7d3a53aea8ull, "land", 4, PackageStored, {} },
        { 0x2b323aa4d0fced19ull, deflateToZlib(text), quint32(text.size()), PackageZlib, {} },
        { 0x1234, "with metadata", 13, PackageStored, QByteArray(12, '\x4d') },
        { 0x5678, QByteArray(), 0, PackageStored, {} },
        { 0x9abc, deflateToZlib("tiny"), 4, PackageZlib, QByteArray(12, '\x01') },
    };
    return { seedPackage(entries, 2), seedPackage(entries, 1000), seedPackage({}, 3),
             seedPackage(entries.mid(0, 2), 1) };
}

// Writes the package again, every entry kept as stored, and reads it back.
void checkRewrite(QBuffer& source, const PackageDirectory& dir, const QVector<QByteArray>& data)
{
    QVector<PackageWriteItem> items;
    for (int i = 0; i < dir.entries.size(); ++i)
        items << PackageWriteItem { dir.entries[i].hash, -1, i };
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    QString error;
    if (!writePackage(out, QStringLiteral("fuzz.uop"), packageFormatFrom(&dir), items, { &dir, &source, {} },
                      {}, &error))
        std::abort();
    PackageDirectory back;
    if (!readPackageDirectory(out, QStringLiteral("fuzz.uop"), &back, &error)
        || back.entries.size() != dir.entries.size() || back.damagedEntryCount() != 0)
        std::abort();
    for (int i = 0; i < back.entries.size(); ++i) {
        QByteArray again;
        if (back.entries[i].hash != dir.entries[i].hash
            || !readPackageEntry(out, back, back.entries[i], &again, &error) || again != data[i])
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    writeSeedsIfAsked(seeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer buffer;
    buffer.setData(fuzzBytes(data, size));
    buffer.open(QIODevice::ReadOnly);
    PackageDirectory dir;
    QString error;
    if (!readPackageDirectory(buffer, QStringLiteral("fuzz.uop"), &dir, &error)) {
        if (!error.startsWith(QLatin1String("fuzz.uop: ")))
            std::abort();   // a refusal must name the file and say why
        return 0;
    }
    QVector<QByteArray> entryData;
    bool allRead = true;
    for (const PackageEntry& e : dir.entries) {
        QByteArray bytes;
        if (!readPackageEntry(buffer, dir, e, &bytes, &error)) {
            if (!error.startsWith(QLatin1String("fuzz.uop: entry 0x")))
                std::abort();
            allRead = false;
            continue;
        }
        const quint32 expected = e.compression == PackageZlib ? e.dataLength : e.storedLength;
        if (quint64(bytes.size()) != expected || expected > kPackageEntryDataLimit)
            std::abort();
        entryData << bytes;
    }
    if (allRead && dir.damagedEntryCount() == 0)
        checkRewrite(buffer, dir, entryData);
    return 0;
}
