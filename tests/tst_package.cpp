// Package files: the name hash, which entry holds which id, reading tables and entries
// (including every kind of damage a hostile file can carry), and writing packages back.
#include "itemkind.h"
#include "littleendian.h"
#include "packagefile.h"
#include "packagehash.h"
#include "packagenames.h"
#include "packagewriter.h"

#include <QBuffer>
#include <QTest>

using namespace qm;

namespace {

void putU64(QByteArray& bytes, qint64 at, quint64 v) { qToLittleEndian<quint64>(v, bytes.data() + at); }
void putU32(QByteArray& bytes, qint64 at, quint32 v) { writeU32(bytes.data() + at, v); }

// Builds package files field by field, so that tests can place tables and blocks anywhere.
struct RawPackage {
    QByteArray bytes = QByteArray(0x200, '\0');

    RawPackage(quint64 firstTable = 0x200, quint32 capacity = 1000)
    {
        bytes.replace(0, 4, QByteArray("MYP\0", 4));
        putU32(bytes, 4, 5);
        putU32(bytes, 8, kPackageSignature);
        putU64(bytes, 12, firstTable);
        putU32(bytes, 20, capacity);
    }
    void growTo(qint64 size)
    {
        if (bytes.size() < size)
            bytes.resize(size, '\0');
    }
    // A table head at `at` with `count` headers and the next offset.
    void table(qint64 at, quint32 count, quint64 next)
    {
        growTo(at + kPackageTableHeadSize + qint64(count) * kPackageEntryHeaderSize);
        putU32(bytes, at, count);
        putU64(bytes, at + 4, next);
    }
    void header(qint64 tableAt, int slot, const PackageEntry& e)
    {
        const qint64 p = tableAt + kPackageTableHeadSize + qint64(slot) * kPackageEntryHeaderSize;
        putU64(bytes, p, e.offset);
        putU32(bytes, p + 8, e.metadataLength);
        putU32(bytes, p + 12, e.storedLength);
        putU32(bytes, p + 16, e.dataLength);
        putU64(bytes, p + 20, e.hash);
        putU32(bytes, p + 28, e.checksum);
        writeU16(bytes.data() + p + 32, e.compression);
    }
    // Appends a block (metadata + stored bytes) and returns the header that points at it.
    PackageEntry block(quint64 hash, const QByteArray& stored, quint32 dataLength,
                       quint16 compression = PackageStored, const QByteArray& metadata = {})
    {
        PackageEntry e;
        e.offset = quint64(bytes.size());
        e.metadataLength = quint32(metadata.size());
        e.storedLength = quint32(stored.size());
        e.dataLength = dataLength;
        e.hash = hash;
        e.compression = compression;
        bytes += metadata + stored;
        return e;
    }
};

quint64 artHash(int id) { return packageEntryHash(PackageKind::Art, id); }

struct Opened {
    bool ok = false;
    QString error;
    PackageDirectory dir;
    QBuffer buffer;
};

void open(const QByteArray& bytes, Opened& o)
{
    o.buffer.setData(bytes);
    o.buffer.open(QIODevice::ReadOnly);
    o.ok = readPackageDirectory(o.buffer, QStringLiteral("art.uop"), &o.dir, &o.error);
}

QByteArray entryData(Opened& o, quint64 hash, QString* error)
{
    QByteArray data;
    const PackageEntry* e = o.dir.find(hash);
    if (!e) {
        *error = QStringLiteral("no entry");
        return QByteArray();
    }
    if (!readPackageEntry(o.buffer, o.dir, *e, &data, error))
        return QByteArray("<unreadable>");
    return data;
}

QByteArray entryBytesFor(int id) { return QByteArray::number(id).repeated(id % 7 + 1); }

// Writes a package of art `ids` with entryBytesFor data, keeping what `source` allows.
QByteArray written(const QVector<int>& ids, const PackageHeader& format, Opened* source = nullptr,
                   const std::function<bool(int)>& keep = {})
{
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    const auto items = planPackageWrite(PackageKind::Art, ids, source ? &source->dir : nullptr, keep);
    QString error;
    const bool ok = writePackage(out, QStringLiteral("out.uop"), format, items,
                                 { source ? &source->dir : nullptr, source ? &source->buffer : nullptr, {} },
                                 [](const PackageWriteItem& item, QByteArray* data, QString*) {
                                     *data = entryBytesFor(item.id);
                                     return true;
                                 },
                                 &error);
    if (!ok)
        qWarning() << error;
    return out.data();
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

private slots:
    void nameHash()
    {
        const NameHashPair empty = hashLittle2("", 0);
        QCOMPARE(empty.primary, 0xdeadbeefu);
        QCOMPARE(empty.secondary, 0xdeadbeefu);
        const QByteArray score("Four score and seven years ago");
        const NameHashPair plain = hashLittle2(score.constData(), score.size());
        QCOMPARE(plain.primary, 0x17770551u);
        QCOMPARE(plain.secondary, 0xce7226e6u);
        const NameHashPair seeded = hashLittle2(score.constData(), score.size(), 1);
        QCOMPARE(seeded.primary, 0xcd628161u);
        QCOMPARE(seeded.secondary, 0x6cbea4b3u);

        QCOMPARE(packageEntryName(PackageKind::Art, 16384), QByteArray("build/artlegacymul/00016384.tga"));
        QCOMPARE(artHash(0), Q_UINT64_C(0x99361f7d3a53aea8));
        QCOMPARE(artHash(16384), Q_UINT64_C(0x2b323aa4d0fced19));
        QCOMPARE(packageEntryHash(PackageKind::Gump, 0), Q_UINT64_C(0xecd0cc1754b6a0d8));
        QCOMPARE(packageEntryHash(PackageKind::Gump, 65535), Q_UINT64_C(0x2ce08014ac2600c8));
    }

    void idsAndHashes()
    {
        for (int id : { 0, 16383, 16384, 81919 })
            QCOMPARE(packageIdForHash(PackageKind::Art, artHash(id)), id);
        QCOMPARE(packageIdForHash(PackageKind::Gump, packageEntryHash(PackageKind::Gump, 65535)), 65535);
        // Each kind's hashes are its own, and ids past the range have no name.
        QCOMPARE(packageIdForHash(PackageKind::Gump, artHash(5)), -1);
        QCOMPARE(packageEntryHash(PackageKind::Art, 81920), quint64(0));
        QCOMPARE(artPackageId(Static, 0x10), 16384 + 0x10);
        QCOMPARE(artPackageId(Static, 65536), -1);
        QCOMPARE(packageEntryLabel(PackageKind::Art, artHash(16384 + 0x10)), QStringLiteral("Static 0x10"));
        QCOMPARE(packageEntryLabel(PackageKind::Gump, artHash(1)), packageHashLabel(artHash(1)));
    }

    void gumpEntryPrefix()
    {
        GumpEntry g;
        QString reason;
        QVERIFY(splitGumpEntry(gumpEntryData(65535, 1, "rows"), &g, &reason));
        QCOMPARE(g.width, 65535);
        QCOMPARE(g.record, QByteArray("rows"));
        QVERIFY(!splitGumpEntry(QByteArray(7, '\1'), &g, &reason));
        QVERIFY(!splitGumpEntry(gumpEntryData(5, 65536, "rows"), &g, &reason));
        QVERIFY(!splitGumpEntry(gumpEntryData(-3, 5, "rows"), &g, &reason));
        QVERIFY(reason.contains(QLatin1String("-3")));
    }

    // Several tables with unused headers, version 4, metadata, compression and ids out of
    // order all read back to the same data.
    void readsWhatInstallationsHold()
    {
        RawPackage p(0x200, 3);
        putU32(p.bytes, 4, 4);   // an old installation's version
        p.table(0x200, 3, 0);
        const qint64 secondTable = 0x200 + 12 + 3 * 34;
        p.growTo(secondTable + 12 + 2 * 34);
        const QByteArray big = QByteArray("pattern ").repeated(500);
        const PackageEntry a = p.block(artHash(9), "nine", 4);
        const PackageEntry b = p.block(artHash(2), deflateToZlib(big) + "trailing", quint32(big.size()), PackageZlib);
        const PackageEntry c = p.block(artHash(81919), "last", 4, PackageStored, QByteArray(12, '\x5a'));
        const PackageEntry empty = p.block(artHash(3), QByteArray(), 0);
        p.header(0x200, 0, a);
        // slot 1 unused, although its other fields hold numbers
        p.header(0x200, 1, PackageEntry { 0, 1, 2, 3, artHash(4), 0, 9, {} });
        p.header(0x200, 2, b);
        p.table(secondTable, 2, 0);
        putU64(p.bytes, 0x200 + 4, quint64(secondTable));
        p.header(secondTable, 0, c);
        p.header(secondTable, 1, empty);

        Opened o;
        open(p.bytes, o);
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.dir.header.version, 4u);
        QCOMPARE(o.dir.entries.size(), 4);
        QCOMPARE(o.dir.damagedEntryCount(), 0);
        QCOMPARE(o.dir.entries[0].hash, artHash(9));   // in table order
        QString error;
        QCOMPARE(entryData(o, artHash(9), &error), QByteArray("nine"));
        QCOMPARE(entryData(o, artHash(2), &error), big);
        QCOMPARE(entryData(o, artHash(81919), &error), QByteArray("last"));
        QCOMPARE(entryData(o, artHash(3), &error), QByteArray());
        QVERIFY(!o.dir.find(artHash(4)));
    }

    void packageLevelDamage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");

        QTest::newRow("magic") << QByteArray("MYQ\0", 4) + QByteArray(40, '\0') << "not a package";
        QTest::newRow("short") << QByteArray("MYP\0", 4) << "too short";
        {
            RawPackage p(0x100000);
            QTest::newRow("table outside") << p.bytes << "outside the file";
        }
        {
            RawPackage p(20);
            QTest::newRow("table in header") << p.bytes << "inside the file header";
        }
        {
            RawPackage p;
            p.table(0x200, 0, 0x200);
            QTest::newRow("table loops to itself") << p.bytes << "returns to the table at 512";
        }
        {
            RawPackage p;
            p.table(0x200, 0, 0x300);
            p.table(0x300, 0, 0x200);
            QTest::newRow("chain loops") << p.bytes << "returns to the table at 512";
        }
        {
            RawPackage p;
            p.table(0x200, 2, 0x210);
            p.table(0x210, 0, 0);
            QTest::newRow("tables overlap") << p.bytes << "overlaps another entry table";
        }
        {
            RawPackage p;
            p.table(0x200, 1, 0);
            putU32(p.bytes, 0x200, 0xFFFFFFFFu);   // count far past the end
            QTest::newRow("count past end") << p.bytes << "runs past the end";
        }
        {
            RawPackage p;
            p.table(0x200, 2, 0);
            p.header(0x200, 0, p.block(artHash(1), "a", 1));
            p.header(0x200, 1, p.block(artHash(1), "b", 1));
            QTest::newRow("duplicate hash") << p.bytes << "two entries have the hash";
        }
    }

    void packageLevelDamage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        Opened o;
        open(bytes, o);
        QVERIFY(!o.ok);
        QVERIFY2(o.error.startsWith(QLatin1String("art.uop: ")) && o.error.contains(reason), qPrintable(o.error));
    }

    // Thousands of entries behind a header count that says one, hashes alike in their low or
    // high 32 bits, tables spread through the file listing their blocks against file order:
    // every entry is found by its hash and no absent hash is, an entry reaching into a later
    // table is damaged, and a hash used twice still refuses the package.
    void entriesFoundByHashWhateverTheirSpread()
    {
        RawPackage p;
        putU32(p.bytes, 24, 1);
        constexpr int kTables = 3, kPerTable = 700;
        QVector<quint64> hashes;
        qint64 tableAt = 0x200, firstTable = 0x200;
        for (int t = 0; t < kTables; ++t) {
            p.table(tableAt, kPerTable + (t == 0 ? 1 : 0), 0);
            QVector<PackageEntry> entries;
            for (int k = 0; k < kPerTable; ++k) {
                const quint64 i = quint64(t * kPerTable + k);
                const quint64 hash = i % 3 == 0 ? (i << 32) | 0x1234u
                                     : i % 3 == 1 ? (quint64(0xABCD) << 32) | i
                                                  : artHash(int(i));
                hashes << hash;
                entries << p.block(hash, QByteArray::number(i), 0);
            }
            for (int k = 0; k < kPerTable; ++k)
                p.header(tableAt, k, entries[kPerTable - 1 - k]);
            if (t + 1 < kTables) {
                const qint64 next = p.bytes.size();
                putU64(p.bytes, tableAt + 4, quint64(next));
                tableAt = next;
            }
            if (t == 1) {   // the first table's last slot: a block inside the second table's head
                PackageEntry inside { quint64(tableAt + 2), 0, 4, 4, 0x5151, 0, PackageStored, {} };
                p.header(firstTable, kPerTable, inside);
            }
        }
        Opened o;
        open(p.bytes, o);
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.dir.entries.size(), kTables * kPerTable + 1);
        for (int i = 0; i < hashes.size(); ++i) {
            const PackageEntry* e = o.dir.find(hashes[i]);
            QVERIFY2(e && e->hash == hashes[i], qPrintable(QString::number(i)));
            QVERIFY2(e->isReadable(), qPrintable(e->damage));
        }
        QString error;
        QCOMPARE(entryData(o, hashes[1234], &error), QByteArray::number(1234));
        for (quint64 absent :
             { (quint64(1) << 32) | 0x1234u, (quint64(0xABCD) << 32) | 0x100000u, quint64(0x1234) + 1 })
            QVERIFY(!o.dir.find(absent));
        QVERIFY(o.dir.find(0x5151)->damage.contains(QLatin1String("entry table")));

        // The same hash in the last table as in the first.
        QByteArray twice = p.bytes;
        putU64(twice, tableAt + kPackageTableHeadSize + 20, hashes[3]);
        Opened refused;
        open(twice, refused);
        QVERIFY(!refused.ok);
        QVERIFY2(refused.error.contains(QLatin1String("two entries have the hash")), qPrintable(refused.error));
    }

    void emptyChainIsAnEmptyPackage()
    {
        Opened o;
        open(RawPackage(0).bytes, o);
        QVERIFY2(o.ok, qPrintable(o.error));
        QVERIFY(o.dir.entries.isEmpty());
    }

    // Damage to an entry makes that entry unreadable, names it, and leaves the others usable.
    void entryLevelDamage()
    {
        RawPackage p;
        p.table(0x200, 12, 0);
        const QByteArray data = QByteArray("payload").repeated(10);
        const QByteArray stream = deflateToZlib(data);
        QByteArray broken = stream;
        broken[broken.size() - 1] = char(broken.at(broken.size() - 1) ^ 1);   // Adler-32 wrong
        const PackageEntry good = p.block(artHash(0), "good", 4);
        PackageEntry pastEnd = p.block(artHash(1), "x", 1);
        pastEnd.storedLength = 1000;
        PackageEntry inHeader = p.block(artHash(2), "y", 1);
        inHeader.offset = 10;
        PackageEntry inTable = p.block(artHash(3), "z", 1);
        inTable.offset = 0x210;
        PackageEntry first = p.block(artHash(4), "overlap", 7);
        PackageEntry second = first;
        second.hash = artHash(5);
        second.offset += 3;
        second.storedLength = 2;
        const PackageEntry unknown = p.block(artHash(6), "w", 1, 2);
        const PackageEntry badStream = p.block(artHash(7), broken, quint32(data.size()), PackageZlib);
        const PackageEntry shortStream = p.block(artHash(8), stream, quint32(data.size() + 1), PackageZlib);
        const PackageEntry longStream = p.block(artHash(9), stream, quint32(data.size() - 1), PackageZlib);
        const PackageEntry huge = p.block(artHash(10), stream, kPackageEntryDataLimit + 1, PackageZlib);
        PackageEntry wraps = p.block(artHash(11), "v", 1);
        wraps.offset = ~quint64(0) - 2;
        int slot = 0;
        for (const PackageEntry& e : { good, pastEnd, inHeader, inTable, first, second, unknown, badStream,
                                       shortStream, longStream, huge, wraps })
            p.header(0x200, slot++, e);

        Opened o;
        open(p.bytes, o);
        QVERIFY2(o.ok, qPrintable(o.error));
        const auto damage = [&](int id) { return o.dir.find(artHash(id))->damage; };
        QVERIFY(damage(0).isEmpty());
        QVERIFY(damage(1).contains(QLatin1String("past the end")));
        QVERIFY(damage(2).contains(QLatin1String("file header")));
        QVERIFY(damage(3).contains(QLatin1String("entry table")));
        QVERIFY(damage(4).contains(QLatin1String("another entry")));
        QVERIFY(damage(5).contains(QLatin1String("another entry")));
        QVERIFY(damage(6).contains(QLatin1String("compression 2")));
        QVERIFY(damage(10).contains(QLatin1String("more than an entry may hold")));
        QVERIFY(damage(11).contains(QLatin1String("past the end")));
        QCOMPARE(o.dir.damagedEntryCount(), 8);

        QString error;
        QCOMPARE(entryData(o, artHash(0), &error), QByteArray("good"));
        entryData(o, artHash(7), &error);
        QVERIFY2(error.contains(QLatin1String("broken")), qPrintable(error));
        entryData(o, artHash(8), &error);
        QVERIFY2(error.contains(QLatin1String("instead of")), qPrintable(error));
        entryData(o, artHash(9), &error);
        QVERIFY2(error.contains(QLatin1String("more than")), qPrintable(error));
        // Messages name the file and the entry.
        entryData(o, artHash(1), &error);
        QCOMPARE(error, QStringLiteral("art.uop: entry 0x%1: its data runs past the end of the file")
                            .arg(artHash(1), 16, 16, QLatin1Char('0')));
        QByteArray unread;
        QVERIFY(!readPackageEntry(o.buffer, o.dir, *o.dir.find(artHash(1)), &unread, &error,
                                  QStringLiteral("Land 0x1")));
        QVERIFY(error.startsWith(QLatin1String("art.uop: Land 0x1: ")));
    }

    // Only the pairs that share bytes are unreadable; blocks that touch, and empty blocks
    // anywhere, are not.
    void overlapsAreExact()
    {
        RawPackage p;
        p.table(0x200, 5, 0);
        const PackageEntry outer = p.block(artHash(0), QByteArray(100, 'o'), 100);
        PackageEntry inner = outer;
        inner.hash = artHash(1);
        inner.offset += 10;
        inner.storedLength = 5;
        PackageEntry touching = p.block(artHash(2), "t", 1);
        PackageEntry emptyInside = outer;
        emptyInside.hash = artHash(3);
        emptyInside.offset += 50;
        emptyInside.storedLength = 0;
        PackageEntry later = outer;
        later.hash = artHash(4);
        later.offset += 60;
        later.storedLength = 3;
        int slot = 0;
        for (const PackageEntry& e : { outer, inner, touching, emptyInside, later })
            p.header(0x200, slot++, e);
        Opened o;
        open(p.bytes, o);
        QVERIFY(o.ok);
        QVERIFY(!o.dir.find(artHash(0))->isReadable());
        QVERIFY(!o.dir.find(artHash(1))->isReadable());
        QVERIFY(o.dir.find(artHash(2))->isReadable());
        QVERIFY(o.dir.find(artHash(3))->isReadable());
        QVERIFY(!o.dir.find(artHash(4))->isReadable());
    }

    void writeAndReadBack()
    {
        // Out of id order and with a duplicate in; 5 entries in tables of 2.
        PackageHeader format;
        format.capacity = 2;
        const QByteArray bytes = written({ 81919, 7, 0, 16384, 7, 300 }, format);
        QCOMPARE(bytes.mid(0, 4), QByteArray("MYP\0", 4));
        QCOMPARE(readU32(bytes.constData() + 24), 5u);
        QCOMPARE(qFromLittleEndian<quint64>(bytes.constData() + 12), quint64(0x200));
        QCOMPARE(bytes.mid(28, 0x200 - 28), QByteArray(0x200 - 28, '\0'));
        Opened o;
        open(bytes, o);
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.dir.header.capacity, 2u);
        QCOMPARE(o.dir.damagedEntryCount(), 0);
        QVector<int> order;
        for (const PackageEntry& e : o.dir.entries)
            order << packageIdForHash(PackageKind::Art, e.hash);
        QCOMPARE(order, (QVector<int> { 0, 7, 300, 16384, 81919 }));
        QString error;
        for (int id : order)
            QCOMPARE(entryData(o, artHash(id), &error), entryBytesFor(id));
        // The last table has `capacity` headers, its unused one zero, and ends the chain.
        const qint64 lastTable = qint64(bytes.size()) - entryBytesFor(81919).size() - (12 + 2 * 34);
        QCOMPARE(readU32(bytes.constData() + lastTable), 2u);
        QCOMPARE(qFromLittleEndian<quint64>(bytes.constData() + lastTable + 4), quint64(0));
        QCOMPARE(bytes.mid(lastTable + 12 + 34, 34), QByteArray(34, '\0'));

        // A package without entries still has its one table.
        Opened none;
        open(written({}, PackageHeader()), none);
        QVERIFY(none.ok);
        QCOMPARE(none.buffer.size(), qint64(0x200 + 12 + 1000 * 34));
    }

    // A rewrite keeps the format, the stored form of unchanged entries and the entries whose
    // hash names no id, and drops ids no longer listed.
    void rewriteKeepsWhatIsUnchanged()
    {
        RawPackage p(0x200, 100);
        putU32(p.bytes, 4, 4);
        p.table(0x200, 4, 0);
        const QByteArray big = QByteArray("kept compressed ").repeated(40);
        PackageEntry compressed = p.block(artHash(5), deflateToZlib(big), quint32(big.size()), PackageZlib,
                                          QByteArray(12, '\x4d'));
        compressed.checksum = 0xC0FFEE;
        const PackageEntry stranger = p.block(0x1234, "not an id", 9);
        const PackageEntry changed = p.block(artHash(6), "old", 3);
        const PackageEntry dropped = p.block(artHash(8), "gone", 4);
        int slot = 0;
        for (const PackageEntry& e : { stranger, compressed, changed, dropped })
            p.header(0x200, slot++, e);
        Opened source;
        open(p.bytes, source);
        QVERIFY(source.ok);

        const PackageHeader format = packageFormatFrom(&source.dir);
        QCOMPARE(format.version, 4u);
        QCOMPARE(format.capacity, 100u);
        Opened o;
        open(written({ 6, 5 }, format, &source, [](int id) { return id == 5; }), o);
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.dir.header.version, 4u);
        QCOMPARE(o.dir.entries.size(), 3);
        QCOMPARE(o.dir.entries[0].hash, artHash(5));
        QCOMPARE(o.dir.entries[1].hash, artHash(6));
        QCOMPARE(o.dir.entries[2].hash, quint64(0x1234));   // unnamed ones last
        const PackageEntry& kept = o.dir.entries[0];
        QCOMPARE(kept.compression, quint16(PackageZlib));
        QCOMPARE(kept.metadataLength, 12u);
        QCOMPARE(kept.checksum, 0xC0FFEEu);
        QCOMPARE(o.dir.entries[1].compression, quint16(PackageStored));
        QCOMPARE(o.dir.entries[1].checksum, 0u);
        QString error;
        QCOMPARE(entryData(o, artHash(5), &error), big);
        QCOMPARE(entryData(o, artHash(6), &error), entryBytesFor(6));
        QCOMPARE(entryData(o, 0x1234, &error), QByteArray("not an id"));

        // A capacity no writer should keep falls back to the usual one.
        putU32(p.bytes, 20, 0);
        Opened zero;
        open(p.bytes, zero);
        QCOMPARE(packageFormatFrom(&zero.dir).capacity, kPackageCapacity);
    }

    void writerRefusesWhatItCannotKeep()
    {
        RawPackage p;
        p.table(0x200, 1, 0);
        PackageEntry e = p.block(0x99, "x", 1, 3);
        p.header(0x200, 0, e);
        Opened source;
        open(p.bytes, source);
        QVERIFY(source.ok);
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        QString error;
        const auto items = planPackageWrite(PackageKind::Art, {}, &source.dir, {});
        QVERIFY(!writePackage(out, QStringLiteral("out.uop"), PackageHeader(), items,
                              { &source.dir, &source.buffer, {} }, {}, &error));
        QVERIFY2(error.contains(QLatin1String("compression 3")), qPrintable(error));

        const QVector<PackageWriteItem> nameless { PackageWriteItem { 0, 81920, -1 } };
        QVERIFY(!writePackage(out, QStringLiteral("out.uop"), PackageHeader(), nameless, {},
                              [](const PackageWriteItem&, QByteArray*, QString*) { return true; }, &error));
        QVERIFY2(error.contains(QLatin1String("81920")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
