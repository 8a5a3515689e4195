// The editor's Save command and the check of a data directory before it is read: what the
// user is told, and what is kept when a step fails.
#include "mainwindow.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "tiledata.h"
#include "treelists.h"
#include "uodir.h"

#include <QStatusBar>

#include <functional>
#include <memory>
#include <QTest>
#include <QTreeView>

using namespace qm;

namespace {

// A main window on a standard directory, with scripted dialogs and a private setting.
struct WindowOnDirectory {
    TestSettings settings;
    SaveDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<mainwindow> window;

    // `damage` changes the directory before the window first reads it.
    explicit WindowOnDirectory(const std::function<void(SaveDir&)>& damage = {})
    {
        dir.writeStandard();
        if (damage)
            damage(dir);
        writeUODir(dir.path());
        window = std::make_unique<mainwindow>();
    }
};

} // namespace

class TestSaveMainWindow : public QObject {
    Q_OBJECT

private slots:
    void saveWritesEveryStepAndSaysReady()
    {
        WindowOnDirectory f;
        auto& [settings, dir, dialogs, window] = f;
        mainwindow& w = *window;
        QVERIFY(w.editSession()->remove(Static, { 1 }));
        QVERIFY(w.editSession()->emptyImage(Gump, 1));
        w.fileSave();
        QCOMPARE(dialogs.messages, QStringList());
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Ready"));
        QCOMPARE(indexRecordAt(readBytes(dir.file("artidx.mul")), kLandCount + 1), (IndexRecord { -1, 10, 12 }));
        QVERIFY(w.gumpImages.isEmpty());
    }

    void failedStepIsReportedAndStopsTheSave()
    {
        WindowOnDirectory f;
        auto& [settings, dir, dialogs, window] = f;
        mainwindow& w = *window;
        QFile::remove(dir.file("texmaps.mul"));
        const auto before = dir.snapshot();
        QVERIFY(w.editSession()->emptyImage(Texture, 1));
        QVERIFY(w.editSession()->setAnim(2, anim_st()));
        w.fileSave();
        // One message, naming the file; the animation step after it did not run.
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].startsWith("Save failed: ") && dialogs.messages[0].contains("texmaps.mul"),
                 qPrintable(dialogs.messages[0]));
        QVERIFY(dialogs.messages[0].contains("edits are kept"));
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Save failed"));
        QVERIFY(w.editSession()->isEmptied(Texture, 1));
        QCOMPARE(w.animEntries.size(), 1);
        QCOMPARE(dir.snapshot(), before);
        QVERIFY(w.editSession()->isModified());
    }

    void interruptedSaveIsFinishedBeforeReading()
    {
        // A save that had reached its journal: the new index lists gump 5 only.
        WindowOnDirectory f([](SaveDir& dir) {
            QVector<IndexRecord> gumps = emptyIndex(6);
            gumps[5] = { 0, 4, 0x00010001 };
            writeBytes(dir.file("gumpidx.mul.qmg"), indexBytes(gumps));
            writeBytes(dir.file("gumpart.mul.qmg"), "abcd");
            writeBytes(dir.file("savejournal.qmg"), "Quillmark save journal 1\ngumpart.mul\ngumpidx.mul\nend\n");
        });
        auto& [settings, dir, dialogs, window] = f;
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].startsWith("Interrupted save: Finished"), qPrintable(dialogs.messages[0]));
        QCOMPARE(listTexts(window->listGump), QStringList { "0x5" });
        QCOMPARE(readBytes(dir.file("gumpart.mul")), QByteArray("abcd"));
    }

    void tileDataThatCannotBeWrittenIsSaidOnce()
    {
        WindowOnDirectory f([](SaveDir& dir) { QFile::remove(dir.file("tiledata.mul")); });
        auto& [settings, dir, dialogs, window] = f;
        mainwindow& w = *window;
        QVERIFY(!w.editSession()->tileDataWritable());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].contains("tiledata.mul is missing"), qPrintable(dialogs.messages[0]));
        dir.writeTileData(601480);   // fits both layouts
        dialogs.directoryAnswers << QDir(dir.path()).absolutePath() + "/";
        w.editSession()->open(QStringLiteral("/elsewhere"));
        w.editSettings();
        QVERIFY(!w.editSession()->tileDataWritable());
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY2(dialogs.messages[1].contains("601480 bytes"), qPrintable(dialogs.messages[1]));
        dir.writeTileData(kFullTileDataSize);
        w.editSession()->open(QStringLiteral("/elsewhere"));
        dialogs.directoryAnswers << dir.path();
        w.editSettings();
        QVERIFY(w.editSession()->tileDataWritable());
        QCOMPARE(dialogs.messages.size(), 2);
    }
};

QTEST_MAIN(TestSaveMainWindow)
#include "tst_save_mainwindow.moc"
