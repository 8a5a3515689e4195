// qmtool's read-only commands end to end: exit codes, what goes to stdout and stderr, JSON,
// list output, and the demo directory they all work on.
#include "animdata.h"
#include "artcodec.h"
#include "commandtable.h"
#include "demodata.h"
#include "itemsource.h"
#include "pixels.h"
#include "savedirs.h"
#include "testdata.h"
#include "tiledata.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// Runs qmtool with its settings kept in `configHome`, never the user's own.
Run qmtool(const QStringList& args, const QString& configHome = QString())
{
    const QString home = configHome.isEmpty() ? QDir::tempPath() + "/qm-none" : configHome;
    const ToolRun t = runTool(args, { "XDG_CONFIG_HOME=" + home });
    return { t.exitCode, t.out.toLocal8Bit(), t.err.toLocal8Bit() };
}

// A failure: one message line on stderr, nothing on stdout.
bool failsWith(const Run& r, int code)
{
    return r.code == code && r.out.isEmpty() && r.err.count('\n') == 1 && r.err.startsWith("qmtool: ");
}

// A small directory built record by record, so outputs can be checked exactly.
void buildSmallDirectory(const QString& dir)
{
    QImage land = filledImage(44, 44, color16ToRgb(0x0421));
    QImage stat = filledImage(5, 3, 0);
    stat.setPixel(2, 1, color16ToRgb(0x7C00));
    const QByteArray landRecord = encodeLand(land), staticRecord = encodeStatic(stat);
    QVector<IndexRecord> art = emptyIndex(kArtRecordCount);
    art[2] = { 0, qint32(landRecord.size()), 0 };
    art[0x1a] = { 0, qint32(landRecord.size()), 0 };
    art[kLandCount + 0x10] = { qint32(landRecord.size()), qint32(staticRecord.size()), 0 };
    art[kLandCount + 0x11] = { 100000, 20, 0 };   // past the end of art.mul
    writeBytes(dir + "/artidx.mul", indexBytes(art));
    writeBytes(dir + "/art.mul", landRecord + staticRecord);

    QVector<IndexRecord> gumps = emptyIndex(5);
    QImage gump = filledImage(3, 2, color16ToRgb(0x03E0));
    const QByteArray gumpRecord = encodeGump(gump);
    gumps[1] = { 0, qint32(gumpRecord.size()), gumpExtraFor(3, 2) };
    gumps[3] = { 0, qint32(gumpRecord.size()), gumpExtraFor(3, 2) };
    writeBytes(dir + "/gumpidx.mul", indexBytes(gumps));
    writeBytes(dir + "/gumpart.mul", gumpRecord);

    // A texture whose index gives a shorter length than the record: a rewrite would cut it.
    writeBytes(dir + "/texidx.mul", indexBytes({ { 0, 100, 0 }, {} }));
    writeBytes(dir + "/texmaps.mul", QByteArray(8192, '\x11'));

    QByteArray tiles(int(kFullTileDataSize), '\0');
    tile_struct l;
    l.name = QString::fromLatin1("pr\xe9 vert");   // Latin-1 in the file
    l.flags = 0x80000041u;
    l.texid = 7;
    tiles.replace(int(landTileOffset(2)), kLandTileRecordSize, landTileBytes(l));
    tiles.replace(int(staticTileOffset(0x10)), kStaticTileRecordSize, staticTileBytes(sampleStaticTile()));
    writeBytes(dir + "/tiledata.mul", tiles);

    QByteArray anims(int(kFullAnimDataSize), '\0');
    anim_st a;
    for (int i = 0; i < 64; ++i)
        a.frames[size_t(i)] = qint8(i - 1);
    a.frameUnknown = 1;
    a.frameCount = qint8(-128);
    a.frameInterval = 3;
    a.frameStart = 4;
    anims.replace(int(animOffset(0x10)), kAnimRecordSize, animBytes(a));
    writeBytes(dir + "/animdata.mul", anims);
}

} // namespace

class TestQmtoolRead : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_small;

private slots:
    void initTestCase()
    {
        QVERIFY(m_small.isValid());
        buildSmallDirectory(m_small.path());
    }

    void listAndFree()
    {
        Run r = qmtool({ "--dir", m_small.path(), "list", "gump" });
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QByteArray("0x1\n0x3\n"));
        QVERIFY(r.err.isEmpty());
        r = qmtool({ "--dir", m_small.path(), "free", "2" });
        QCOMPARE(r.out, QByteArray("0x0\n0x2\n0x4\n"));
        r = qmtool({ "--dir", m_small.path(), "list", "LAND" });
        QCOMPARE(r.out, QByteArray("0x2\n0x1a\n"));
        r = qmtool({ "--dir", m_small.path(), "list", "static" });
        QCOMPARE(r.out, QByteArray("0x10\n0x11\n"));
        r = qmtool({ "--dir", m_small.path(), "free", "static" });
        QCOMPARE(r.out.count('\n'), kStaticCount - 2);
        QVERIFY(r.out.startsWith("0x0\n0x1\n"));

        QCOMPARE(qmtool({ "--dir", m_small.path(), "list", "texture" }).out, QByteArray("0x0\n"));
        QTemporaryDir empty;
        QVERIFY(failsWith(qmtool({ "--dir", empty.path(), "list", "texture" }), 2));   // no texidx.mul
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "list", "maps" }), 1));
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "list" }), 1));
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "list", "gump", "extra" }), 1));
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path() + "/nowhere", "list", "gump" }), 2));
    }

    void everyCommandExplainsItself()
    {
        for (const char* command : { "list", "free", "export-image", "tile", "anim", "verify", "dir", "make-demo",
                                     "import-image", "delete", "set-tile", "set-anim", "set-hue", "save", "export-patch",
                                     "import-patch" }) {
            const Run r = qmtool({ command, "--help" });
            QCOMPARE(r.code, 0);
            QVERIFY2(r.out.contains(QByteArray("qmtool [--dir DATADIR] ") + command), command);
            QVERIFY2(r.out.contains("\nArguments:\n"), command);
        }
    }

    void exportImage()
    {
        QTemporaryDir out;
        const QString png = out.filePath("static.png");
        Run r = qmtool({ "--dir", m_small.path(), "export-image", "static", "0x10", png });
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        const QImage written(png);
        const QImage decoded = readImageFromFiles(m_small.path(), Static, 0x10);
        QCOMPARE(written.convertToFormat(QImage::Format_ARGB32), decoded);
        QCOMPARE(written.pixel(2, 1), color16ToRgb(0x7C00));   // colours survive encoding
        QCOMPARE(qAlpha(written.pixel(0, 0)), 0);

        r = qmtool({ "--dir", m_small.path(), "export-image", "gump", "3", out.filePath("g.bmp") });
        QCOMPARE(r.code, 0);
        QCOMPARE(QImage(out.filePath("g.bmp")).size(), QSize(3, 2));

        // An empty entry, a record outside the file, an id past the index: data errors.
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "export-image", "land", "0", png }), 2));
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "export-image", "static", "0x11", png }), 2));
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "export-image", "gump", "9", png }), 2));
        // Bad arguments: usage errors, before any file is touched.
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "export-image", "land", "16384", png }), 1));
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "export-image", "land", "two", png }), 1));
        const Run negative = qmtool({ "--dir", m_small.path(), "tile", "land", "-1" });
        QVERIFY(failsWith(negative, 1));
        QVERIFY2(negative.err.contains("'-1' is not an id"), negative.err.constData());
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "export-image", "land", "2", out.filePath("x.nope") }), 1));
    }

    void tileAndAnimAsJson()
    {
        Run r = qmtool({ "--dir", m_small.path(), "tile", "land", "2" });
        QCOMPARE(r.code, 0);
        QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.keys(), (QStringList { "flags", "name", "texid" }));
        QCOMPARE(o.value("name").toString(), QString::fromLatin1("pr\xe9 vert"));
        QCOMPARE(o.value("flags").toInteger(), qint64(0x80000041u));
        QCOMPARE(o.value("texid").toInt(), 7);

        r = qmtool({ "--dir", m_small.path(), "tile", "static", "0x10" });
        o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.size(), 12);
        const char* fields[] = { "weight", "quality", "quantity", "unk", "unk1", "animid", "hue", "unk2", "unk3", "height" };
        const int values[] = { 0xf5, 6, 10, 0x0708, 9, 0xfb0c, 0xef, 0x0d0e, 16, 17 };
        for (int i = 0; i < 10; ++i)
            QCOMPARE(o.value(fields[i]).toInt(), values[i]);
        QCOMPARE(o.value("name").toString(), QStringLiteral("twenty characters!!!"));
        QCOMPARE(o.value("flags").toInteger(), qint64(0x81020304u));

        r = qmtool({ "--dir", m_small.path(), "anim", "16" });
        QCOMPARE(r.code, 0);
        o = QJsonDocument::fromJson(r.out).object();
        const QJsonArray frames = o.value("frames").toArray();
        QCOMPARE(frames.size(), 64);
        QCOMPARE(frames.at(0).toInt(), -1);
        QCOMPARE(frames.at(63).toInt(), 62);
        QCOMPARE(o.value("frameCount").toInt(), -128);
        QCOMPARE(o.value("frameUnknown").toInt(), 1);
        QCOMPARE(o.value("frameInterval").toInt(), 3);
        QCOMPARE(o.value("frameStart").toInt(), 4);

        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "tile", "gump", "1" }), 1));
        QVERIFY(failsWith(qmtool({ "--dir", m_small.path(), "anim", "0x10000" }), 1));
        QTemporaryDir empty;
        QVERIFY(failsWith(qmtool({ "--dir", empty.path(), "tile", "static", "1" }), 2));
        QVERIFY(failsWith(qmtool({ "--dir", empty.path(), "anim", "1" }), 2));
    }

    void verifyNamesEveryProblem()
    {
        Run r = qmtool({ "--dir", m_small.path(), "verify" });
        QCOMPARE(r.code, 2);
        // Static 0x11 lies outside art.mul, texture 0 is longer than its index says.
        QCOMPARE(r.out, QByteArray("Static 0x11: record at offset 100000 starts outside art.mul (2056 bytes)\n"
                                   "Texture 0x0: record uses 8192 bytes but its index gives a length of 100\n"));
        QCOMPARE(r.err.count('\n'), 1);
    }

    void demoDirectoryIsCompleteDeterministicAndClean()
    {
        QTemporaryDir a, b;
        QString error;
        DemoSummary s;
        QVERIFY2(writeDemoDirectory(a.path(), false, false, &error, &s), qPrintable(error));
        Run r = qmtool({ "make-demo", b.path() });
        QCOMPARE(r.code, 0);
        for (const QString& name : demoFileNames())
            QVERIFY2(readBytes(a.filePath(name)) == readBytes(b.filePath(name)), qPrintable(name));

        r = qmtool({ "--dir", a.path(), "verify" });
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());

        // Animated statics carry the flag, their frames are the following ids, and those exist.
        const Catalogues c = readCatalogues(a.path());
        int animated = 0;
        for (int id : c.listed[Static]) {
            const tile_struct t = readTileRecord(a.path(), Static, id);
            QVERIFY(!t.name.isEmpty());
            if (!(t.flags & (1u << 24)))
                continue;
            ++animated;
            const anim_st anim = readAnimRecord(a.path(), id);
            QVERIFY(anim.frameCount > 1);
            for (int f = 0; f < anim.frameCount; ++f)
                QVERIFY(!readImageFromFiles(a.path(), Static, id + anim.frames[size_t(f)]).isNull());
        }
        QVERIFY(animated > 0 && animated == s.animatedStatics);

        // Never over existing data files unless asked.
        const QByteArray before = readBytes(b.filePath("art.mul"));
        QVERIFY(failsWith(qmtool({ "make-demo", b.path() }), 2));
        QCOMPARE(readBytes(b.filePath("art.mul")), before);
    }

    void dirGoesBeforeOrAfterTheCommand()
    {
        const QString dir = m_small.path();
        for (const QStringList& args : { QStringList { "--dir", dir, "list", "gump" },
                                         QStringList { "list", "--dir", dir, "gump" },
                                         QStringList { "list", "gump", "--dir", dir },
                                         QStringList { "list", "gump", "--dir=" + dir + "/" } }) {
            const Run r = qmtool(args);
            QVERIFY2(r.code == 0 && r.out == "0x1\n0x3\n", qPrintable(args.join(' ') + ": " + r.err));
        }
        const Run info = qmtool({ "info", "--dir", dir });
        QVERIFY2(info.code == 0 && info.out.startsWith("directory: "), info.err.constData());
        QVERIFY(qmtool({ "info", "--help" }).out.contains("--dir <DATADIR>"));
        // Once in each place: the same directory is fine, two different ones are a slip.
        QCOMPARE(qmtool({ "--dir", dir, "list", "gump", "--dir", dir }).code, 0);
        const Run two = qmtool({ "--dir", dir, "delete", "gump", "1", "--dir", m_small.path() + "/other" });
        QVERIFY(failsWith(two, 1));
        QVERIFY(two.err.contains("two directories"));
        QCOMPARE(qmtool({ "--dir", dir, "list", "gump" }).out, QByteArray("0x1\n0x3\n"));   // nothing deleted
    }

    // Every command that reads a data directory fails on one that is not there, with --dir in
    // either place; a new command without arguments here fails the test until it gets some.
    void missingDirectoryFailsEveryCommand()
    {
        QTemporaryDir files;
        const QString png = files.filePath("p.png");
        QVERIFY(filledImage(4, 4, qRgb(1, 2, 3)).save(png));
        const QMap<QString, QStringList> arguments {
            { "list", { "gump" } }, { "free", { "gump" } }, { "export-image", { "gump", "1", files.filePath("o.png") } },
            { "tile", { "land", "2" } }, { "anim", { "16" } }, { "verify", {} }, { "info", {} },
            { "convert", { "art", "package" } }, { "import-image", { "gump", "1", png } },
            { "delete", { "gump", "1" } }, { "set-tile", { "land", "2", "texid=1" } },
            { "set-anim", { "16", "count=1" } }, { "save", {} }, { "export-patch", { "gump", "1", files.filePath("o.qmp") } },
            { "import-patch", { files.filePath("in.qmp") } }, { "export-images", { "gump", files.filePath("out") } },
            { "import-images", { "gump", files.path() } }, { "hues", {} }, { "hue", { "1" } }, { "set-hue", { "1", "tableEnd=1" } },
            { "diff", { files.path() } }, { "take", { files.path(), "gump", "1" } },
        };
        const QString missing = m_small.path() + "/nowhere";
        for (const ToolCommandEntry& command : toolCommands()) {
            if (!command.readsDirectory)
                continue;
            QVERIFY2(arguments.contains(command.name), qPrintable(command.name));
            const QStringList args = QStringList { command.name } + arguments.value(command.name);
            for (const QStringList& line : { QStringList { "--dir", missing } + args, args + QStringList { "--dir", missing } }) {
                const Run r = qmtool(line);
                QVERIFY2(failsWith(r, 2), qPrintable(line.join(' ') + ": " + r.out + r.err));
                QVERIFY2(r.err.contains("the data directory " + missing.toLocal8Bit() + " does not exist"), r.err.constData());
            }
        }
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(!QFileInfo::exists(files.filePath("out")));
        // Without --dir and nothing stored, the message says how to give one.
        const Run none = qmtool({ "info" });
        QVERIFY(failsWith(none, 2));
        QVERIFY(none.err.contains("--dir DATADIR"));
    }

    void dirShowsAndStoresTheDataDirectory()
    {
        QTemporaryDir config;
        QVERIFY(failsWith(qmtool({ "dir" }, config.path()), 2));   // none configured
        QCOMPARE(qmtool({ "dir", m_small.path() + "/" }, config.path()).code, 0);
        const Run r = qmtool({ "dir" }, config.path());
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.trimmed(), QDir(m_small.path()).absolutePath().toLocal8Bit());
        QVERIFY(failsWith(qmtool({ "dir", m_small.path() + "/missing" }, config.path()), 2));
        // The stored directory is what the read commands use without --dir.
        QCOMPARE(qmtool({ "list", "gump" }, config.path()).out, QByteArray("0x1\n0x3\n"));

        // A stored directory that has gone is still shown, and the answer says it is missing.
        QTemporaryDir gone;
        QCOMPARE(qmtool({ "dir", gone.path() }, config.path()).code, 0);
        QVERIFY(gone.remove());
        const Run shown = qmtool({ "dir" }, config.path());
        QCOMPARE(shown.code, 2);
        QCOMPARE(shown.out.trimmed(), QDir(gone.path()).absolutePath().toLocal8Bit());
        QVERIFY2(shown.err.contains("does not exist"), shown.err.constData());
        QVERIFY(failsWith(qmtool({ "info" }, config.path()), 2));
    }
};

QTEST_GUILESS_MAIN(TestQmtoolRead)
#include "tst_qmtool_read.moc"
