// What qmtool tells a newcomer: its own message first and naming the file at fault, and a
// leftover save lock that stands in the way of nothing.
#include "savedirs.h"
#include "testdata.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A PNG whose text chunk fails its checksum: the image library warns about it while reading.
// `cut` ends the file inside the image data, so that the picture cannot be read at all.
QByteArray pngWithBadTextChunk(bool cut)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    filledImage(8, 8, qRgb(200, 100, 50)).save(&buffer, "PNG");
    const QByteArray text = QByteArray::fromHex("0000000a") + QByteArray("tEXtComment\0hi", 14)
        + QByteArray::fromHex("0badc0de");
    png.insert(8 + 25, text);   // after the signature and the header chunk
    return cut ? png.left(png.size() - 20) : png;
}

} // namespace

class TestQmtoolMessages : public QObject {
    Q_OBJECT

private slots:
    void libraryWarningsComeAfterTheToolsMessage()
    {
        SaveDir dir;
        dir.writeStandard();
        writeBytes(dir.file("broken.png"), pngWithBadTextChunk(true));
        writeBytes(dir.file("fine.png"), pngWithBadTextChunk(false));
        QVERIFY(!QImage(dir.file("fine.png")).isNull());

        ToolRun run = runToolIn(dir.path(), { "import-image", "gump", "1", dir.file("broken.png") });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith("qmtool: cannot read the picture"), qPrintable(run.err));
        QVERIFY2(run.err.contains("libpng"), qPrintable(run.err));   // kept, after it

        run = runToolIn(dir.path(), { "import-image", "gump", "1", dir.file("fine.png") });
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.err));
    }

    void missingFilesAndDirectoriesAreNamed()
    {
        SaveDir dir;
        dir.writeStandard();
        QVERIFY(QFile::remove(dir.file("gumpart.mul")));
        ToolRun run = runToolIn(dir.path(), { "export-image", "gump", "1", dir.file("g.png") });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith("qmtool: gumpart.mul cannot be read: "), qPrintable(run.err));

        run = runTool({ "--dir", dir.file("artidx.mul"), "list", "land" });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("artidx.mul is not a directory"), qPrintable(run.err));
    }

    // A lock that another machine's program holds (so it never counts as stale) stands for
    // one this user cannot take over, as in a directory only readable to them.
    void leftoverLockBlocksOnlyAnUnfinishedSave()
    {
        SaveDir dir;
        dir.writeStandard();
        writeBytes(dir.file("savelock.qmg"), "4242\nqmtool\nelsewhere.example\n");
        ToolRun run = runToolIn(dir.path(), { "list", "gump" });
        QVERIFY2(run.exitCode == 0 && run.out == "0x0\n0x1\n0x4\n", qPrintable(run.err));

        // With a journal the files must not be read before the save is finished.
        writeBytes(dir.file("gumpidx.mul.qmg"), "new index");
        writeBytes(dir.file("savejournal.qmg"), "Quillmark save journal 1\ngumpidx.mul\nend\n");
        run = runToolIn(dir.path(), { "list", "gump" });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("holds an interrupted save") && run.err.contains("To finish it, run any qmtool command"),
                 qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestQmtoolMessages)
#include "tst_qmtool_messages.moc"
