// Pictures many at a time from the main window: a file dropped onto a list row, and folders
// written by Export Pictures and read back by Import Pictures, each import one undo step.
#include "cataloguefilterbox.h"
#include "cataloguepane.h"
#include "dropevents.h"
#include "historyprobe.h"
#include "imagebatchimport.h"
#include "imagebatchnames.h"
#include "imageimport.h"
#include "testdata.h"
#include "treelists.h"
#include "picturebatches.h"
#include "windowfixture.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace qm;

namespace {

struct Fixture : MainWindowFixture {
    QTemporaryDir pictures;

    QString picture(const QString& name, const QImage& image) const
    {
        const QString path = pictures.filePath(name);
        return image.save(path, "PNG") ? path : QString();
    }

    int steps() const { return undoDepth(*w->editSession()); }
};

QImage exported(const QString& folder, int kind, int id)
{
    return QImage(QDir(folder).filePath(batchImageFileName(ItemKind(kind), id))).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestBatchWindow : public QObject {
    Q_OBJECT

private slots:
    void pictureDroppedOnAListRowReplacesItAsOneStep()
    {
        Fixture f;
        mainwindow& w = *f.w;
        w.tabSelect->setCurrentIndex(Land);
        const QImage before = w.editSession()->image(Land, 2);
        const QImage wide = filledImage(60, 30, qRgb(10, 200, 10));
        const auto mime = filesMime({ f.picture("grass.png", wide) });
        const QRect row = w.listLand->visualRect(listItem(w.listLand, 2));
        QCOMPARE(dragAndDrop(w.listLand->viewport(), row.center(), mime.get()), qMakePair(true, true));

        // Scaled and masked as Import does, in one step named for the item.
        QCOMPARE(w.editSession()->image(Land, 2), prepareImportedImage(Land, wide));
        QCOMPARE(f.steps(), 1);
        QCOMPARE(w.editSession()->undoText(), QStringLiteral("Replace Picture of Land 0x2"));
        QVERIFY(f.dialogs.messages.isEmpty());
        w.editUndo();
        QCOMPARE(w.editSession()->image(Land, 2), before);

        // A file that is no picture: a message naming it, and nothing changes.
        const QString garbage = f.pictures.filePath("garbage.png");
        QVERIFY(writeBytes(garbage, "not a picture"));
        w.pictureBatches()->dropPicture(Land, 2, garbage);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(f.dialogs.messages.first().contains("garbage.png"), qPrintable(f.dialogs.messages.first()));
        QCOMPARE(w.editSession()->image(Land, 2), before);
        QVERIFY(!w.editSession()->canUndo());
    }

    void exportWritesTheSelectedOrShownItems()
    {
        Fixture f;
        mainwindow& w = *f.w;
        // The change set's pictures are what the user sees, so they are what is written.
        const QImage red = filledImage(20, 30, qRgb(200, 0, 0));
        const QImage blue = filledImage(7, 9, qRgb(0, 0, 200));
        QVERIFY(w.editSession()->setImage(Static, 0, red));
        QVERIFY(w.editSession()->setImage(Static, 0x12c, blue));
        w.tabSelect->setCurrentIndex(Static);
        selectItem(w.listStatic, 0);
        selectItem(w.listStatic, 0x12c);

        QTemporaryDir selectedOnly;
        f.dialogs.directoryAnswers << selectedOnly.path();
        w.pictureBatches()->exportAction()->trigger();
        QCOMPARE(QDir(selectedOnly.path()).entryList(QDir::Files),
                 (QStringList { batchImageFileName(Static, 0), batchImageFileName(Static, 0x12c) }));
        QCOMPARE(exported(selectedOnly.path(), Static, 0), red);
        QCOMPARE(exported(selectedOnly.path(), Static, 0x12c), blue);
        QVERIFY2(w.statusBar()->currentMessage().contains("2 written, 0 skipped, 0 failed"),
                 qPrintable(w.statusBar()->currentMessage()));

        // Nothing selected: every item the list shows; a row a filter hides is left out.
        w.listStatic->clearSelection();
        w.paneForKind(Static)->filterBox()->findChild<QLineEdit*>(QStringLiteral("lineFilter"))->setText(QStringLiteral("0x0-0x100"));
        QTemporaryDir shown;
        f.dialogs.directoryAnswers << shown.path();
        w.pictureBatches()->exportPictures();
        QCOMPARE(exported(shown.path(), Static, 0), red);
        QVERIFY(!QFile::exists(QDir(shown.path()).filePath(batchImageFileName(Static, 0x12c))));
        QVERIFY(f.dialogs.messages.isEmpty());

        // A folder standing under the picture's name is left alone and told in one message.
        QTemporaryDir blocked;
        QVERIFY(QDir(blocked.path()).mkdir(batchImageFileName(Static, 0)));
        f.dialogs.directoryAnswers << blocked.path();
        w.pictureBatches()->exportPictures();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(f.dialogs.messages.first().contains(batchImageFileName(Static, 0)), qPrintable(f.dialogs.messages.first()));
        QVERIFY(w.statusBar()->currentMessage().contains("1 failed"));
    }

    void importAppliesEveryPictureAsOneStep()
    {
        Fixture f;
        mainwindow& w = *f.w;
        w.tabSelect->setCurrentIndex(Static);
        const QImage listedBefore = w.editSession()->image(Static, 1);
        const QImage green = filledImage(12, 14, qRgb(0, 160, 0));
        const QImage grey = filledImage(5, 6, qRgb(90, 90, 90));
        QVERIFY(!f.picture(batchImageFileName(Static, 1), green).isEmpty());
        QVERIFY(!f.picture(batchImageFileName(Static, 5), grey).isEmpty());
        QVERIFY(!f.picture(batchImageFileName(Gump, 1), grey).isEmpty());   // another kind: ignored
        f.dialogs.directoryAnswers << f.pictures.path();
        w.pictureBatches()->importAction()->trigger();

        QCOMPARE(w.editSession()->image(Static, 1), prepareImportedImage(Static, green));
        QCOMPARE(w.editSession()->image(Static, 5), prepareImportedImage(Static, grey));
        QVERIFY(listItem(w.listStatic, 5).isValid());
        QCOMPARE(f.steps(), 1);
        QCOMPARE(w.editSession()->undoText(), QStringLiteral("Import Pictures"));
        QVERIFY2(w.statusBar()->currentMessage().contains("new items: 0x5"), qPrintable(w.statusBar()->currentMessage()));
        QVERIFY(f.dialogs.messages.isEmpty());

        w.editUndo();
        QCOMPARE(w.editSession()->image(Static, 1), listedBefore);
        QVERIFY(!w.editSession()->isListed(Static, 5));
        QVERIFY(!listItem(w.listStatic, 5).isValid());
    }

    void aRefusedFileAppliesNothingAndIsListed()
    {
        Fixture f;
        mainwindow& w = *f.w;
        w.tabSelect->setCurrentIndex(Static);
        const QImage before = w.editSession()->image(Static, 1);
        QVERIFY(!f.picture(batchImageFileName(Static, 1), filledImage(4, 4, qRgb(1, 2, 3))).isEmpty());
        QVERIFY(writeBytes(f.pictures.filePath(batchImageFileName(Static, 2)), "not a picture"));
        f.dialogs.directoryAnswers << f.pictures.path();
        w.pictureBatches()->importPictures();

        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(f.dialogs.messages.first().contains(batchImageFileName(Static, 2)), qPrintable(f.dialogs.messages.first()));
        QVERIFY(!f.dialogs.messages.first().contains(batchImageFileName(Static, 1)));
        QCOMPARE(w.editSession()->image(Static, 1), before);
        QVERIFY(!w.editSession()->isListed(Static, 2));
        QCOMPARE(f.steps(), 0);
    }

    // The session refuses a picture after the batch's first ones went in (here: a land
    // picture of the wrong size put behind the folder's): nothing of the batch stays, and the
    // Edit menu's Undo and Redo are what they were before, not a partial import to redo.
    void anImportRefusedHalfWayLeavesUndoAndRedoAsBefore()
    {
        Fixture f;
        mainwindow& w = *f.w;
        QVERIFY(w.editSession()->setImage(Land, 0, filledImage(44, 44, qRgb(1, 1, 1))));
        QVERIFY(w.editSession()->setImage(Land, 2, filledImage(44, 44, qRgb(2, 2, 2))));
        w.editUndo();   // one step to undo, one to redo
        const QString undo = w.editUndoAction->text(), redo = w.editRedoAction->text();
        QCOMPARE(redo, QStringLiteral("&Redo Replace Picture of Land 0x2"));
        const QImage land0 = w.editSession()->image(Land, 0);

        w.tabSelect->setCurrentIndex(Land);
        QVERIFY(!f.picture(batchImageFileName(Land, 0), filledImage(44, 44, qRgb(0, 200, 0))).isEmpty());
        QVERIFY(!f.picture(batchImageFileName(Land, 7), filledImage(44, 44, qRgb(0, 0, 200))).isEmpty());
        w.pictureBatches()->setApplyImport([](EditSession& s, ItemKind kind, QVector<AcceptedPicture> pictures,
                                              const QString& name, QVector<int>* newIds, QString* error) {
            pictures << AcceptedPicture { 9, filledImage(10, 10, qRgb(9, 9, 9)), QStringLiteral("late.png") };
            return applyImageImport(s, kind, pictures, name, newIds, error);
        });
        f.dialogs.directoryAnswers << f.pictures.path();
        w.pictureBatches()->importAction()->trigger();

        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(f.dialogs.messages.first().startsWith("Import Pictures: Nothing was imported"),
                 qPrintable(f.dialogs.messages.first()));
        QCOMPARE(w.editUndoAction->text(), undo);
        QCOMPARE(w.editRedoAction->text(), redo);
        QCOMPARE(w.editSession()->image(Land, 0), land0);
        QVERIFY(!listItem(w.listLand, 7).isValid());
        w.editRedoAction->trigger();
        QCOMPARE(w.editSession()->image(Land, 2), filledImage(44, 44, qRgb(2, 2, 2)));
        QVERIFY(!w.editSession()->isListed(Land, 7));
    }
};

QTEST_MAIN(TestBatchWindow)
#include "tst_batch_window.moc"
