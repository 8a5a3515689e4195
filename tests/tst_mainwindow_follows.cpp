// The main window as a view of its session and nothing else: after every kind of change
// (edits, Save, Undo, Redo, a refused Save, another directory) each view shows what the
// session says; an emptied picture stays empty everywhere, through Save and a restart.
#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguepane.h"
#include "cataloguepanes.h"
#include "imageview.h"
#include "itemwindowset.h"
#include "mywidget.h"
#include "savedirs.h"
#include "testdata.h"
#include "thumbnailcache.h"
#include "treelists.h"
#include "viewcheck.h"
#include "windowfixture.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTest>

using namespace qm;

namespace {

#define QVERIFY_VIEWS_FOLLOW(w)                                                                                        \
    do {                                                                                                               \
        const QStringList mismatches = viewMismatches(w);                                                              \
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1Char('\n'))));                                \
    } while (false)

tile_struct named(const QString& name)
{
    tile_struct t;
    t.name = name;
    return t;
}

myWidget* openOn(mainwindow& w, int kind, int id)
{
    return w.itemWindows()->open(kind, id);
}

} // namespace

class TestMainWindowFollows : public QObject {
    Q_OBJECT

private slots:
    void everyViewFollowsTheSession()
    {
        MainWindowFixture f;
        mainwindow& w = *f.w;
        openOn(w, Static, 1);
        openOn(w, Gump, 1);
        w.paneForKind(Gump)->filterBox()->textBox()->setText(QStringLiteral("0-1"));
        w.paneForKind(Static)->filterBox()->textBox()->setText(QStringLiteral("barrel"));
        QVERIFY_VIEWS_FOLLOW(w);

        QVERIFY(w.editSession()->setTile(Static, 1, named(QStringLiteral("Barrel"))));
        QVERIFY(w.editSession()->setImage(Gump, 1, filledImage(9, 7, qRgb(0, 90, 0))));
        QVERIFY(w.editSession()->setImage(Gump, 0, filledImage(5, 5, qRgb(90, 0, 0))));
        QCOMPARE(listTexts(w.listStatic), QStringList { "0x1" });
        QVERIFY_VIEWS_FOLLOW(w);

        w.fileSave();
        QVERIFY(!w.lastSaveFailed());
        QVERIFY_VIEWS_FOLLOW(w);
        w.editUndo();
        QVERIFY_VIEWS_FOLLOW(w);
        w.editUndo();
        w.editUndo();
        QVERIFY_VIEWS_FOLLOW(w);
        w.editRedo();
        QVERIFY_VIEWS_FOLLOW(w);

        // Another program saved into the directory: Save is refused and nothing changes.
        QCOMPARE(runToolIn(f.dir.path(), { "delete", "gump", "4" }).exitCode, 0);
        w.fileSave();
        QVERIFY(w.lastSaveFailed());
        QVERIFY_VIEWS_FOLLOW(w);
        QVERIFY(f.dialogs.messages.value(0).startsWith(QStringLiteral("Save failed: ")));

        SaveDir other;
        other.writeStandard();
        f.dialogs.directoryAnswers << other.path();
        f.dialogs.questionAnswers << QMessageBox::Discard;
        w.editSettings();
        QCOMPARE(w.mulDir, other.path());
        openOn(w, Static, 0x12c);
        QVERIFY_VIEWS_FOLLOW(w);
    }

    // A removed picture is "emptied": shown empty in the list's mark, the grid and the item
    // window, written as an empty entry by Save, and still empty after a restart.
    void anEmptiedPictureStaysEmptyThroughSaveAndRestart()
    {
        MainWindowFixture f;
        mainwindow& w = *f.w;
        w.tabSelect->setCurrentIndex(Gump);
        w.cataloguePanes()->viewGridAction()->setChecked(true);
        myWidget* editor = openOn(w, Gump, 1);
        QVERIFY(!w.getGump(1).isNull());

        QImage none;
        w.rcvImage(Gump, 1, none);   // what an item window sends for a removed picture
        QVERIFY(w.getGump(1).isNull());
        QVERIFY(listItem(w.listGump, 1).data(CatalogueGridModel::EditedRole).toBool());
        QVERIFY(editor->findChild<ImageView*>(QStringLiteral("pixImage"))->shownImage().isNull());
        QVERIFY_VIEWS_FOLLOW(w);

        w.fileSave();
        QVERIFY(!w.lastSaveFailed());
        QVERIFY(w.getGump(1).isNull());
        QVERIFY(!listItem(w.listGump, 1).data(CatalogueGridModel::EditedRole).toBool());
        QVERIFY_VIEWS_FOLLOW(w);
        QCOMPARE(runToolIn(f.dir.path(), { "export-image", "gump", "1", f.dir.file("out.png") }).exitCode, 2);

        // Undo past the Save brings the stored picture back as an edit.
        w.editUndo();
        QVERIFY(!w.getGump(1).isNull());
        QVERIFY_VIEWS_FOLLOW(w);
        w.editRedo();

        f.w.reset();
        mainwindow again;
        QVERIFY(again.editSession()->isListed(Gump, 1) || !again.editSession()->isListed(Gump, 1));
        QVERIFY(again.getGump(1).isNull());
        QVERIFY_VIEWS_FOLLOW(again);
    }

    // Another program saved into the directory after it was opened: Save offers to read it
    // again and apply the unsaved edits on top; what no longer fits is named and left out,
    // and then both programs' edits are in the files.
    void saveAfterAnotherProgramReloadsAndAppliesTheEditsAgain()
    {
        MainWindowFixture f;
        mainwindow& w = *f.w;
        myWidget* editor = openOn(w, Static, 1);
        const QImage green = filledImage(9, 7, qRgb(0, 96, 0));
        QVERIFY(w.editSession()->setImage(Gump, 1, green));
        QVERIFY(w.editSession()->setTile(Static, 1, named(QStringLiteral("editor's"))));
        QVERIFY(w.editSession()->insert(Gump, 5));

        const QString picture = f.dir.file("tool.png");
        QVERIFY(filledImage(4, 4, qRgb(200, 0, 0)).save(picture));
        QCOMPARE(runToolIn(f.dir.path(), { "set-tile", "static", "0x12c", "name=tool's" }).exitCode, 0);
        QCOMPARE(runToolIn(f.dir.path(), { "delete", "gump", "4" }).exitCode, 0);
        QCOMPARE(runToolIn(f.dir.path(), { "import-image", "gump", "5", picture }).exitCode, 0);
        QFile::remove(picture);

        f.dialogs.choiceAnswers << QStringLiteral("Reload and apply my edits again");
        w.fileSave();
        QVERIFY(!w.lastSaveFailed());
        QCOMPARE(f.dialogs.asked.last(), QStringLiteral("Save failed"));
        QVERIFY2(f.dialogs.messages.last().startsWith("Edits not applied again: ")
                     && f.dialogs.messages.last().contains("Gump 0x5"),
                 qPrintable(f.dialogs.messages.join('\n')));
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Ready"));
        QVERIFY(!w.isWindowModified());
        QVERIFY_VIEWS_FOLLOW(w);
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("lineName"))->text(), QStringLiteral("editor's"));

        EditSession files;
        files.open(f.dir.path());
        QCOMPARE(files.tile(Static, 1).name, QStringLiteral("editor's"));
        QCOMPARE(files.tile(Static, 0x12c).name, QStringLiteral("tool's"));
        QVERIFY(!files.isListed(Gump, 4));
        QCOMPARE(files.image(Gump, 1).size(), green.size());
        QCOMPARE(files.image(Gump, 5).size(), QSize(4, 4));
    }
};

QTEST_MAIN(TestMainWindowFollows)
#include "tst_mainwindow_follows.moc"
