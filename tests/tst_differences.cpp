// The Differences dock on a real main window: File → Compare With… fills it in the
// background, its filters and detail view, Cancel, the same directory refused, Take as one
// undo step, export of patches that import back to the other side's items, and the other
// directory's files untouched by all of it.
#include "comparecommand.h"
#include "demodata.h"
#include "differencepatches.h"
#include "differencesdock.h"
#include "directorydiff.h"
#include "editsession.h"
#include "mainwindow.h"
#include "mywidget.h"
#include "patchfile.h"
#include "patchtransfer.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "twodirs.h"
#include "uodir.h"

#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "cataloguefilterbox.h"

using namespace qm;

namespace {

QStringList rowsShown(const QTreeWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (!list->topLevelItem(i)->isHidden())
            out << list->topLevelItem(i)->text(0) + " " + list->topLevelItem(i)->text(1) + " " + list->topLevelItem(i)->text(2);
    return out;
}

QTreeWidgetItem* rowFor(const QTreeWidget* list, const QString& start)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if ((row->text(0) + " " + row->text(1) + " " + row->text(2)).startsWith(start))
            return row;
    }
    return nullptr;
}

} // namespace

class TestDifferences : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_base = m_root.filePath("base");
        m_there = m_root.filePath("there");
        const CopyEdits edits = writeBaseAndEditedCopy(m_base, m_there);
        m_picture = edits.picture;
        m_tile = edits.tile;
        m_newGump = edits.newGump;
        m_thereHashes = hashes(m_there);
    }

    void init()
    {
        m_here = m_root.filePath("here");
        QDir(m_here).removeRecursively();
        copyDirectory(m_base, m_here);
        writeUODir(m_here);
        m_window = std::make_unique<mainwindow>();
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        QCOMPARE(hashes(m_there), m_thereHashes);
    }

    // The dock fills in the background, counts per catalogue, filters by catalogue, kind of
    // difference and the catalogue filter's text, and shows both sides of the selected item.
    void fillsFiltersAndShowsBothSides()
    {
        DifferencesDock* dock = compare();
        QVERIFY(dock);
        const QString pictureRow = "Static " + hexId(m_picture) + " picture";
        const QString tileRow = "Static " + hexId(m_tile) + " tile name";
        const QString gumpRow = "Gump " + hexId(m_newGump) + " only-there";
        QCOMPARE(rowsShown(dock->list()), (QStringList { pictureRow, tileRow, gumpRow }));
        QVERIFY(dock->findChild<QLabel*>("differenceCounts")->text().contains("Static: 2"));

        dock->partBox()->setCurrentIndex(dock->partBox()->findText("Tile data"));
        QCOMPARE(rowsShown(dock->list()), QStringList { tileRow });
        dock->partBox()->setCurrentIndex(0);
        dock->catalogueBox()->setCurrentIndex(dock->catalogueBox()->findText("Gump"));
        QCOMPARE(rowsShown(dock->list()), QStringList { gumpRow });
        dock->catalogueBox()->setCurrentIndex(0);
        dock->filterBox()->textBox()->setText(hexId(m_picture));
        QCOMPARE(rowsShown(dock->list()), QStringList { pictureRow });
        dock->filterBox()->textBox()->clear();

        dock->list()->setCurrentItem(rowFor(dock->list(), tileRow));
        const auto* tiles = dock->findChild<QTreeWidget*>("differenceTiles");
        QVERIFY(tiles->topLevelItemCount() > 1);
        QCOMPARE(tiles->topLevelItem(0)->text(2), QString("carried"));
        QVERIFY(tiles->topLevelItem(0)->data(0, Qt::UserRole).toBool());
        QVERIFY(!tiles->topLevelItem(1)->data(0, Qt::UserRole).toBool());
        dock->list()->setCurrentItem(rowFor(dock->list(), pictureRow));
        QVERIFY(!dock->findChild<QLabel*>("differenceHerePicture")->pixmap().isNull());
        QCOMPARE(dock->findChild<QLabel*>("differenceTherePicture")->pixmap().size(), QSize(20, 30));

        const QString shot = qEnvironmentVariable("QM_DIFF_SCREENSHOT");
        if (!shot.isEmpty()) {
            m_window->resize(1000, 900);
            QTest::qWait(100);
            m_window->grab().save(shot);
        }

        // Double-click opens the item here.
        QSignalSpy opened(dock, &DifferencesDock::openItem);
        emit dock->list()->itemDoubleClicked(rowFor(dock->list(), pictureRow), 0);
        QCOMPARE(opened.count(), 1);
    }

    // Take of the selection is one undo step and the list follows; Save writes it.
    void takeAsOneStep()
    {
        DifferencesDock* dock = compare();
        QVERIFY(dock);
        rowFor(dock->list(), "Static " + hexId(m_picture))->setSelected(true);
        rowFor(dock->list(), "Gump " + hexId(m_newGump))->setSelected(true);
        m_dialogs.choiceAnswers << "All";
        dock->takeChosen();
        EditSession& session = *m_window->editSession();
        QCOMPARE(session.undoText(), QString("Take 2 Items"));
        QVERIFY(session.isListed(Gump, m_newGump));
        QTRY_VERIFY(!dock->isComparing());
        QCOMPARE(rowsShown(dock->list()), QStringList { "Static " + hexId(m_tile) + " tile name" });
        session.undo();
        QVERIFY(!session.isListed(Gump, m_newGump));
        session.redo();
        QString error;
        QVERIFY2(session.save(&error), qPrintable(error));
        DiffResult result;
        QVERIFY(compareDirectories(m_here, m_there, {}, &result, &error));
        QCOMPARE(result.differences.size(), 1);
    }

    // The exported patches of the other side import back to the other side's items.
    void exportImportsBack()
    {
        DifferencesDock* dock = compare();
        QVERIFY(dock);
        const QString folder = m_root.filePath("patches");
        m_dialogs.choiceAnswers << "There";
        m_dialogs.directoryAnswers << folder;
        dock->exportChosen();
        QStringList names = QDir(folder).entryList(QDir::Files);
        names.sort();
        QCOMPARE(names, (QStringList { differencePatchFileName(Gump, m_newGump), differencePatchFileName(Static, m_picture),
                                       differencePatchFileName(Static, m_tile) }));
        m_window.reset();

        EditSession session;
        session.open(m_here);
        QString error;
        for (const QString& name : names) {
            PatchItem patch;
            QVERIFY2(readPatchFile(QDir(folder).filePath(name), &patch, &error), qPrintable(error));
            QVERIFY2(importPatch(session, patch, patch.id, &error), qPrintable(error));
        }
        QVERIFY2(session.save(&error), qPrintable(error));
        DiffResult result;
        QVERIFY(compareDirectories(m_here, m_there, {}, &result, &error));
        QCOMPARE(result.differences.size(), 0);
    }

    // The same directory on both sides is refused with the reason; Cancel ends a comparison.
    void sameDirectoryAndCancel()
    {
        m_dialogs.directoryAnswers << m_here;
        m_window->compareCommand()->action()->trigger();
        QVERIFY(m_dialogs.messages.join('\n').contains("same directory"));

        DifferencesDock* dock = m_window->compareCommand()->dock();
        QString error;
        QVERIFY(dock->compareWith(m_there, &error));
        dock->cancel();
        QTRY_VERIFY(!dock->isComparing());
        QVERIFY(dock->result().cancelled);
        QVERIFY(dock->findChild<QLabel*>("differenceTitle")->text().contains("cancelled"));
        // The window went on working meanwhile, and a new comparison fills the list.
        QVERIFY(dock->compareWith(m_there, &error));
        QTRY_VERIFY(!dock->isComparing());
        QCOMPARE(dock->list()->topLevelItemCount(), 3);
    }

    // Edits after a comparison (and during one) mark the list out of date; Compare Again
    // shows what differs now.
    void followsLaterEdits()
    {
        DifferencesDock* dock = compare();
        QVERIFY(dock);
        auto* again = dock->findChild<QPushButton*>("differenceCompareAgain");
        QVERIFY(again);
        QVERIFY(!dock->isOutdated());
        QVERIFY(!again->isVisible());
        EditSession& session = *m_window->editSession();
        QString error;
        tile_struct t = session.tile(Static, m_tile);
        t.name = "carried";
        QVERIFY(session.setTile(Static, m_tile, t, &error));
        QVERIFY(dock->isOutdated());
        QVERIFY(again->isVisible());
        QVERIFY(dock->findChild<QLabel*>("differenceTitle")->text().contains("out of date"));
        QTest::mouseClick(again, Qt::LeftButton);
        QTRY_VERIFY(!dock->isComparing());
        QVERIFY(!dock->isOutdated());
        QVERIFY(!again->isVisible());
        QCOMPARE(dock->list()->topLevelItemCount(), 2);
        QVERIFY(!rowFor(dock->list(), "Static " + hexId(m_tile)));

        // An undo while comparing: the snapshot predates it, so the result is out of date.
        dock->compareAgain();
        QVERIFY(dock->isComparing());
        session.undo();
        QTRY_VERIFY(!dock->isComparing());
        QVERIFY(dock->isOutdated());
        QVERIFY(again->isVisible());
        dock->compareAgain();
        QTRY_VERIFY(!dock->isComparing());
        QCOMPARE(dock->list()->topLevelItemCount(), 3);
    }

    // An item only there opens read-only from the other directory; OK sends nothing, and
    // "Open There" shows the other side of an item on both sides.
    void opensTheOtherSideReadOnly()
    {
        DifferencesDock* dock = compare();
        QVERIFY(dock);
        EditSession& session = *m_window->editSession();
        emit dock->list()->itemDoubleClicked(rowFor(dock->list(), "Gump " + hexId(m_newGump)), 0);
        QList<myWidget*> editors = m_window->findChildren<myWidget*>();
        QCOMPARE(editors.size(), 1);
        myWidget* gump = editors.first();
        QCOMPARE(gump->kind(), int(Gump));
        QCOMPARE(gump->itemId(), m_newGump);
        QCOMPARE(gump->image().convertToFormat(QImage::Format_ARGB32),
                 filledImage(16, 12, qRgb(16, 200, 16)).convertToFormat(QImage::Format_ARGB32));
        QVERIFY(gump->windowTitle().contains(QDir::toNativeSeparators(m_there)));
        QVERIFY(!gump->pasteImage(filledImage(16, 12, qRgb(1, 2, 3))));
        QVERIFY(m_dialogs.messages.join('\n').contains(QDir::toNativeSeparators(m_there)));
        gump->clickOK();
        QVERIFY(!session.isListed(Gump, m_newGump));

        dock->list()->setCurrentItem(rowFor(dock->list(), "Static " + hexId(m_tile)));
        QTest::mouseClick(dock->findChild<QPushButton*>("differenceOpenThere"), Qt::LeftButton);
        myWidget* tile = nullptr;
        for (myWidget* editor : m_window->findChildren<myWidget*>())
            if (editor->kind() == Static && editor->itemId() == m_tile)
                tile = editor;
        QVERIFY(tile);
        QCOMPARE(tile->lineName->text(), QString("carried"));
        QVERIFY(tile->isTileDataReadOnly());
        tile->lineName->setText("changed");
        tile->clickApply();
        tile->clickOK();

        QVERIFY(!session.canUndo());
        QVERIFY(!session.isModified());
        QVERIFY(session.editedIds(Gump).isEmpty());
        QVERIFY(session.editedIds(Static).isEmpty());
        QVERIFY(session.tile(Static, m_tile).name != "carried");
        QVERIFY(!dock->isOutdated());
    }

private:
    DifferencesDock* compare()
    {
        m_dialogs.directoryAnswers << m_there;
        m_window->compareCommand()->action()->trigger();
        DifferencesDock* dock = m_window->compareCommand()->existingDock();
        if (!dock)
            return nullptr;
        if (!QTest::qWaitFor([&] { return !dock->isComparing(); }, 20000))
            return nullptr;
        return dock;
    }

    TestSettings m_settings;
    ScriptedDialogs m_dialogs;
    QTemporaryDir m_root;
    QString m_base, m_here, m_there;
    int m_picture = -1, m_tile = -1, m_newGump = -1;
    QMap<QString, QByteArray> m_thereHashes;
    std::unique_ptr<mainwindow> m_window;
};

QTEST_MAIN(TestDifferences)
#include "tst_differences.moc"
