// The Export and Import commands: the main window's, driven through scripted dialogs, and
// qmtool's, run as a process, on a small data directory built here.
#include "animdata.h"
#include "artcodec.h"
#include "indexfile.h"
#include "itemsource.h"
#include "littleendian.h"
#include "mainwindow.h"
#include "patchfile.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "tiledata.h"
#include "treelists.h"
#include "uodir.h"

#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace qm;

namespace {

// The items of the directory: land 3, static 5, gump 2 (5 x 4), texture 1 (64 x 64).
constexpr int kLandId = 3, kStaticId = 5, kGumpId = 2, kTextureId = 1;

int itemId(int kind)
{
    const int ids[] = { kLandId, kStaticId, kGumpId, kTextureId };
    return ids[kind];
}

QImage pattern(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 8 + seed) & 0xf8, (y * 8) & 0xf8, (seed * 40) & 0xf8));
    return image;
}

// Stored tile records with bytes after the name's terminating zero, which an export of an
// unedited item copies as they are.
QByteArray storedLandTile()
{
    QByteArray r(kLandTileRecordSize, '\0');
    writeU32(r.data(), 0x41);
    writeU16(r.data() + 4, 77);
    memcpy(r.data() + 6, "grass\0junk", 10);
    return r;
}

QByteArray storedStaticTile()
{
    QByteArray r(kStaticTileRecordSize, '\0');
    for (int i = 0; i < 17; ++i)
        r[i] = char(i + 1);
    memcpy(r.data() + 17, "tree\0left over", 14);
    return r;
}

QByteArray storedAnim()
{
    QByteArray r(kAnimRecordSize, '\0');
    for (int i = 0; i < kAnimRecordSize; ++i)
        r[i] = char(i * 3 - 20);
    return r;
}

void writeAt(QByteArray& file, qint64 offset, const QByteArray& bytes)
{
    file.replace(offset, bytes.size(), bytes);
}

// A data directory of one item per kind, encoded by the program's own encoders.
void buildDataDir(const QString& dir)
{
    QByteArray art;
    QVector<IndexRecord> artIndex = emptyIndex(kArtRecordCount);
    const QByteArray land = encodeLand(pattern(kLandSize, kLandSize, 1));   // keeps just the diamond
    artIndex[kLandId] = { qint32(art.size()), qint32(land.size()), 0 };
    art += land;
    const QByteArray stat = encodeStatic(pattern(20, 30, 2));
    artIndex[kLandCount + kStaticId] = { qint32(art.size()), qint32(stat.size()), 0 };
    art += stat;
    writeBytes(dir + "/art.mul", art);
    writeBytes(dir + "/artidx.mul", indexBytes(artIndex));

    QVector<IndexRecord> gumpIndex = emptyIndex(4);
    const QByteArray gump = encodeGump(pattern(5, 4, 3));
    gumpIndex[kGumpId] = { 0, qint32(gump.size()), (5u << 16) | 4u };
    writeBytes(dir + "/gumpart.mul", gump);
    writeBytes(dir + "/gumpidx.mul", indexBytes(gumpIndex));

    QVector<IndexRecord> texIndex = emptyIndex(3);
    const QByteArray texture = encodeTexture(pattern(64, 64, 4));
    texIndex[kTextureId] = { 0, qint32(texture.size()), 0 };
    writeBytes(dir + "/texmaps.mul", texture);
    writeBytes(dir + "/texidx.mul", indexBytes(texIndex));

    QByteArray tiles(kLandTileSectionSize + 2048 * 1188, '\0');
    writeAt(tiles, landTileOffset(kLandId), storedLandTile());
    writeAt(tiles, staticTileOffset(kStaticId), storedStaticTile());
    writeBytes(dir + "/tiledata.mul", tiles);

    QByteArray anims(548 * 8, '\0');
    writeAt(anims, animOffset(kStaticId), storedAnim());
    writeBytes(dir + "/animdata.mul", anims);
}

// One window on a fresh data directory, its own settings and scripted dialogs.
struct Fixture {
    TestSettings settings;
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<mainwindow> w;

    Fixture()
    {
        buildDataDir(dir.path());
        writeUODir(dir.path());
        w = std::make_unique<mainwindow>();
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // Selects the item on its tab and runs Export with the QMP filter.
    void exportItem(int kind, int id, const QString& fileName)
    {
        w->tabSelect->setCurrentIndex(kind);
        QTreeView* list = w->listForKind(kind);
        list->clearSelection();
        selectItem(list, id);
        dialogs.fileAnswers.append({ fileName, QStringLiteral("QMP (*.qmp)") });
        w->fileExport();
    }

    void importFile(const QString& fileName, const QString& idAnswer)
    {
        // Only this import's answer: a refused file leaves its answer unasked.
        dialogs.fileAnswers.append({ fileName, QString() });
        dialogs.textAnswers = QStringList { idAnswer };
        w->fileImport();
    }

    QString status() const { return w->statusBar()->currentMessage(); }
    ToolRun tool(const QStringList& args) const { return runTool(QStringList { "--dir", dir.path() } + args); }
};

} // namespace

class TestPatchCommands : public QObject {
    Q_OBJECT

private slots:
    void roundTripsEveryKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("land") << int(Land);
        QTest::newRow("static") << int(Static);
        QTest::newRow("gump") << int(Gump);
        QTest::newRow("texture") << int(Texture);
    }

    void roundTripsEveryKind()
    {
        QFETCH(int, kind);
        Fixture f;
        const int id = itemId(kind);
        const QImage original = currentImage(f.w->mulDir, f.w->editSession()->changes(), ItemKind(kind), id);
        QVERIFY(!original.isNull());
        f.exportItem(kind, id, f.path("item"));
        QCOMPARE(f.dialogs.asked, QStringList { "Export Item" });
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(QFile::exists(f.path("item.qmp")));

        // Under the same id: the existing entry is selected, whatever tab is current.
        f.w->tabSelect->setCurrentIndex((kind + 1) % 4);
        const int listed = listCount(f.w->listForKind(kind));
        f.importFile(f.path("item.qmp"), QString::number(id));
        const QStringList captions { "Land Tile id", "Static Tile id", "Gump id", "Texture id" };
        QCOMPARE(f.dialogs.asked.mid(1), (QStringList { "File to import", captions[kind] }));
        QCOMPARE(f.dialogs.lastLabel, QStringLiteral("Enter id (null id to create one)"));
        QCOMPARE(f.dialogs.lastInitial, QString::number(id));
        QCOMPARE(listCount(f.w->listForKind(kind)), listed);
        QCOMPARE(selectedTexts(f.w->listForKind(kind)), QStringList { QStringLiteral("0x%1").arg(id, 0, 16) });
        QCOMPARE(f.w->editSession()->changes().images[kind].value(id), original);

        // Under another id, in hexadecimal: a new entry, sorted in, selected, no longer free.
        const int other = 0x21;
        QVERIFY(f.w->freeIds[kind].count(other) || kind == Gump || kind == Texture);
        f.importFile(f.path("item.qmp"), QStringLiteral(" 0X21 "));
        QTreeView* list = f.w->listForKind(kind);
        QCOMPARE(listCount(list), listed + 1);
        QCOMPARE(listTexts(list).last(), QStringLiteral("0x21"));
        QCOMPARE(selectedTexts(list), QStringList { "0x21" });
        QVERIFY(!f.w->freeIds[kind].count(other));
        QCOMPARE(currentImage(f.w->mulDir, f.w->editSession()->changes(), ItemKind(kind), other), original);
        if (hasTileData(kind)) {
            QCOMPARE(f.w->getTile(kind, other), f.w->getTile(kind, id));
            QVERIFY(!f.w->getTile(kind, other).name.isEmpty());
        } else {
            QVERIFY(f.w->editSession()->changes().tiles[Land].isEmpty() && f.w->editSession()->changes().tiles[Static].isEmpty());
        }
        if (kind == Static)
            QCOMPARE(f.w->getAnim(other), parseAnim(storedAnim().constData()));
        else
            QVERIFY(f.w->editSession()->changes().animEntries.isEmpty());
    }

    void uneditedItemCarriesStoredBytes()
    {
        Fixture f;
        f.exportItem(Static, kStaticId, f.path("tree.qmp"));
        const QByteArray bytes = readBytes(f.path("tree.qmp"));
        QCOMPARE(bytes.right(68), storedAnim());
        QCOMPARE(bytes.right(68 + 37).left(37), storedStaticTile());   // junk after the name too
        f.exportItem(Land, kLandId, f.path("grass.qmp"));
        QCOMPARE(readBytes(f.path("grass.qmp")).right(26), storedLandTile());

        // Open editors hear of the import. The signals pass references, which QSignalSpy
        // cannot record: count by hand.
        QList<int> announced;
        connect(f.w.get(), &mainwindow::updateImage, this, [&](int, int id, QImage&) { announced << id; });
        connect(f.w.get(), &mainwindow::tileChange, this, [&](int, int id, tile_struct&) { announced << id; });
        connect(f.w.get(), &mainwindow::changeAnim, this, [&](int id, anim_st&) { announced << id; });
        f.importFile(f.path("tree.qmp"), QStringLiteral(""));   // empty answer: the smallest free id
        QCOMPARE(announced, (QList<int> { 0, 0, 0 }));
        QCOMPARE(selectedTexts(f.w->listStatic), QStringList { "0x0" });
        QCOMPARE(listTexts(f.w->listStatic).first(), QStringLiteral("0x0"));   // sorted in
        QVERIFY(!f.w->freeIds[Static].count(0));
        QCOMPARE(f.w->staticTiles.value(0).name, QStringLiteral("tree"));
        QCOMPARE(f.w->staticTiles.value(0).height, quint8(17));
    }

    void editedItemIsExportedAsEdited()
    {
        Fixture f;
        QImage edited = pattern(10, 12, 9);
        f.w->rcvImage(Static, kStaticId, edited);
        tile_struct tile = f.w->getTile(Static, kStaticId);
        tile.name = QStringLiteral("a much longer name than fits");
        tile.weight = 99;
        f.w->rcvTile(Static, kStaticId, tile);
        f.exportItem(Static, kStaticId, f.path("edited.qmp"));

        PatchItem patch;
        QString error;
        QVERIFY2(readPatchFile(f.path("edited.qmp"), &patch, &error), qPrintable(error));
        QCOMPARE(patch.image, edited);
        QCOMPARE(parseStaticTile(patch.tileRecord.constData()).name, QStringLiteral("a much longer name t"));
        QCOMPARE(parseStaticTile(patch.tileRecord.constData()).weight, quint8(99));

        // After Save the same item exports what the rewritten files hold.
        f.w->fileSave();
        QVERIFY(f.w->staticImages.isEmpty());
        f.exportItem(Static, kStaticId, f.path("saved.qmp"));
        QVERIFY2(readPatchFile(f.path("saved.qmp"), &patch, &error), qPrintable(error));
        QCOMPARE(patch.image, readImageFromFiles(f.dir.path(), Static, kStaticId));
        QCOMPARE(patch.image, decodeStatic(encodeStatic(edited)));

        // A null image in the change set (an emptied item) exports as no image.
        QImage none;
        f.w->rcvImage(Gump, kGumpId, none);
        f.exportItem(Gump, kGumpId, f.path("none.qmp"));
        QCOMPARE(readBytes(f.path("none.qmp")).size(), 20);
    }

    void truncatedPatchChangesNothing()
    {
        Fixture f;
        f.exportItem(Static, kStaticId, f.path("tree.qmp"));
        const QByteArray whole = readBytes(f.path("tree.qmp"));
        const QString cut = f.path("cut.qmp");
        const int listed = listCount(f.w->listStatic);
        for (int n = 0; n < whole.size(); ++n) {
            QVERIFY(writeBytes(cut, whole.left(n)));
            f.dialogs.asked.clear();
            f.importFile(cut, QStringLiteral("9"));
            if (!f.status().startsWith(QLatin1String("Not a patch file: ")) || f.dialogs.asked.size() != 1)
                QFAIL(qPrintable(QStringLiteral("cut at %1: %2").arg(n).arg(f.status())));
        }
        QVERIFY(f.w->editSession()->changes().isEmpty());
        QCOMPARE(listCount(f.w->listStatic), listed);
        QVERIFY(f.w->freeIds[Static].count(9));
    }

    void refusedFilesAndAnswers()
    {
        Fixture f;
        QByteArray kind7;
        for (quint32 v : { 1u, 7u, 0u, 0u, 0u })
            appendU32(kind7, v);
        writeBytes(f.path("kind7.qmp"), kind7);
        f.importFile(f.path("kind7.qmp"), QStringLiteral("1"));
        QCOMPARE(f.status(), QStringLiteral("Not a patch file: unknown item kind 7"));
        QCOMPARE(f.dialogs.asked, QStringList { "File to import" });   // no id question

        PatchItem land;
        land.kind = Land;
        land.id = 4;
        land.image = pattern(50, 50, 1);
        land.tileRecord = storedLandTile();
        QByteArray bytes;
        QString error;
        QVERIFY(serialisePatch(land, &bytes, &error));
        writeBytes(f.path("big.qmp"), bytes);
        f.importFile(f.path("big.qmp"), QStringLiteral("4"));
        QVERIFY2(f.status().startsWith(QLatin1String("Cannot import this patch: ")), qPrintable(f.status()));

        f.exportItem(Land, kLandId, f.path("grass.qmp"));
        f.importFile(f.path("grass.qmp"), QStringLiteral("16384"));
        QCOMPARE(f.status(), QStringLiteral("Land ids run from 0 to 16383; 16384 cannot be stored"));

        f.w->statusBar()->clearMessage();
        f.importFile(f.path("grass.qmp"), QStringLiteral("twelve"));   // no number: no word
        f.importFile(f.path("grass.qmp"), QString());   // null: cancelled
        QCOMPARE(f.status(), QString());
        f.dialogs.fileAnswers.append({ QString(), QString() });   // no file chosen
        f.w->fileImport();
        QVERIFY(f.w->editSession()->changes().isEmpty());

        // A gump index without free ids: an empty answer cannot create an item.
        f.exportItem(Gump, kGumpId, f.path("gump.qmp"));
        const FreeIds freeGumps = f.w->freeIds[Gump];
        for (quint32 id : freeGumps)
            QVERIFY(f.w->editSession()->insert(Gump, int(id)));
        f.importFile(f.path("gump.qmp"), QStringLiteral(""));
        QCOMPARE(f.status(), QStringLiteral("Unable to create a new item"));
        QVERIFY(f.w->editSession()->changes().isEmpty());
    }

    void exportDialogRules()
    {
        Fixture f;
        // No selection: the dialog is shown, nothing is written.
        f.w->tabSelect->setCurrentIndex(Gump);
        f.w->listGump->clearSelection();
        f.dialogs.fileAnswers.append({ f.path("x"), QStringLiteral("QMP (*.qmp)") });
        f.w->fileExport();
        QCOMPARE(f.dialogs.asked, QStringList { "Export Item" });
        QVERIFY(!QFile::exists(f.path("x")) && !QFile::exists(f.path("x.qmp")));

        // Another filter: exactly the typed name.
        selectItem(f.w->listGump, kGumpId);
        f.dialogs.fileAnswers.append({ f.path("gump.png"), QStringLiteral("All Files (*.*)") });
        f.w->fileExport();
        QCOMPARE(readBytes(f.path("gump.png")).left(4), QByteArray("\x01\0\0\0", 4));

        // A file that cannot be created: a message, and no half-written file.
        f.exportItem(Gump, kGumpId, f.path("missing/gump.qmp"));
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(f.dialogs.messages.first().startsWith(QLatin1String("Export Item: Cannot write ")),
                 qPrintable(f.dialogs.messages.first()));

        // A tiledata.mul of another layout: its bytes at our offsets belong to other records.
        QByteArray tiles = readBytes(f.path("tiledata.mul"));
        tiles.append(QByteArray(1188 * 3 / 2, '\0'));
        writeBytes(f.path("tiledata.mul"), tiles);
        f.w->editSession()->open(f.w->mulDir);   // the session serves what it read
        f.exportItem(Land, kLandId, f.path("grass.qmp"));
        QCOMPARE(f.dialogs.messages.size(), 2);
        QVERIFY2(f.dialogs.messages.last().contains(QLatin1String("layout")), qPrintable(f.dialogs.messages.last()));
        QVERIFY(!QFile::exists(f.path("grass.qmp")));
        // An edited record does not come from the file and can still go.
        tile_struct edited;
        edited.name = QStringLiteral("edited");
        f.w->rcvTile(Land, kLandId, edited);
        f.exportItem(Land, kLandId, f.path("grass.qmp"));
        QVERIFY(QFile::exists(f.path("grass.qmp")));
    }

    // A patch moved to another directory and back brings every item back pixel for pixel:
    // each import encodes the decoded picture again, which must not shift its colours.
    void movedThereAndBackIsPixelIdentical()
    {
        QTemporaryDir a, b;
        buildDataDir(a.path());
        buildDataDir(b.path());
        const QString patch = a.filePath("item.qmp");
        auto tool = [&](const QTemporaryDir& dir, const QStringList& args) {
            const ToolRun run = runToolIn(dir.path(), args);
            return run.exitCode == 0 ? QString() : run.err;
        };
        for (int kind = 0; kind < kItemKindCount; ++kind) {
            const QString id = QString::number(itemId(kind));
            const QString kindArg = QString::number(kind);
            const QImage original = readImageFromFiles(a.path(), ItemKind(kind), itemId(kind));
            QCOMPARE(tool(a, { "export-patch", kindArg, id, patch }), QString());
            QCOMPARE(tool(b, { "import-patch", patch, "--id", "0x21" }), QString());
            QCOMPARE(tool(b, { "export-patch", kindArg, "0x21", patch }), QString());
            QCOMPARE(tool(a, { "import-patch", patch, "--id", id }), QString());
            QCOMPARE(readImageFromFiles(b.path(), ItemKind(kind), 0x21), original);
            QCOMPARE(readImageFromFiles(a.path(), ItemKind(kind), itemId(kind)), original);
        }
    }

    void toolExportWritesExactlyOut()
    {
        Fixture f;
        const ToolRun run = f.tool({ "export-patch", "static", "0x5", f.path("tree.bin") });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(!QFile::exists(f.path("tree.bin.qmp")));
        // The same bytes as the editor's export of the unedited item.
        f.exportItem(Static, kStaticId, f.path("tree.qmp"));
        QCOMPARE(readBytes(f.path("tree.bin")), readBytes(f.path("tree.qmp")));
    }

    void toolUsageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("export: too few") << QStringList { "export-patch", "static", "5" } << 1;
        QTest::newRow("export: land past 16383") << QStringList { "export-patch", "land", "16384", "x" } << 1;
        QTest::newRow("export: unwritable") << QStringList { "export-patch", "land", "3", "/no/such/dir/x" } << 2;
        QTest::newRow("import: missing file") << QStringList { "import-patch", "/no/such.qmp" } << 2;
    }

    void toolUsageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        Fixture f;
        const auto before = fileSnapshot(f.dir.path());
        const ToolRun run = f.tool(args);
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
        QCOMPARE(fileSnapshot(f.dir.path()), before);
    }

    void toolRefusedImportChangesNothing()
    {
        Fixture f;
        f.exportItem(Static, kStaticId, f.path("tree.qmp"));
        const QByteArray whole = readBytes(f.path("tree.qmp"));
        writeBytes(f.path("cut.qmp"), whole.left(whole.size() / 2));
        const auto before = fileSnapshot(f.dir.path());

        const struct {
            QStringList args;
            int exitCode;
            const char* message;
        } cases[] = {
            { { "import-patch", f.path("cut.qmp") }, 2, "Not a patch file: the file ends inside the image" },
            { { "import-patch", f.path("tree.qmp"), "--id", "65536" }, 2, "Static ids run from 0 to 65535" },
            { { "import-patch", f.path("tree.qmp"), "--id", "tree" }, 1, "not an id" },
        };
        for (const auto& c : cases) {
            const ToolRun run = f.tool(c.args);
            QVERIFY2(run.exitCode == c.exitCode && run.err.contains(QLatin1String(c.message)), qPrintable(run.err));
        }
        QCOMPARE(fileSnapshot(f.dir.path()), before);
    }

    void toolImportSavesUnderAFreeId()
    {
        Fixture f;
        f.exportItem(Static, kStaticId, f.path("tree.qmp"));
        const QImage original = f.w->getStatic(kStaticId);
        const ToolRun run = f.tool({ "import-patch", f.path("tree.qmp"), "--id", "auto" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        // Static 0 was the smallest free id; it now has the item, encoded once more.
        const Catalogues c = readCatalogues(f.dir.path());
        QCOMPARE(c.listed[Static], (QVector<int> { 0, kStaticId }));
        QCOMPARE(readImageFromFiles(f.dir.path(), Static, 0), decodeStatic(encodeStatic(original)));
        QCOMPARE(readTileRecord(f.dir.path(), Static, 0).name, QStringLiteral("tree"));
        QCOMPARE(readAnimRecord(f.dir.path(), 0), parseAnim(storedAnim().constData()));
    }
};

QTEST_MAIN(TestPatchCommands)
#include "tst_patchcommands.moc"
