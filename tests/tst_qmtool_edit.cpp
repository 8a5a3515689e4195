// qmtool's editing commands: each stages a change and runs the editor's whole Save; any
// failure exits 2 and changes no file.
#include "animdata.h"
#include "artcodec.h"
#include "imageimport.h"
#include "savedirs.h"
#include "testdata.h"
#include "tiledata.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>

using namespace qm;

namespace {

ToolRun tool(const SaveDir& dir, QStringList args)
{
    return runTool(QStringList { "--dir", dir.path() } + args);
}

} // namespace

class TestQmtoolEdit : public QObject {
    Q_OBJECT

private slots:
    void deleteEmptiesTheEntriesAndCompacts()
    {
        SaveDir dir;
        dir.writeStandard();
        const ToolRun run = tool(dir, { "delete", "gump", "0", "0x4" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        // The byte layout of a deletion is the save tests' business; here the ids named.
        QCOMPARE(listedIn(dir.path()).ids[Gump], QVector<int> { 1 });
        QCOMPARE(readBytes(dir.file("gumpart.mul")), entryBytes(Gump, 1, 8));
        QVERIFY(dir.snapshot().keys().filter(".qmg").isEmpty());
    }

    void refusedCommandsChangeNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("delete an empty entry") << QStringList { "delete", "gump", "0", "2" } << 2 << "Gump 0x2 has no entry";
        QTest::newRow("unknown kind") << QStringList { "delete", "sprite", "1" } << 1 << "'sprite' is not a kind";
        QTest::newRow("land id too large") << QStringList { "set-tile", "land", "16384", "flags=1" } << 1 << "Land ids run from 0 to 0x3fff";
        QTest::newRow("field of the other kind") << QStringList { "set-tile", "land", "3", "weight=1" } << 1 << "no field 'weight'";
        QTest::newRow("value too large") << QStringList { "set-tile", "static", "3", "hue=256" } << 1 << "no value for hue";
        QTest::newRow("name too long") << QStringList { "set-tile", "static", "3", "name=twenty-one characters" } << 1 << "at most 20";
        QTest::newRow("not an assignment") << QStringList { "set-anim", "3", "frames" } << 1 << "not FIELD=VALUE";
        QTest::newRow("too many frames") << QStringList { "set-anim", "3", "frames=" + QString("1,").repeated(64) + "1" } << 1 << "at most 64";
        QTest::newRow("unreadable picture") << QStringList { "import-image", "static", "5", "/no/such.png" } << 2 << "cannot read the picture";
        QTest::newRow("save takes no arguments") << QStringList { "save", "now" } << 1 << "usage: qmtool [--dir DATADIR] save";
    }

    void refusedCommandsChangeNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        SaveDir dir;
        dir.writeStandard();
        const auto before = dir.snapshot();
        const ToolRun run = tool(dir, args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(dir.snapshot(), before);
    }

    void failedSaveExitsTwoAndChangesNothing()
    {
        SaveDir dir;
        dir.writeStandard();
        QFile::remove(dir.file("texmaps.mul"));
        const auto before = dir.snapshot();
        const ToolRun run = tool(dir, { "delete", "static", "1" });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("texmaps.mul") && run.err.contains("no file was changed"), qPrintable(run.err));
        QCOMPARE(dir.snapshot(), before);   // art.mul untouched although its step came first
    }

    void leftoversAreCleanedBeforeACommandReadsTheDirectory()
    {
        SaveDir dir;
        dir.writeStandard();
        writeBytes(dir.file("artidx.mul.qmg"), "half written");
        const ToolRun run = tool(dir, { "save" });
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("Removed artidx.mul.qmg left by an interrupted save"), qPrintable(run.err));
        QVERIFY(dir.snapshot().keys().filter(".qmg").isEmpty());
    }

    // The record's bytes are the save tests' business; here the FIELD=VALUE arguments.
    void setTileAndSetAnimChangeOnlyTheNamedFields()
    {
        SaveDir dir;
        dir.writeStandard();
        tile_struct tile = readTileRecord(dir.path(), Static, 0x21);
        ToolRun run = tool(dir, { "set-tile", "static", "0x21", "flags=0x41", "weight=255", "unk=0x0708",
                                  "height=17", "name=twenty characters!!!" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        tile.flags = 0x41;
        tile.weight = 255;
        tile.unk = 0x0708;
        tile.height = 17;
        tile.name = QStringLiteral("twenty characters!!!");
        QCOMPARE(readTileRecord(dir.path(), Static, 0x21), tile);

        anim_st anim = readAnimRecord(dir.path(), 9);
        run = tool(dir, { "set-anim", "9", "frames=1,-2,0xff", "frameCount=3", "start=-128" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        anim.frames[0] = 1;
        anim.frames[1] = -2;
        anim.frames[2] = -1;
        anim.frameCount = 3;
        anim.frameStart = -128;
        QCOMPARE(readAnimRecord(dir.path(), 9), anim);
    }

    void setTileRefusesAFileOfAnotherLayout()
    {
        SaveDir dir;
        dir.writeStandard();
        dir.writeTileData(601480);   // fits both layouts
        const auto before = dir.snapshot();
        const ToolRun run = tool(dir, { "set-tile", "static", "1", "hue=3" });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("layout"), qPrintable(run.err));
        QCOMPARE(dir.snapshot(), before);
    }

    void importImageFollowsTheImagePageRules()
    {
        SaveDir dir;
        dir.writeStandard();
        QImage picture = filledImage(100, 50, 0xff804020, QImage::Format_RGB32);
        const QString png = dir.file("picture.png");
        QVERIFY(picture.save(png));
        // Land id 9 is free: the import lists it.
        ToolRun run = tool(dir, { "import-image", "land", "9", png });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QByteArray land = encodeLand(prepareImportedImage(Land, QImage(png)));
        QCOMPARE(land.size(), kLandRecordSize);
        const IndexRecord record = indexRecordAt(readBytes(dir.file("artidx.mul")), 9);
        QCOMPARE(record.length, kLandRecordSize);
        QCOMPARE(readBytes(dir.file("art.mul")).mid(record.offset, record.length), land);

        // A texture import scales; the index says 64 wide.
        run = tool(dir, { "import-image", "texture", "1", png });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(indexRecordAt(readBytes(dir.file("texidx.mul")), 1).extra, 0u);
    }

    // An index that cannot be read: edits of its catalogue are refused naming it, the other
    // catalogues still save, and its data file is never rewritten.
    void unreadableIndexMakesItsCatalogueReadOnly()
    {
        SaveDir dir;
        dir.writeStandard();
        QVERIFY(QFile::remove(dir.file("gumpidx.mul")));
        QVERIFY(QDir(dir.path()).mkdir("gumpidx.mul"));
        const QByteArray gumps = readBytes(dir.file("gumpart.mul"));
        const QString png = dir.file("picture.png");
        QVERIFY(filledImage(4, 4, 0xff804020).save(png));
        ToolRun run = tool(dir, { "import-image", "gump", "1", png });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("gumpidx.mul") && run.err.contains("read-only"), qPrintable(run.err));
        run = tool(dir, { "delete", "static", "1" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(listedIn(dir.path()).ids[Static], (QVector<int> { 0, 300 }));
        QCOMPARE(readBytes(dir.file("gumpart.mul")), gumps);
    }

    // Two edits of one index file started together, many times: each command that reports
    // success finds its edit in the files, whichever saved first.
    void simultaneousSavesLoseNoEdit()
    {
        for (int round = 0; round < 12; ++round) {
            SaveDir dir;
            dir.writeStandard();
            QProcess first, second;
            for (QProcess* p : { &first, &second })
                p->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
            first.start(QStringLiteral(QMTOOL_PATH), { "--dir", dir.path(), "delete", "gump", "0" });
            second.start(QStringLiteral(QMTOOL_PATH), { "--dir", dir.path(), "delete", "gump", "4" });
            QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
            QCOMPARE(first.exitCode(), 0);
            QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());
            QCOMPARE(listedIn(dir.path()).ids[Gump], QVector<int> { 1 });
        }
    }
};

QTEST_GUILESS_MAIN(TestQmtoolEdit)
#include "tst_qmtool_edit.moc"
