// Reload and apply my edits again: after another program saved into the directory, the
// session reads it anew and replays its unsaved steps on top, so that both programs' edits
// end up in the files; a step the new files no longer allow is named and kept out.
#include "editsession.h"
#include "imagebatchimport.h"
#include "itemsource.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "windowfixture.h"

#include <QStatusBar>
#include <QTest>

using namespace qm;

namespace {

const QImage kEditorStatic = filledImage(20, 30, qRgb(8, 0, 0));
const QImage kEditorGump = filledImage(3, 3, qRgb(0, 8, 0));
const QImage kToolGump = filledImage(4, 2, qRgb(0, 0, 8));

// qmtool, as the other program: deletes Gump 0 and lists Gump 9 with its own picture.
void otherProgramSaves(const SaveDir& dir)
{
    const QString picture = dir.file("tool.png");
    QVERIFY(kToolGump.save(picture));
    const ToolRun deleted = runToolIn(dir.path(), { "delete", "gump", "0" });
    QVERIFY2(deleted.exitCode == 0, qPrintable(deleted.err));
    const ToolRun imported = runToolIn(dir.path(), { "import-image", "gump", "9", picture });
    QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
    QFile::remove(picture);
}

// The editor's unsaved steps: a picture, a new gump under the id the other program takes,
// and a deletion.
void editorEdits(EditSession& s)
{
    QString error;
    QVERIFY(s.setImage(Static, 1, kEditorStatic, &error));
    QVERIFY(applyImageImport(s, Gump, { { 9, kEditorGump, "gump 9" } }, QStringLiteral("Import Pictures"), nullptr, &error));
    QVERIFY(s.remove(Gump, { 4 }, &error));
}

void checkBothProgramsEdits(const SaveDir& dir)
{
    QCOMPARE(listedIn(dir.path()).ids[Gump], (QVector<int> { 1, 9 }));
    QCOMPARE(readImageFromFiles(dir.path(), Static, 1), kEditorStatic);
    QCOMPARE(readImageFromFiles(dir.path(), Gump, 9), kToolGump);
}

} // namespace

class TestSessionReplay : public QObject {
    Q_OBJECT

private slots:
    void unsavedStepsAreReplayedOnTheNewFiles()
    {
        SaveDir dir;
        dir.writeStandard();
        EditSession editor;
        editor.open(dir.path());
        editorEdits(editor);
        otherProgramSaves(dir);

        QString error;
        QVERIFY(!editor.save(&error));
        QVERIFY2(error.contains("gumpidx.mul") && error.contains("another program"), qPrintable(error));

        EditSession::ReplayReport report;
        QVERIFY2(editor.reloadAndReplay(&report, &error), qPrintable(error));
        QCOMPARE(report.replayed, (QStringList { "Replace Picture of Static 0x1", "Delete Gump 0x4" }));
        QCOMPARE(report.refused, QStringList { "Import Pictures: Gump 0x9 was listed by another program" });
        QCOMPARE(editor.undoText(), QStringLiteral("Delete Gump 0x4"));
        QVERIFY(editor.isModified() && !editor.isListed(Gump, 0));
        QCOMPARE(editor.image(Gump, 9), kToolGump);

        QVERIFY2(editor.save(&error), qPrintable(error));
        checkBothProgramsEdits(dir);
        QVERIFY(!editor.isModified());
    }

    // Undone past the save, the way back is what is replayed.
    void anUndoPastTheSaveIsReplayedAsAnUndo()
    {
        SaveDir dir;
        dir.writeStandard();
        EditSession editor;
        editor.open(dir.path());
        const QImage stored = editor.image(Static, 1);
        QString error;
        QVERIFY(editor.setImage(Static, 1, kEditorStatic) && editor.save(&error));
        editor.undo();
        otherProgramSaves(dir);

        EditSession::ReplayReport report;
        QVERIFY2(editor.reloadAndReplay(&report, &error), qPrintable(error));
        QCOMPARE(report.replayed, QStringList { "Undo Replace Picture of Static 0x1" });
        QVERIFY2(editor.save(&error), qPrintable(error));
        QCOMPARE(readImageFromFiles(dir.path(), Static, 1), stored);
        QCOMPARE(readImageFromFiles(dir.path(), Gump, 9), kToolGump);
    }

    // The editor's Save refusal offers it; the left-out step is named.
    void theWindowOffersItWhenSaveIsRefused()
    {
        MainWindowFixture f;
        editorEdits(*f.w->editSession());
        otherProgramSaves(f.dir);
        f.dialogs.choiceAnswers << QStringLiteral("Reload and apply my edits again");
        f.w->fileSave();
        QCOMPARE(f.w->statusBar()->currentMessage(), QStringLiteral("Ready"));
        QCOMPARE(f.dialogs.messages.size(), 2);
        QVERIFY2(f.dialogs.messages[0].contains("Reload and apply my edits again"), qPrintable(f.dialogs.messages[0]));
        QVERIFY2(f.dialogs.messages[1].contains("Gump 0x9 was listed by another program"), qPrintable(f.dialogs.messages[1]));
        checkBothProgramsEdits(f.dir);
    }
};

QTEST_MAIN(TestSessionReplay)
#include "tst_session_replay.moc"
