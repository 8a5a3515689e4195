// Tile and animation records: where each id lies in its file, reading them back, Latin-1 names, and the change set taking precedence over the files.
#include "animdata.h"
#include "artcodec.h"
#include "itemsource.h"
#include "littleendian.h"
#include "pixels.h"
#include "testdata.h"
#include "tiledata.h"
#include "tilefields.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

anim_st sampleAnim(int seed)
{
    anim_st a;
    for (int i = 0; i < 64; ++i)
        a.frames[size_t(i)] = qint8(seed + i);
    a.frameUnknown = qint8(-1);
    a.frameCount = qint8(-128);
    a.frameInterval = 3;
    a.frameStart = qint8(seed);
    return a;
}

} // namespace

class TestTileAnim : public QObject {
    Q_OBJECT

private slots:
    void entryOffsets()
    {
        QCOMPARE(landTileOffset(0), qint64(4));
        QCOMPARE(landTileOffset(33), qint64(866));
        QCOMPARE(landTileOffset(16383), qint64(428006));
        QCOMPARE(staticTileOffset(0), qint64(428036));
        QCOMPARE(staticTileOffset(33), qint64(429261));
        QCOMPARE(staticTileOffset(65535), qint64(2861019));
        QCOMPARE(staticTileOffset(65535) + tileRecordSize(Static), kFullTileDataSize);
        // Ids outside the sections have no place: writers must not land in the next one.
        QCOMPARE(landTileOffset(16384), qint64(-1));
        QCOMPARE(staticTileOffset(65536), qint64(-1));
        QCOMPARE(tileOffset(Gump, 0), qint64(-1));
        QCOMPARE(landTileOffset(-1), qint64(-1));

        QCOMPARE(animOffset(0), qint64(4));
        QCOMPARE(animOffset(7), qint64(480));
        QCOMPARE(animOffset(8), qint64(552));
        QCOMPARE(animOffset(9), qint64(620));
        QCOMPARE(animOffset(65535) + kAnimRecordSize, kFullAnimDataSize);
        QCOMPARE(animOffset(65536), qint64(-1));

    }

    // The one description of the record: every field at its byte position, in both layouts
    // (flags 4 bytes wide, or 8 in newer files, which moves every later field by 4).
    void fieldTablePlacesEveryField()
    {
        QCOMPARE(tileRecordBytes(Land, 4), 26);
        QCOMPARE(tileRecordBytes(Static, 4), 37);
        QCOMPARE(tileRecordBytes(Land, 8), 30);
        QCOMPARE(tileRecordBytes(Static, 8), 41);
        QCOMPARE(tileRecordBytes(Gump, 4), 0);
        const tile_struct t = sampleStaticTile();
        for (int flagsBytes : { 4, 8 }) {
            const int shift = flagsBytes - 4;
            const QByteArray bytes = writeTileFields(Static, t, flagsBytes);
            QCOMPARE(bytes.size(), 37 + shift);
            const char* p = bytes.constData();
            QCOMPARE(readU32(p), quint32(t.flags));
            QCOMPARE(quint8(p[4 + shift]), t.weight);
            QCOMPARE(quint8(p[5 + shift]), t.quality);
            QCOMPARE(readU16(p + 6 + shift), t.unk);
            QCOMPARE(quint8(p[8 + shift]), t.unk1);
            QCOMPARE(quint8(p[9 + shift]), t.quantity);
            QCOMPARE(readU16(p + 10 + shift), t.animid);
            QCOMPARE(readU16(p + 12 + shift), t.unk2);
            QCOMPARE(quint8(p[14 + shift]), t.hue);
            QCOMPARE(quint8(p[15 + shift]), t.unk3);
            QCOMPARE(quint8(p[16 + shift]), t.height);
            QCOMPARE(bytes.mid(17 + shift), tileNameBytes(t.name));
            QCOMPARE(readTileFields(Static, p, flagsBytes), t);

            const QByteArray land = writeTileFields(Land, t, flagsBytes);
            QCOMPARE(readU16(land.constData() + flagsBytes), t.texid);
            QCOMPARE(readTileFields(Land, land.constData(), flagsBytes).name, t.name);
        }
        QCOMPARE(staticTileBytes(t), writeTileFields(Static, t, kClassicTileFlagsBytes));
        QVERIFY(findTileField(Land, QStringLiteral("TEXID")));
        QVERIFY(!findTileField(Land, QStringLiteral("weight")));
        QCOMPARE(tileFieldMax(*findTileField(Static, QStringLiteral("animid")), 4), quint64(0xffff));
        QCOMPARE(tileFieldMax(*findTileField(Static, QStringLiteral("flags")), 8), ~quint64(0));
    }

    void namesAreLatin1BothWays()
    {
        // Twenty letters without a terminating zero are read whole; the next field is not.
        const QByteArray twenty = QByteArray(6, '\0') + "ABCDEFGHIJKLMNOPQRST" + "XYZ";
        QCOMPARE(parseLandTile(twenty.constData()).name, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        QCOMPARE(tileNameBytes(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUV")), QByteArray("ABCDEFGHIJKLMNOPQRST"));

        // Every byte above 0x7F comes back as it was stored.
        for (int start = 1; start < 256; start += 20) {
            QByteArray name;
            for (int i = 0; i < 20 && start + i < 256; ++i)
                name.append(char(start + i));
            const QByteArray field = name.leftJustified(20, '\0');
            const tile_struct t = parseLandTile((QByteArray(6, '\0') + field).constData());
            QCOMPARE(tileNameBytes(t.name), field);
        }
        QCOMPARE(tileNameBytes(QString::fromUtf8("café")), QByteArray("caf\xe9").leftJustified(20, '\0'));
    }

    void readersAtFirstMiddleAndLastIds()
    {
        QTemporaryDir dir;
        QByteArray tiles(int(kFullTileDataSize), '\0');
        QByteArray anims(int(kFullAnimDataSize), '\0');
        for (int id : { 0, 8191, 16383 }) {
            tile_struct t;
            t.name = QStringLiteral("land %1").arg(id);
            t.flags = quint32(id) * 3u;
            t.texid = quint16(id);
            tiles.replace(int(landTileOffset(id)), kLandTileRecordSize, landTileBytes(t));
        }
        for (int id : { 0, 33, 32767, 65535 }) {
            tile_struct t = sampleStaticTile();
            t.name = QStringLiteral("static %1").arg(id);
            t.animid = quint16(id);
            tiles.replace(int(staticTileOffset(id)), kStaticTileRecordSize, staticTileBytes(t));
            anims.replace(int(animOffset(id)), kAnimRecordSize, animBytes(sampleAnim(id % 100)));
        }
        QVERIFY(writeBytes(dir.filePath("tiledata.mul"), tiles));
        QVERIFY(writeBytes(dir.filePath("animdata.mul"), anims));

        for (int id : { 0, 8191, 16383 }) {
            QByteArray raw;
            const tile_struct t = readTileRecord(dir.path(), Land, id, &raw);
            QCOMPARE(t.name, QStringLiteral("land %1").arg(id));
            QCOMPARE(t.flags, quint32(id) * 3u);
            QCOMPARE(t.texid, quint16(id));
            QCOMPARE(raw, tiles.mid(int(landTileOffset(id)), kLandTileRecordSize));
        }
        for (int id : { 0, 33, 32767, 65535 }) {
            const tile_struct t = readTileRecord(dir.path(), Static, id);
            QCOMPARE(t.name, QStringLiteral("static %1").arg(id));
            QCOMPARE(t.animid, quint16(id));
            QCOMPARE(t.height, quint8(17));
            bool found = false;
            QCOMPARE(readAnimRecord(dir.path(), id, &found), sampleAnim(id % 100));
            QVERIFY(found);
        }

        // Missing or short files, ids out of range: zero records, no raw bytes.
        QByteArray raw("x");
        QCOMPARE(readTileRecord(dir.path(), Static, 65536, &raw), tile_struct());
        QVERIFY(raw.isEmpty());
        QVERIFY(writeBytes(dir.filePath("tiledata.mul"), tiles.left(428040)));
        QCOMPARE(readTileRecord(dir.path(), Static, 0, &raw), tile_struct());
        QVERIFY(raw.isEmpty());
        QVERIFY(writeBytes(dir.filePath("animdata.mul"), anims.left(600)));
        bool found = true;
        QCOMPARE(readAnimRecord(dir.path(), 8, &found), anim_st());
        QVERIFY(!found);
        QTemporaryDir empty;
        QCOMPARE(readTileRecord(empty.path(), Land, 1), tile_struct());
        QCOMPARE(readAnimRecord(empty.path(), 1), anim_st());
    }

    void changeSetTakesPrecedence()
    {
        QTemporaryDir dir;
        // Land 5 and static 5 have images in the files; a tile entry for land 5.
        QImage landImage = filledImage(44, 44, color16ToRgb(0x0001));   // channels 0 and 1 survive saving
        QImage staticImage = filledImage(3, 2, color16ToRgb(0x0020));
        const QByteArray land = encodeLand(landImage);
        const QByteArray stat = encodeStatic(staticImage);
        QVector<IndexRecord> idx = emptyIndex(kArtRecordCount);
        idx[5] = { 0, qint32(land.size()), 0 };
        idx[kLandCount + 5] = { qint32(land.size()), qint32(stat.size()), 0 };
        QVERIFY(writeBytes(dir.filePath("artidx.mul"), indexBytes(idx)));
        QVERIFY(writeBytes(dir.filePath("art.mul"), land + stat));
        QByteArray tiles(int(kFullTileDataSize), '\0');
        tile_struct fileTile;
        fileTile.name = QStringLiteral("from file");
        tiles.replace(int(landTileOffset(5)), kLandTileRecordSize, landTileBytes(fileTile));
        QVERIFY(writeBytes(dir.filePath("tiledata.mul"), tiles));
        QByteArray anims(int(kFullAnimDataSize), '\0');
        anims.replace(int(animOffset(12)), kAnimRecordSize, animBytes(sampleAnim(1)));
        QVERIFY(writeBytes(dir.filePath("animdata.mul"), anims));

        ChangeSet changes;
        QCOMPARE(currentImage(dir.path(), changes, Land, 5).pixel(21, 0), 0xFF000008u);
        QCOMPARE(currentImage(dir.path(), changes, Static, 5).pixel(2, 1), 0xFF000800u);
        QVERIFY(currentImage(dir.path(), changes, Static, 6).isNull());   // empty entry
        QVERIFY(currentImage(dir.path(), changes, Land, 16384).isNull()); // not a land id
        QCOMPARE(currentTile(dir.path(), changes, Land, 5).name, QStringLiteral("from file"));
        QCOMPARE(currentAnim(dir.path(), changes, 12), sampleAnim(1));

        QImage edited = filledImage(44, 44, 0xFF123456u);
        changes.images[Land][5] = edited;
        changes.images[Static][5] = QImage();   // emptied in the editor: null wins
        tile_struct editedTile = sampleStaticTile();
        changes.tiles[Static][5] = editedTile;
        changes.animEntries[12] = sampleAnim(7);
        QCOMPARE(currentImage(dir.path(), changes, Land, 5), edited);
        QVERIFY(currentImage(dir.path(), changes, Static, 5).isNull());
        QCOMPARE(currentTile(dir.path(), changes, Static, 5), editedTile);
        QCOMPARE(currentTile(dir.path(), changes, Land, 5).name, QStringLiteral("from file"));
        QCOMPARE(currentAnim(dir.path(), changes, 12), sampleAnim(7));
        // The files alone still give what they hold.
        QCOMPARE(readImageFromFiles(dir.path(), Static, 5).pixel(0, 0), 0xFF000800u);
    }

    void missingOrBrokenArtFiles()
    {
        QTemporaryDir dir;
        QVERIFY(readImageFromFiles(dir.path(), Static, 0).isNull());   // no files at all
        QVector<IndexRecord> idx = emptyIndex(3);
        idx[0] = { 100, 20, 0x00020002 };   // starts past the end of gumpart.mul
        idx[1] = { 0, 8, 0x00020002 };      // row table only, no pairs
        idx[2] = { 4, 4, 0 };
        QVERIFY(writeBytes(dir.filePath("gumpidx.mul"), indexBytes(idx).left(30)));   // short
        QVERIFY(writeBytes(dir.filePath("gumpart.mul"), QByteArray("\x02\0\0\0\x02\0\0\0", 8)));
        QVERIFY(readImageFromFiles(dir.path(), Gump, 0).isNull());
        const QImage partial = readImageFromFiles(dir.path(), Gump, 1);
        QCOMPARE(partial.size(), QSize(2, 2));
        QCOMPARE(partial.pixel(0, 0), 0u);
        QVERIFY(readImageFromFiles(dir.path(), Gump, 2).isNull());   // record cut off
        QVERIFY(readImageFromFiles(dir.path(), Gump, 99).isNull());
        QVERIFY(readImageFromFiles(dir.path(), Texture, 0).isNull());  // no texture files
        QVERIFY(readImageFromFiles(dir.path(), ItemKind(9), 0).isNull());
    }
};

QTEST_GUILESS_MAIN(TestTileAnim)
#include "tst_tiledata_animdata.moc"
