// The main window's side of the editor windows: opening them in the workspace, keeping the
// windows of one item in step, the Window menu, and the New, Delete and Find commands.
#include "editorprobe.h"
#include "indexfile.h"
#include "mainwindow.h"
#include "mywidget.h"
#include "tilegeneralpage.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "treelists.h"
#include "uodir.h"

#include <QAction>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMetaMethod>
#include <QPointer>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace qm;

namespace {

// Land 0, 1, 5, 26; statics 5, 6; gumps 3, 5, 7 of 8; textures 0 to 5, all taken.
bool writeDataDir(const QString& dir)
{
    QVector<IndexRecord> art = emptyIndex(kArtRecordCount);
    for (int id : { 0, 1, 5, 26 })
        art[id] = { 0, 0, 0 };
    for (int id : { 5, 6 })
        art[kLandCount + id] = { 0, 0, 0 };
    QVector<IndexRecord> gumps = emptyIndex(8);
    for (int id : { 3, 5, 7 })
        gumps[id] = { 0, 0, 0 };
    QVector<IndexRecord> textures = emptyIndex(6);
    for (IndexRecord& r : textures)
        r = { 0, 0, 0 };
    // A tile data file of the classic layout, all zeros: land section plus 2,048 static blocks.
    const QByteArray tiledata(428032 + 2048 * 1188, '\0');
    return writeBytes(dir + "/artidx.mul", indexBytes(art))
        && writeBytes(dir + "/gumpidx.mul", indexBytes(gumps))
        && writeBytes(dir + "/texidx.mul", indexBytes(textures))
        && writeBytes(dir + "/tiledata.mul", tiledata);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main window with its connection count in reach.
class ProbedWindow : public mainwindow {
public:
    using mainwindow::isSignalConnected;
};

} // namespace

class TestMainwindowEditors : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<QTemporaryDir> dataDir;
    std::unique_ptr<ProbedWindow> mw;

    // Opens item `id` of catalogue `kind` as a double-click on the visible tab does.
    myWidget* open(int kind, int id)
    {
        mw->tabSelect->setCurrentIndex(kind);
        const QModelIndex item = listItem(mw->currentList, id);
        if (!item.isValid())
            return nullptr;
        mw->listDouble(item);
        const auto windows = mw->workspace->subWindowList();
        return windows.isEmpty() ? nullptr : qobject_cast<myWidget*>(windows.last()->widget());
    }

    QStringList captions()
    {
        flushDeletes();
        QStringList titles;
        for (QMdiSubWindow* w : mw->workspace->subWindowList())
            titles << w->windowTitle();
        return titles;
    }

    void select(int kind, int id)
    {
        mw->tabSelect->setCurrentIndex(kind);
        mw->currentList->clearSelection();
        selectItem(mw->currentList, id);
    }

private slots:
    void init()
    {
        settings = std::make_unique<TestSettings>();
        dataDir = std::make_unique<QTemporaryDir>();
        QVERIFY(writeDataDir(dataDir->path()));
        writeUODir(dataDir->path());
        mw = std::make_unique<ProbedWindow>();
        mw->show();
        QVERIFY(QTest::qWaitForWindowExposed(mw.get()));
        QCOMPARE(mw->mulDir, dataDir->path());
    }

    void cleanup()
    {
        mw.reset();
        flushDeletes();
        dataDir.reset();
        settings.reset();
    }

    void doubleClickAndOpenBothOpenAWindowInTheWorkspace()
    {
        mw->tabSelect->setCurrentIndex(1);
        const QModelIndex item = listItem(mw->listStatic, 6);
        QVERIFY(item.isValid());
        const QRect rect = mw->listStatic->visualRect(item);
        QTest::mouseClick(mw->listStatic->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(mw->listStatic->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(captions(), QStringList { "Static: 0x6" });

        mw->listStatic->clearSelection();
        selectItem(mw->listStatic, 6);
        mw->popEdit->trigger();
        QCOMPARE(captions(), (QStringList { "Static: 0x6", "Static: 0x6" }));

        auto* editor = qobject_cast<myWidget*>(mw->workspace->subWindowList().first()->widget());
        QVERIFY(editor && editor->kind() == 1 && editor->itemId() == 6);

        mw->listDouble(QModelIndex());   // a double-click on empty space
        QCOMPARE(captions().size(), 2);
    }

    void windowsOfOneItemStayInStep()
    {
        myWidget* a = open(1, 5);
        myWidget* b = open(1, 5);
        myWidget* otherStatic = open(1, 6);
        myWidget* landSameId = open(0, 5);
        QVERIFY(a && b && otherStatic && landSameId && a != b);

        a->findChild<QCheckBox*>("checkWall")->click();
        typeInto(a->lineName, QStringLiteral("barrel"));
        typeInto(a->lineWeight, QStringLiteral("0x2c"));
        a->table1->item(2, 0)->setText(QStringLiteral("200"));
        QImage picture = filledImage(20, 30, qRgb(1, 2, 3));
        QVERIFY(importPicture(*a, picture));
        a->clickApply();

        QVERIFY(mw->staticTiles.contains(5));
        QCOMPARE(mw->staticTiles[5].name, QStringLiteral("barrel"));
        QCOMPARE(mw->staticTiles[5].weight, quint8(44));
        QCOMPARE(mw->staticImages[5], picture);
        QCOMPARE(quint8(mw->animEntries[5].frames[2]), quint8(200));

        // The other window of the item shows everything at once.
        QCOMPARE(b->lineName->text(), QStringLiteral("barrel"));
        QCOMPARE(b->lineWeight->text(), QStringLiteral("44"));
        QVERIFY(b->findChild<QCheckBox*>("checkWall")->isChecked());
        QCOMPARE(b->tab_2->flagWord(), 0x10u);
        QCOMPARE(b->image(), picture);
        QCOMPARE(b->table1->item(2, 0)->text(), QStringLiteral("-56"));
        // And the sender shows what was stored.
        QCOMPARE(a->lineWeight->text(), QStringLiteral("44"));

        // Other items, the same id in another catalogue included, are untouched.
        for (myWidget* w : { otherStatic, landSameId }) {
            QCOMPARE(w->lineName->text(), QString());
            QCOMPARE(w->tab_2->flagWord(), 0u);
            QVERIFY(w->image().isNull());
        }
        QVERIFY(mw->landTiles.isEmpty());

        // Nothing left to send: "OK" closes without storing again.
        EditorProbe sent(*b);
        b->clickOK();
        QCOMPARE(sent.total(), 0);
        QCOMPARE(captions().size(), 3);
    }

    void windowsGetOnlyTheBroadcastsOfTheirKind()
    {
        const QMetaMethod tileSignal = QMetaMethod::fromSignal(&mainwindow::tileChange);
        const QMetaMethod animSignal = QMetaMethod::fromSignal(&mainwindow::changeAnim);
        myWidget* gump = open(2, 5);
        myWidget* texture = open(3, 5);
        QVERIFY(gump && texture);
        QVERIFY(!mw->isSignalConnected(tileSignal));
        QVERIFY(!mw->isSignalConnected(animSignal));

        // Even a broadcast naming the gump's own kind and id does not reach it.
        tile_struct named;
        named.name = QStringLiteral("intruder");
        emit mw->tileChange(2, 5, named);
        QCOMPARE(gump->lineName->text(), QString());

        open(0, 5);
        QVERIFY(mw->isSignalConnected(tileSignal));
        QVERIFY(!mw->isSignalConnected(animSignal));
        open(1, 5);
        QVERIFY(mw->isSignalConnected(animSignal));
    }

    void closingAnEditorTakesItsWorkspaceWindowAlong()
    {
        QPointer<myWidget> byOk = open(2, 3);
        QPointer<myWidget> byFrame = open(2, 5);
        QPointer<myWidget> byClose = open(2, 7);
        QCOMPARE(captions().size(), 3);

        byOk->clickOK();
        qobject_cast<QMdiSubWindow*>(byFrame->parentWidget())->close();
        byClose->close();
        QCOMPARE(captions(), QStringList());
        QVERIFY(byOk.isNull() && byFrame.isNull() && byClose.isNull());
    }

    void deleteClosesExactlyTheWindowsOfTheDeletedItem()
    {
        open(1, 5);
        open(1, 5);
        open(1, 6);
        open(0, 5);
        open(2, 5);
        QImage img = filledImage(44, 44, 0xffff0000);   // a picture land and static tiles can hold
        mw->rcvImage(1, 5, img);
        mw->rcvImage(0, 5, img);
        tile_struct t;
        mw->rcvTile(1, 5, t);
        anim_st a;
        mw->updateAnim(5, a);

        select(1, 5);
        mw->popDelete->trigger();

        QCOMPARE(captions(), (QStringList { "Static: 0x6", "Land: 0x5", "Gump: 0x5" }));
        QCOMPARE(listTexts(mw->listStatic), QStringList { "0x6" });
        QVERIFY(mw->freeIds[1].count(5));
        QVERIFY(!mw->staticImages.contains(5));
        QVERIFY(!mw->staticTiles.contains(5));
        QVERIFY(mw->animEntries.contains(5));   // animation records are written in place
        QVERIFY(mw->landImages.contains(5));

        // With nothing selected, Delete does nothing.
        mw->listStatic->clearSelection();
        mw->selDelete();
        QCOMPARE(listTexts(mw->listStatic), QStringList { "0x6" });

        // A deleted id can be created again at once.
        ScriptedDialogs dialogs;
        dialogs.textAnswers << QStringLiteral("5");
        mw->selInsert();
        QCOMPARE(listTexts(mw->listStatic), (QStringList { "0x5", "0x6" }));
    }

    void newTakesTypedOrSmallestFreeIds()
    {
        ScriptedDialogs dialogs;
        auto status = [this] { return mw->statusBar()->currentMessage(); };

        mw->tabSelect->setCurrentIndex(1);
        dialogs.textAnswers << QStringLiteral("0X1a");
        mw->selInsert();
        QCOMPARE(dialogs.asked.last(), QStringLiteral("Insert a new entry"));
        QCOMPARE(dialogs.lastLabel, QStringLiteral("Enter the desired id, or blank for auto selection"));
        QCOMPARE(status(), QStringLiteral("Item 26 created."));
        QCOMPARE(listTexts(mw->listStatic), (QStringList { "0x5", "0x6", "0x1a" }));
        QCOMPARE(selectedTexts(mw->listStatic).value(0), QStringLiteral("0x1a"));
        QVERIFY(!mw->freeIds[1].count(26));

        const auto freeBefore = mw->freeIds[1];
        for (const char* typed : { "0x1A", "6" }) {
            dialogs.textAnswers << QString::fromLatin1(typed);
            mw->selInsert();
        }
        QCOMPARE(status(), QStringLiteral("Item 6 in use"));
        // The forms of a number are the id answers' business (the patch tests); here the message.
        dialogs.textAnswers << QStringLiteral("1A");
        mw->selInsert();
        QCOMPARE(status(), QStringLiteral("Invalid input for item number"));
        mw->statusBar()->clearMessage();
        mw->selInsert();   // cancelled
        QCOMPARE(status(), QString());
        QCOMPARE(mw->freeIds[1], freeBefore);
        QCOMPARE(listTexts(mw->listStatic).size(), 3);

        // Automatic choice on the Gump tab takes the gumps' smallest free id.
        mw->tabSelect->setCurrentIndex(2);
        dialogs.textAnswers << QStringLiteral("  ");
        mw->selInsert();
        QCOMPARE(listTexts(mw->listGump), (QStringList { "0x0", "0x3", "0x5", "0x7" }));
        QCOMPARE(listTexts(mw->listStatic).size(), 3);

        // A full catalogue gives out ids only after deletions, the smallest first.
        mw->tabSelect->setCurrentIndex(3);
        dialogs.textAnswers << QString("");
        mw->selInsert();
        QCOMPARE(status(), QStringLiteral("No available entries"));
        select(3, 5);
        mw->selDelete();
        select(3, 3);
        mw->selDelete();
        dialogs.textAnswers << QString("") << QString("");
        mw->selInsert();
        QCOMPARE(status(), QStringLiteral("Item 3 created."));
        mw->selInsert();
        QCOMPARE(status(), QStringLiteral("Item 5 created."));
        QCOMPARE(listTexts(mw->listTexture).size(), 6);
    }

    void findSelectsTheItemWithThatId()
    {
        ScriptedDialogs dialogs;
        mw->tabSelect->setCurrentIndex(0);
        for (const char* typed : { "26", "0x1a", "0X1A" }) {
            select(0, 1);
            dialogs.textAnswers << QString::fromLatin1(typed);
            mw->editFind();
            const QStringList selected = selectedTexts(mw->listLand);
            QCOMPARE(selected.size(), 1);
            QVERIFY2(selected.first() == QStringLiteral("0x1a"), typed);
        }
        QCOMPARE(dialogs.asked.last(), QStringLiteral("Find Item"));
        QCOMPARE(dialogs.lastLabel, QStringLiteral("Enter id to find"));

        // No such item, no number, cancelled: the selection stays.
        for (const char* typed : std::initializer_list<const char*> { "1A", "2", nullptr }) {
            select(0, 1);
            dialogs.textAnswers << (typed ? QString::fromLatin1(typed) : QString());
            mw->editFind();
            QCOMPARE(selectedTexts(mw->listLand).value(0), QStringLiteral("0x1"));
        }

        // Find looks only in the visible catalogue.
        mw->tabSelect->setCurrentIndex(1);
        dialogs.textAnswers << QStringLiteral("26");
        mw->editFind();
        QVERIFY(selectedTexts(mw->listStatic).isEmpty());
    }

    void windowMenuListsAndRaisesTheWindows()
    {
        auto entries = [this] {
            emit mw->windowsMenu->aboutToShow();
            return mw->windowsMenu->actions();
        };
        QList<QAction*> menu = entries();
        QCOMPARE(menu.size(), 3);
        QCOMPARE(menu[0]->text(), QStringLiteral("&Cascade"));
        QCOMPARE(menu[1]->text(), QStringLiteral("&Tile"));
        QVERIFY(!menu[0]->isEnabled() && !menu[1]->isEnabled());
        QVERIFY(menu[2]->isSeparator());

        open(2, 3);
        open(1, 6);
        open(0, 26);
        menu = entries();
        QCOMPARE(menu.size(), 6);
        QVERIFY(menu[0]->isEnabled() && menu[1]->isEnabled());
        QStringList titles;
        int checked = 0;
        for (int i = 3; i < 6; ++i) {
            titles << menu[i]->text();
            checked += menu[i]->isChecked() ? 1 : 0;
        }
        QCOMPARE(titles, (QStringList { "Gump: 0x3", "Static: 0x6", "Land: 0x1a" }));
        QCOMPARE(checked, 1);
        QVERIFY(menu[5]->isChecked());   // the newest window is the active one

        menu[3]->trigger();
        QCOMPARE(mw->workspace->currentSubWindow()->windowTitle(), QStringLiteral("Gump: 0x3"));
        menu = entries();
        QVERIFY(menu[3]->isChecked() && !menu[4]->isChecked() && !menu[5]->isChecked());

        // Raising a minimised window shows it normally again.
        QMdiSubWindow* second = mw->workspace->subWindowList()[1];
        second->showMinimized();
        mw->windowsMenuActivated(1);
        QVERIFY(!second->isMinimized());
        QCOMPARE(mw->workspace->currentSubWindow(), second);

        second->close();
        flushDeletes();
        mw->windowsMenuActivated(2);    // no such window any more
        mw->windowsMenuActivated(-1);
        QCOMPARE(captions().size(), 2);
    }

    void tilePagesAreReadOnlyWhenTileDataCannotBeWritten()
    {
        const QString dir = mw->mulDir;
        const QString tileData = dataDir->filePath("tiledata.mul");
        const QByteArray bytes = readBytes(tileData);
        QVERIFY(writeBytes(tileData, bytes + "x"));   // no layout this program writes
        mw->editSession()->open(dir);
        QVERIFY(open(1, 5)->isTileDataReadOnly());   // what that means: the editor tests
        QVERIFY(writeBytes(tileData, bytes));
        mw->editSession()->open(dir);
        QVERIFY(!open(0, 5)->isTileDataReadOnly());
    }
};

QTEST_MAIN(TestMainwindowEditors)
#include "tst_mainwindow_editors.moc"
