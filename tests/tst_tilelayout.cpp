// tiledata.mul's two layouts: telling them apart by size, where records lie, the wide
// records with their 64-bit flags, Save writing each file in its own layout, and patch
// formats 1 and 2 moving between classic and wide directories.
#include "editsession.h"
#include "itemkind.h"
#include "patchfile.h"
#include "patchtransfer.h"
#include "rewrite.h"
#include "savedirs.h"
#include "savewrappers.h"
#include "testdata.h"
#include "tiledata.h"

#include <QTest>
#include <QtEndian>

using namespace qm;

namespace {

constexpr quint64 kHighAndLow = 0x8000000100000041ull;

tile_struct wideStatic()
{
    tile_struct t = sampleStaticTile();
    t.flags = kHighAndLow;
    return t;
}

// A standard directory whose tiledata.mul has the given layout, full size.
void useLayout(SaveDir& dir, TileLayout layout)
{
    dir.writeStandard();
    dir.writeTileData(layout == TileLayout::Wide ? kFullWideTileDataSize : kFullTileDataSize);
}

// The item as a session on `dir` with the tile records of `changes` applied exports it.
PatchItem exported(const SaveDir& dir, int kind, int id, const ChangeSet& changes = ChangeSet())
{
    EditSession session;
    session.open(dir.path());
    QString error;
    for (int tileKind : { int(Land), int(Static) })
        for (auto it = changes.tiles[tileKind].cbegin(); it != changes.tiles[tileKind].cend(); ++it)
            if (!session.setTile(ItemKind(tileKind), it.key(), it.value(), &error))
                qWarning() << error;
    PatchItem patch;
    if (!buildPatch(session, ItemKind(kind), id, &patch, &error))
        qWarning() << error;
    return patch;
}

ToolRun tool(const SaveDir& dir, QStringList args)
{
    return runTool(QStringList { "--dir", dir.path() } + args);
}

} // namespace

class TestTileLayout : public QObject {
    Q_OBJECT

private slots:
    void layoutBySize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<TileLayout>("layout");
        QTest::newRow("classic, 512 static blocks") << qint64(1036288) << TileLayout::Classic;
        QTest::newRow("classic, all static blocks") << kFullTileDataSize << TileLayout::Classic;
        QTest::newRow("classic, land only") << kLandTileSectionSize << TileLayout::Classic;
        QTest::newRow("wide, all static blocks") << qint64(3188736) << TileLayout::Wide;
        QTest::newRow("wide, land only") << kWideLandTileSectionSize << TileLayout::Wide;
        QTest::newRow("fits both, first") << qint64(601480) << TileLayout::Unknown;
        QTest::newRow("fits both, second") << qint64(992332) << TileLayout::Unknown;
        QTest::newRow("fits both, later") << qint64(992332 + 3 * 390852) << TileLayout::Unknown;
        QTest::newRow("one byte more") << kFullTileDataSize + 1 << TileLayout::Unknown;
        QTest::newRow("shorter than the land part") << kLandTileSectionSize - 1188 << TileLayout::Unknown;
        QTest::newRow("empty") << qint64(0) << TileLayout::Unknown;
    }
    void layoutBySize()
    {
        QFETCH(qint64, size);
        QFETCH(TileLayout, layout);
        QCOMPARE(tileLayoutForSize(size), layout);
        QCOMPARE(isKnownTileDataSize(size), layout != TileLayout::Unknown);
    }

    void wideOffsets()
    {
        const TileLayout wide = TileLayout::Wide;
        QCOMPARE(landTileOffset(0, wide), qint64(4));
        QCOMPARE(landTileOffset(33, wide), qint64(964 + 4 + 30));
        QCOMPARE(landTileOffset(16383, wide) + 30, kWideLandTileSectionSize);
        QCOMPARE(staticTileOffset(0, wide), qint64(493572));
        QCOMPARE(staticTileOffset(65535, wide) + tileRecordSize(Static, wide), kFullWideTileDataSize);
        QCOMPARE(staticTileOffset(65536, wide), qint64(-1));
        // An unknown layout is read where the classic one puts records.
        QCOMPARE(staticTileOffset(33, TileLayout::Unknown), staticTileOffset(33));
    }

    void recordsInBothLayouts()
    {
        const tile_struct t = wideStatic();
        tile_struct land;
        land.flags = kHighAndLow;
        land.texid = 0x1234;
        land.name = QStringLiteral("water");
        const QByteArray wideStaticBytes = staticTileBytes(t, TileLayout::Wide);
        const QByteArray wideLandBytes = landTileBytes(land, TileLayout::Wide);
        QCOMPARE(wideStaticBytes.size(), 41);
        QCOMPARE(wideLandBytes.size(), 30);
        QCOMPARE(parseStaticTile(wideStaticBytes.constData(), TileLayout::Wide), t);
        QCOMPARE(parseLandTile(wideLandBytes.constData(), TileLayout::Wide), land);
        // Flags widened in place; every other field where it was, one word later.
        QCOMPARE(wideStaticBytes.left(8), QByteArray("\x41\0\0\0\1\0\0\x80", 8));
        QCOMPARE(wideStaticBytes.mid(8), staticTileBytes(t).mid(4));
        QCOMPARE(wideLandBytes.mid(8), landTileBytes(land).mid(4));
        // The classic layout holds the low half only.
        QCOMPARE(parseStaticTile(staticTileBytes(t).constData()).flags, quint64(0x41));
    }

    void readAndSaveAWideFile()
    {
        SaveDir dir;
        useLayout(dir, TileLayout::Wide);
        const QByteArray before = readBytes(dir.file("tiledata.mul"));
        QByteArray raw;
        const tile_struct stored = readTileRecord(dir.path(), Static, 0x21, &raw);
        QCOMPARE(raw, before.mid(int(staticTileOffset(0x21, TileLayout::Wide)), 41));
        QCOMPARE(stored.flags, qFromLittleEndian<quint64>(raw.constData()));

        ChangeSet changes;
        changes.tiles[Static].insert(0x21, wideStatic());
        tile_struct land;
        land.flags = 0xFFFFFFFF00000000ull;
        land.name = QStringLiteral("edited land");
        changes.tiles[Land].insert(16383, land);
        const Listed listed = listedIn(dir.path());
        QString error;
        QVERIFY2(saveArtFiles(dir.path(), listed.ids[Land], listed.ids[Static], changes, true, &error),
                 qPrintable(error));
        QCOMPARE(readTileRecord(dir.path(), Static, 0x21), wideStatic());
        QCOMPARE(readTileRecord(dir.path(), Land, 16383), land);
        // Nothing else moved.
        QByteArray expected = before;
        expected.replace(int(staticTileOffset(0x21, TileLayout::Wide)), 41, staticTileBytes(wideStatic(), TileLayout::Wide));
        expected.replace(int(landTileOffset(16383, TileLayout::Wide)), 30, landTileBytes(land, TileLayout::Wide));
        QCOMPARE(readBytes(dir.file("tiledata.mul")), expected);
    }

    void exportFormatFollowsTheDirectory()
    {
        SaveDir classic, wide;
        useLayout(classic, TileLayout::Classic);
        useLayout(wide, TileLayout::Wide);
        const PatchItem fromClassic = exported(classic, Static, 0x21);
        QCOMPARE(fromClassic.format, int(kPatchFormat));
        QCOMPARE(fromClassic.tileRecord.size(), kStaticTileRecordSize);
        const PatchItem fromWide = exported(wide, Static, 0x21);
        QCOMPARE(fromWide.format, int(kWidePatchFormat));
        // The stored bytes as they are.
        QCOMPARE(fromWide.tileRecord, readBytes(wide.file("tiledata.mul")).mid(int(staticTileOffset(0x21, TileLayout::Wide)), 41));
        ChangeSet changes;
        changes.tiles[Land].insert(2, wideStatic());
        QCOMPARE(patchTile(exported(wide, Land, 2, changes)).flags, kHighAndLow);
        // Gumps carry no tile data and stay format 1.
        QCOMPARE(exported(wide, Gump, 1).format, int(kPatchFormat));

        // Format 2 files round-trip; a format 2 gump is not a patch.
        QByteArray bytes;
        QString error;
        QVERIFY(serialisePatch(fromWide, &bytes, &error));
        QCOMPARE(bytes.left(1), QByteArray("\2"));
        PatchItem back;
        QVERIFY2(parsePatch(bytes, &back, &error), qPrintable(error));
        QCOMPARE(back.tileRecord, fromWide.tileRecord);
        QVERIFY(serialisePatch(exported(wide, Gump, 1), &bytes, &error));
        bytes[0] = 2;
        QVERIFY(!parsePatch(bytes, &back, &error));
    }

    void importRulesBesideTheCommandLine()
    {
        PatchItem lowOnly;
        lowOnly.format = kWidePatchFormat;
        lowOnly.kind = Static;
        lowOnly.tileRecord = staticTileBytes(sampleStaticTile(), TileLayout::Wide);
        PatchItem gump;
        gump.kind = Gump;
        QVERIFY(tileLayoutRefusal(lowOnly, TileLayout::Classic).isEmpty());
        QVERIFY(tileLayoutRefusal(gump, TileLayout::Unknown).isEmpty());
    }

    // Through qmtool's export and import, across directories of both layouts.
    void patchesAcrossDirectories()
    {
        SaveDir classic, wide;
        useLayout(classic, TileLayout::Classic);
        useLayout(wide, TileLayout::Wide);
        const QString classicPatch = classic.file("classic.qmp");
        const QString widePatch = wide.file("wide.qmp");
        QCOMPARE(tool(classic, { "export-patch", "static", "0x21", classicPatch }).exitCode, 0);

        // Format 1 into a wide directory: the high bits become 0.
        ToolRun run = tool(wide, { "import-patch", classicPatch, "--id", "0x10" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const tile_struct classicTile = readTileRecord(classic.path(), Static, 0x21);
        QCOMPARE(readTileRecord(wide.path(), Static, 0x10), classicTile);

        // Format 2 with high bits into a classic directory: refused, nothing changed.
        ChangeSet changes;
        changes.tiles[Static].insert(0x21, wideStatic());
        QString error;
        QVERIFY2(writePatchFile(widePatch, exported(wide, Static, 0x21, changes), &error), qPrintable(error));
        const auto before = classic.snapshot();
        run = tool(classic, { "import-patch", widePatch });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("high 32 bits"), qPrintable(run.err));
        QCOMPARE(classic.snapshot(), before);

        // Into a wide directory it keeps all 64 bits.
        run = tool(wide, { "import-patch", widePatch, "--id", "0x11" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(readTileRecord(wide.path(), Static, 0x11).flags, kHighAndLow);

        // A land or static patch has no place in a tiledata.mul of unknown layout.
        classic.writeTileData(601480);
        const auto unknown = classic.snapshot();
        QCOMPARE(tool(classic, { "import-patch", classicPatch }).exitCode, 2);
        QCOMPARE(classic.snapshot(), unknown);
    }
};

QTEST_MAIN(TestTileLayout)
#include "tst_tilelayout.moc"
