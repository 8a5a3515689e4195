// Rewriting the data files: byte-exact results on small directories built here.
#include "animdata.h"
#include "artcodec.h"
#include "rewrite.h"
#include "savedirs.h"
#include "savewrappers.h"
#include "testdata.h"
#include "tiledata.h"

#include <QTest>

#include <sys/stat.h>

using namespace qm;

namespace {

IndexRecord recordOf(const QByteArray& index, int i)
{
    return indexRecordAt(index, i);
}

ino_t inodeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}


} // namespace

class TestSave : public QObject {
    Q_OBJECT

private slots:
    void emptyChangeSetLaysKeptEntriesOutInIndexOrder()
    {
        SaveDir dir;
        dir.writePair(Gump, 6, { { 0, 50, 12, 0x00030002 }, { 1, 0, 8, 0x00020002 },
                                 { 3, -1, 5, 0x77 }, { 4, 30, 6, 0x00010003 } });
        ChangeSet changes;
        QString error;
        QVERIFY2(saveImageFiles(dir.path(), Gump, { 0, 1, 3, 4 }, changes, &error), qPrintable(error));

        QCOMPARE(readBytes(dir.file("gumpart.mul")),
                 entryBytes(Gump, 0, 12) + entryBytes(Gump, 1, 8) + entryBytes(Gump, 4, 6));
        const QByteArray index = readBytes(dir.file("gumpidx.mul"));
        QCOMPARE(index.size(), 6 * 12);
        QCOMPARE(recordOf(index, 0), (IndexRecord { 0, 12, 0x00030002 }));
        QCOMPARE(recordOf(index, 1), (IndexRecord { 12, 8, 0x00020002 }));
        QCOMPARE(recordOf(index, 2), (IndexRecord { -1, 0, 0 }));
        QCOMPARE(recordOf(index, 3), (IndexRecord { -1, 5, 0x77 }));   // listed but empty: kept
        QCOMPARE(recordOf(index, 4), (IndexRecord { 20, 6, 0x00010003 }));
        QVERIFY(!QFile::exists(dir.file("gumpart.mul.qmg")));
        QVERIFY(!QFile::exists(dir.file("savejournal.qmg")));

        // Compact now: saving again would give the same bytes, so the files are left alone.
        const ino_t inode = inodeOf(dir.file("gumpart.mul"));
        QVERIFY(saveImageFiles(dir.path(), Gump, { 0, 1, 3, 4 }, changes, &error));
        QCOMPARE(inodeOf(dir.file("gumpart.mul")), inode);
        QVERIFY(saveImageFiles(dir.path(), Gump, { 0, 1, 3 }, changes, &error));
        QVERIFY(inodeOf(dir.file("gumpart.mul")) != inode);
    }

    void artKeepsTrailingRecordsAndLeavesTileFilesAlone()
    {
        SaveDir dir;
        dir.writeStandard();
        const auto before = dir.snapshot();
        const Listed listed = listedIn(dir.path());
        ChangeSet changes;
        QString error;
        QVERIFY2(saveArtFiles(dir.path(), listed.ids[Land], listed.ids[Static], changes, true, &error),
                 qPrintable(error));

        QCOMPARE(readBytes(dir.file("art.mul")),
                 entryBytes(Land, 0, 20) + entryBytes(Land, 2, 30) + entryBytes(Land, kLandCount, 50)
                     + entryBytes(Land, kLandCount + 1, 10) + entryBytes(Land, kLandCount + 300, 60)
                     + entryBytes(Land, kArtRecordCount + 1, 16));
        const QByteArray index = readBytes(dir.file("artidx.mul"));
        QCOMPARE(index.size(), (kArtRecordCount + 2) * 12);
        QCOMPARE(recordOf(index, 0), (IndexRecord { 0, 20, 7 }));
        QCOMPARE(recordOf(index, 2), (IndexRecord { 20, 30, 8 }));
        QCOMPARE(recordOf(index, 5), (IndexRecord { 50, 0, 9 }));   // length 0 is present
        QCOMPARE(recordOf(index, kLandCount), (IndexRecord { 50, 50, 11 }));
        QCOMPARE(recordOf(index, kLandCount + 300), (IndexRecord { 110, 60, 13 }));
        QCOMPARE(recordOf(index, kArtRecordCount + 1), (IndexRecord { 170, 16, 14 }));
        QCOMPARE(dir.snapshot()["tiledata.mul"], before["tiledata.mul"]);
        QCOMPARE(dir.snapshot()["animdata.mul"], before["animdata.mul"]);
        QCOMPARE(dir.snapshot()["gumpidx.mul"], before["gumpidx.mul"]);
    }

    void deletedEntriesLoseOnlyTheirOffsetAndData()
    {
        SaveDir dir;
        dir.writeStandard();
        ChangeSet changes;
        changes.images[Static].insert(1, filledImage(3, 3, 0xffff0000));   // dropped with the entry
        QString error;
        QVERIFY2(saveArtFiles(dir.path(), { 0, 2, 5 }, { 0, 300 }, changes, true, &error), qPrintable(error));
        const QByteArray index = readBytes(dir.file("artidx.mul"));
        QCOMPARE(recordOf(index, kLandCount + 1), (IndexRecord { -1, 10, 12 }));
        QCOMPARE(recordOf(index, kLandCount + 300), (IndexRecord { 100, 60, 13 }));
        QVERIFY(!readBytes(dir.file("art.mul")).contains(entryBytes(Land, kLandCount + 1, 10)));
        QVERIFY(changes.images[Static].isEmpty());

        QVERIFY2(saveImageFiles(dir.path(), Gump, { 1 }, changes, &error), qPrintable(error));
        const QByteArray gumps = readBytes(dir.file("gumpidx.mul"));
        QCOMPARE(recordOf(gumps, 0), (IndexRecord { -1, 12, 0x00030002 }));
        QCOMPARE(recordOf(gumps, 1), (IndexRecord { 0, 8, 0x00020002 }));
        QCOMPARE(recordOf(gumps, 4), (IndexRecord { -1, 6, 0x00010003 }));
        QCOMPARE(readBytes(dir.file("gumpart.mul")), entryBytes(Gump, 1, 8));
    }

    void shortAndOutgrownIndexesAreExtended()
    {
        SaveDir dir;
        dir.writePair(Land, 100, { { 3, 0, 4, 1 } });
        dir.writePair(Texture, 2, { { 1, 0, 8, 0 } });
        ChangeSet changes;
        QString error;
        QVERIFY2(saveArtFiles(dir.path(), { 3 }, {}, changes, true, &error), qPrintable(error));
        const QByteArray art = readBytes(dir.file("artidx.mul"));
        QCOMPARE(art.size(), kArtRecordCount * 12);   // a short index is completed
        QCOMPARE(recordOf(art, 3), (IndexRecord { 0, 4, 1 }));
        QCOMPARE(recordOf(art, kArtRecordCount - 1), (IndexRecord { -1, 0, 0 }));

        // A listed texture past the end of texidx.mul gets its record.
        QVERIFY2(saveImageFiles(dir.path(), Texture, { 1, 5 }, changes, &error), qPrintable(error));
        const QByteArray tex = readBytes(dir.file("texidx.mul"));
        QCOMPARE(tex.size(), 6 * 12);
        QCOMPARE(recordOf(tex, 1), (IndexRecord { 0, 8, 0 }));
        QCOMPARE(recordOf(tex, 5), (IndexRecord { -1, 0, 0 }));

        // An id no index can hold is refused, not dropped.
        QVERIFY(!saveImageFiles(dir.path(), Texture, { 1, 70000 }, changes, &error));
        QVERIFY2(error.contains("Texture 0x11170"), qPrintable(error));
    }

    void nullImageKeepsTheStoredEntry()
    {
        SaveDir dir;
        dir.writeStandard();
        const auto before = dir.snapshot();
        ChangeSet changes;
        changes.images[Texture].insert(3, QImage());
        changes.images[Gump].insert(1, QImage());
        changes.images[Static].insert(0, QImage());
        QString error;
        const Listed listed = listedIn(dir.path());
        QVERIFY2(saveAll(dir.path(), listed.ids, changes, true, &error), qPrintable(error));
        // Already compact files come out byte for byte the same.
        QCOMPARE(recordOf(readBytes(dir.file("texidx.mul")), 3), (IndexRecord { 40, 20, 1 }));
        QCOMPARE(readBytes(dir.file("texmaps.mul")), entryBytes(Texture, 1, 40) + entryBytes(Texture, 3, 20));
        QCOMPARE(recordOf(readBytes(dir.file("gumpidx.mul")), 1), (IndexRecord { 12, 8, 0x00020002 }));
        QCOMPARE(recordOf(readBytes(dir.file("artidx.mul")), kLandCount), (IndexRecord { 50, 50, 11 }));
        QVERIFY(changes.isEmpty());
        QCOMPARE(dir.snapshot()["tiledata.mul"], before["tiledata.mul"]);
    }

    void refusedImageFailsTheSaveAndChangesNothing()
    {
        SaveDir dir;
        dir.writeStandard();
        const auto before = dir.snapshot();
        ChangeSet changes;
        changes.images[Land].insert(2, filledImage(10, 10, 0xff00ff00));   // land must be 44 x 44
        changes.images[Gump].insert(4, filledImage(5, 5, 0xff0000ff));
        changes.animEntries.insert(1, anim_st());
        const ChangeSet kept = changes;
        const Listed listed = listedIn(dir.path());
        QString error;
        QVERIFY(!saveAll(dir.path(), listed.ids, changes, true, &error));
        QVERIFY2(error.contains("Land 0x2"), qPrintable(error));
        QCOMPARE(dir.snapshot(), before);
        QCOMPARE(changes.images[Land].keys(), kept.images[Land].keys());
        QCOMPARE(changes.images[Gump].keys(), kept.images[Gump].keys());
        QCOMPARE(changes.animEntries.keys(), kept.animEntries.keys());
    }

    void brokenRecordsAndMissingFilesFailWithTheirName_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("entry past the end") << "gumpidx" << "Gump 0x0 in gumpidx.mul points outside gumpart.mul";
        QTest::newRow("missing data file") << "gumpart" << "gumpart.mul";
        QTest::newRow("missing animdata") << "animdata" << "animdata.mul is missing";
        QTest::newRow("no directory") << "nodir" << "does not exist";
        QTest::newRow("short animdata") << "shortanim" << "animdata.mul has no entry for Static 0x8";
    }

    void brokenRecordsAndMissingFilesFailWithTheirName()
    {
        QFETCH(QString, damage);
        QFETCH(QString, expected);
        SaveDir dir;
        dir.writeStandard();
        QString path = dir.path();
        if (damage == "gumpidx")
            writeBytes(dir.file("gumpart.mul"), readBytes(dir.file("gumpart.mul")).left(35));
        else if (damage == "gumpart")
            QFile::remove(dir.file("gumpart.mul"));
        else if (damage == "animdata")
            QFile::remove(dir.file("animdata.mul"));
        else if (damage == "nodir")
            path = dir.file("gone");
        else
            dir.writeAnimData(548);   // ids 0 to 7 only
        const auto before = dir.snapshot();
        ChangeSet changes;
        changes.animEntries.insert(8, anim_st());
        changes.tiles[Static].insert(4, tile_struct());
        const Listed listed = listedIn(dir.path());
        QString error;
        QVERIFY(!saveAll(path, listed.ids, changes, true, &error));
        QVERIFY2(error.contains(expected), qPrintable(error));
        QCOMPARE(dir.snapshot(), before);   // no staged file left either
        QCOMPARE(changes.tiles[Static].size(), 1);
        QCOMPARE(changes.animEntries.size(), 1);
    }

    void editedImagesWriteTheirExtras()
    {
        SaveDir dir;
        dir.writeStandard();
        ChangeSet changes;
        const QImage statik = filledImage(7, 9, 0xff336699);
        const QImage gump = filledImage(300, 2, 0xff112233);
        const QImage big = filledImage(128, 128, 0xff445566);
        const QImage small = filledImage(64, 64, 0xff778899);
        changes.images[Static].insert(300, statik);
        changes.images[Gump].insert(1, gump);
        changes.images[Texture].insert(1, big);
        changes.images[Texture].insert(3, small);
        const Listed listed = listedIn(dir.path());
        QString error;
        QVERIFY2(saveAll(dir.path(), listed.ids, changes, true, &error), qPrintable(error));

        const QByteArray art = readBytes(dir.file("artidx.mul"));
        const QByteArray staticBytes = encodeStatic(statik);
        QCOMPARE(recordOf(art, kLandCount + 300), (IndexRecord { 110, qint32(staticBytes.size()), 13 }));
        QCOMPARE(readBytes(dir.file("art.mul")).mid(110, staticBytes.size()), staticBytes);

        const QByteArray gumpBytes = encodeGump(gump);
        QCOMPARE(recordOf(readBytes(dir.file("gumpidx.mul")), 1),
                 (IndexRecord { 12, qint32(gumpBytes.size()), (300u << 16) | 2u }));
        QCOMPARE(readBytes(dir.file("gumpart.mul")).mid(12, gumpBytes.size()), gumpBytes);

        const QByteArray tex = readBytes(dir.file("texidx.mul"));
        const QByteArray bigBytes = encodeTexture(big);
        QCOMPARE(recordOf(tex, 1), (IndexRecord { 0, qint32(bigBytes.size()), 1 }));
        QCOMPARE(recordOf(tex, 3), (IndexRecord { qint32(bigBytes.size()), qint32(encodeTexture(small).size()), 0 }));
        QCOMPARE(readBytes(dir.file("texmaps.mul")), bigBytes + encodeTexture(small));
    }

    void tileRecordsAreWrittenWhereTheyAreRead()
    {
        SaveDir dir;
        dir.writeStandard();
        QByteArray expected = readBytes(dir.file("tiledata.mul"));
        tile_struct land;
        land.name = QStringLiteral("ABC");
        land.flags = 0x80000041;
        land.texid = 0x1234;
        const tile_struct statik = sampleStaticTile();
        ChangeSet changes;
        changes.tiles[Land].insert(33, land);       // land 33 is listed nowhere: unchanged item
        changes.tiles[Static].insert(33, statik);   // static 33 is not listed: a deleted item
        changes.tiles[Static].insert(65535, statik);
        QString error;
        QVERIFY2(saveArtFiles(dir.path(), { 0 }, { 0 }, changes, true, &error), qPrintable(error));

        expected.replace(866, 26, QByteArray::fromHex("41000080" "3412") + QByteArray("ABC") + QByteArray(17, 0));
        const QByteArray staticRecord = QByteArray::fromHex("04030281" "f5" "06" "0807" "09" "0a" "0cfb" "0e0d" "ef" "10" "11")
            + QByteArray("twenty characters!!!");   // 20 characters: no terminating zero
        QCOMPARE(staticRecord.size(), 37);
        expected.replace(429261, 37, staticRecord);
        expected.replace(2861019, 37, staticRecord);
        QCOMPARE(readBytes(dir.file("tiledata.mul")), expected);
        QVERIFY(changes.tiles[Land].isEmpty() && changes.tiles[Static].isEmpty());
    }

    void tileDataOfAnotherLayoutIsLeftAlone()
    {
        SaveDir dir;
        dir.writeStandard();
        dir.writeTileData(601480);   // fits the classic and the wide layout: unknown
        const QByteArray before = readBytes(dir.file("tiledata.mul"));
        ChangeSet changes;
        changes.tiles[Static].insert(2, tile_struct());
        changes.images[Land].insert(99, QImage());
        QString error;
        QStringList notes;
        QCOMPARE(tileDataState(dir.path()), TileDataState::OtherLayout);
        QVERIFY2(saveArtFiles(dir.path(), { 0 }, {}, changes, true, &error, &notes), qPrintable(error));
        QCOMPARE(readBytes(dir.file("tiledata.mul")), before);
        QCOMPARE(changes.tiles[Static].size(), 1);   // kept, and the user is told
        QVERIFY(changes.images[Land].isEmpty());
        QCOMPARE(notes.size(), 1);

        // Told not to write it, Save leaves a file of the known layout alone as well.
        dir.writeTileData(kFullTileDataSize);
        const QByteArray known = readBytes(dir.file("tiledata.mul"));
        notes.clear();
        QVERIFY(saveArtFiles(dir.path(), { 0 }, {}, changes, false, &error, &notes));
        QCOMPARE(readBytes(dir.file("tiledata.mul")), known);
        QCOMPARE(notes.size(), 1);
    }

    void animationRecordsChangeOnlyTheirBytes()
    {
        SaveDir dir;
        dir.writeStandard();
        QByteArray expected = readBytes(dir.file("animdata.mul"));
        anim_st anim;
        for (int i = 0; i < 64; ++i)
            anim.frames[size_t(i)] = qint8(i - 32);
        anim.frameUnknown = -1;
        anim.frameCount = 3;
        anim.frameInterval = 4;
        anim.frameStart = -128;
        ChangeSet changes;
        changes.animEntries.insert(9, anim);
        QString error;
        QVERIFY2(saveAnimFile(dir.path(), changes, &error), qPrintable(error));
        QByteArray record;
        for (qint8 f : anim.frames)
            record.append(char(f));
        record.append(QByteArray::fromHex("ff0304" "80"));
        expected.replace(620, 68, record);
        QCOMPARE(readBytes(dir.file("animdata.mul")), expected);
        QCOMPARE(changes.animEntries.size(), 1);   // written again by every save
    }
};

QTEST_GUILESS_MAIN(TestSave)
#include "tst_save.moc"
