// Flag bits past the low 32, which only the wide tiledata.mul stores: the tile page's high
// field through edit, undo, save and reopen; their refusal wherever the layout has no room
// for them; qmtool's exact 64-bit tile / set-tile; make-demo --wide.
#include "demodata.h"
#include "editorprobe.h"
#include "editsession.h"
#include "historyprobe.h"
#include "itemwindows.h"
#include "mainwindow.h"
#include "mywidget.h"
#include "numberfield.h"
#include "savedirs.h"
#include "savewrappers.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "tiledata.h"
#include "tilegeneralpage.h"
#include "uodir.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

using namespace qm;

namespace {

constexpr quint64 kBit63AndBit0 = 0x8000000000000001ull;

// A standard directory whose tiledata.mul has the given layout.
void writeDirectory(SaveDir& dir, TileLayout layout)
{
    dir.writeStandard();
    dir.writeTileData(layout == TileLayout::Wide ? kFullWideTileDataSize : kFullTileDataSize);
}

// A shown main window on such a directory, with scripted dialogs.
struct Fixture {
    TestSettings settings;
    SaveDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<mainwindow> w;

    explicit Fixture(TileLayout layout)
    {
        writeDirectory(dir, layout);
        writeUODir(dir.path());
        reopen();
    }
    void reopen()
    {
        w.reset();
        w = std::make_unique<mainwindow>();
        w->show();
    }
    myWidget* open(int kind, int id) { return openItemWindow(*w, kind, id); }
};

QString highText(quint64 flags)
{
    return hexText(quint32(flags >> 32));
}

} // namespace

class TestWideFlags : public QObject {
    Q_OBJECT

private slots:
    void tilePageEditsTheHighFlagsOfAWideDirectory()
    {
        Fixture f(TileLayout::Wide);
        myWidget* e = f.open(Static, 1);
        QVERIFY(e->showsHighFlags() && e->findChild<QLineEdit*>("lineHighFlags")->isVisibleTo(e->tab_2));
        const tile_struct before = f.w->editSession()->tile(Static, 1);
        QCOMPARE(e->findChild<QLineEdit*>("lineHighFlags")->text(), highText(before.flags));
        QVERIFY(!e->hasUnappliedEdits());   // showing them is no edit

        // More than 32 bits: marked, refused with a message, nothing sent.
        typeInto(e->findChild<QLineEdit*>("lineHighFlags"), QStringLiteral("0x100000000"));
        QVERIFY(isMarkedUnacceptable(e->findChild<QLineEdit*>("lineHighFlags")));
        e->clickApply();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages.first().contains("High flags"));
        QVERIFY(!f.w->editSession()->canUndo());

        // High bits and a flag box: one step.
        typeInto(e->findChild<QLineEdit*>("lineHighFlags"), QStringLiteral("0x80000001"));
        e->checkBackground->click();
        e->clickApply();
        const quint64 edited = (0x80000001ull << 32) | (quint32(before.flags) ^ 1u);
        QCOMPARE(f.w->editSession()->tile(Static, 1).flags, edited);
        QCOMPARE(undoDepth(*f.w->editSession()), 1);

        // Undo and redo refresh both the field and the boxes.
        f.w->editUndo();
        QCOMPARE(e->findChild<QLineEdit*>("lineHighFlags")->text(), highText(before.flags));
        QCOMPARE(e->checkBackground->isChecked(), bool(before.flags & 1));
        f.w->editRedo();
        QCOMPARE(e->findChild<QLineEdit*>("lineHighFlags")->text(), QStringLiteral("0x80000001"));

        f.w->fileSave();
        QCOMPARE(readTileRecord(f.dir.path(), Static, 1).flags, edited);
        f.reopen();
        QCOMPARE(f.open(Static, 1)->findChild<QLineEdit*>("lineHighFlags")->text(), QStringLiteral("0x80000001"));
    }

    void classicDirectoryHasNoHighField()
    {
        Fixture f(TileLayout::Classic);
        myWidget* e = f.open(Static, 1);
        QVERIFY(!e->showsHighFlags() && !e->findChild<QLineEdit*>("lineHighFlags")->isVisibleTo(e->tab_2));
        // A hidden field holding junk neither blocks Apply nor reaches the record.
        e->findChild<QLineEdit*>("lineHighFlags")->setText(QStringLiteral("junk"));
        e->checkTranslucent->click();
        e->clickApply();
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.w->editSession()->tile(Static, 1).flags >> 32, quint64(0));
    }

    // The classic layout would drop the bits when writing: the session refuses such a record,
    // and Save refuses one that reaches it (a file that changed layout since the edit).
    void highBitsAreRefusedWhereTheLayoutHasNoRoom()
    {
        SaveDir dir;
        writeDirectory(dir, TileLayout::Classic);
        EditSession s;
        s.open(dir.path());
        QCOMPARE(s.tileDataLayout(), TileLayout::Classic);
        tile_struct t = s.tile(Static, 1);
        t.flags |= quint64(1) << 40;
        QString error;
        QVERIFY(!s.setTile(Static, 1, t, &error));
        QVERIFY2(error.contains("32 bits"), qPrintable(error));
        QVERIFY(!s.storeItem(Static, 1, PictureEdit::stored(), t, anim_st(), QStringLiteral("Import"), &error));
        QVERIFY(!s.canUndo());

        ChangeSet changes;
        changes.tiles[Static].insert(1, t);
        const auto before = dir.snapshot();
        const Listed listed = listedIn(dir.path());
        QVERIFY(!saveArtFiles(dir.path(), listed.ids[Land], listed.ids[Static], changes, true, &error));
        QVERIFY2(error.contains("classic layout"), qPrintable(error));
        QCOMPARE(dir.snapshot(), before);
    }

    void toolRoundTripsAll64FlagBits()
    {
        SaveDir wide;
        writeDirectory(wide, TileLayout::Wide);
        QCOMPARE(runToolIn(wide.path(), { "set-tile", "static", "0x21", "flags=0x8000000000000001" }).exitCode, 0);
        const QByteArray stored = readBytes(wide.file("tiledata.mul")).mid(int(staticTileOffset(0x21, TileLayout::Wide)), 8);
        QCOMPARE(qFromLittleEndian<quint64>(stored.constData()), kBit63AndBit0);
        ToolRun run = runToolIn(wide.path(), { "tile", "static", "0x21" });
        QVERIFY2(run.out.startsWith("{\"flags\":9223372036854775809,"), qPrintable(run.out));
        QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8()).object().size(), 12);   // still one JSON object

        // Refused, nothing changed: past 64 bits, malformed, and past 32 bits on a classic file.
        const auto before = wide.snapshot();
        for (const char* value : { "flags=0x10000000000000000", "flags=18446744073709551616", "flags=-1" })
            QCOMPARE(runToolIn(wide.path(), { "set-tile", "static", "0x21", value }).exitCode, 1);
        QCOMPARE(wide.snapshot(), before);
        SaveDir classic;
        writeDirectory(classic, TileLayout::Classic);
        const auto classicBefore = classic.snapshot();
        run = runToolIn(classic.path(), { "set-tile", "static", "0x21", "flags=0x100000000" });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("32 flag bits"), qPrintable(run.err));
        QCOMPARE(classic.snapshot(), classicBefore);
        QCOMPARE(runToolIn(classic.path(), { "set-tile", "static", "0x21", "flags=0xffffffff" }).exitCode, 0);
        QVERIFY(runToolIn(classic.path(), { "tile", "static", "0x21" }).out.startsWith("{\"flags\":4294967295,"));
    }

    // The wide demo holds the classic demo's records, field for field, plus some high bits.
    void makeDemoWideKeepsEveryRecord()
    {
        QTemporaryDir classic, wide;
        QString error;
        QVERIFY2(writeDemoDirectory(classic.path(), false, true, &error), qPrintable(error));
        const ToolRun run = runTool({ "make-demo", wide.path(), "--wide", "--overwrite" });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(tileDataLayout(wide.path()), TileLayout::Wide);
        const QByteArray c = readBytes(classic.filePath("tiledata.mul")), w = readBytes(wide.filePath("tiledata.mul"));
        int highFlagged = 0;
        for (int kind : { int(Land), int(Static) }) {
            for (int id = 0; id < (kind == Land ? kLandCount : kStaticCount); ++id) {
                const tile_struct before = parseTile(kind, c.constData() + tileOffset(kind, id), TileLayout::Classic);
                tile_struct after = parseTile(kind, w.constData() + tileOffset(kind, id, TileLayout::Wide), TileLayout::Wide);
                highFlagged += after.flags >> 32 ? 1 : 0;
                after.flags &= 0xFFFFFFFFu;
                QCOMPARE(after, before);
            }
        }
        QVERIFY(highFlagged > 10);
        QVERIFY(readTileRecord(wide.path(), Static, 0xa8).flags >> 63);
        QVERIFY(run.out.contains(QStringLiteral("%1 statics with high flag bits").arg(highFlagged)));
        QCOMPARE(runToolIn(wide.path(), { "verify" }).exitCode, 0);
    }
};

QTEST_MAIN(TestWideFlags)
#include "tst_wideflags.moc"
