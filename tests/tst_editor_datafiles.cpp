// Editor windows opened on real data files: the picture, tile record and animation record
// each editor shows are the ones the files hold for its item. On request, the screenshot of
// the main window with its editors that the documentation shows.
#include "animdata.h"
#include "demodata.h"
#include "itemsource.h"
#include "mainwindow.h"
#include "treelists.h"
#include "mywidget.h"
#include "tilegeneralpage.h"
#include "testdata.h"
#include "tiledata.h"
#include "uodir.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QCheckBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace qm;

namespace {

// Texture, gump and land above; the static twice below, on its flags and its picture.
const QPair<int, int> kOpened[5] = { { Texture, 5 }, { Gump, 5 }, { Land, 3 }, { Static, 0x10 }, { Static, 0x10 } };

// Shows `mw` and opens every item of kOpened; returns the editors in that order.
QList<myWidget*> openEditors(mainwindow& mw)
{
    mw.resize(1280, 940);
    mw.show();
    if (!QTest::qWaitForWindowExposed(&mw))
        return {};
    for (const auto& [kind, id] : kOpened) {
        mw.tabSelect->setCurrentIndex(kind);
        const QModelIndex found = listItem(mw.currentList, id);
        if (!found.isValid())
            return {};
        mw.currentList->setCurrentIndex(found);
        mw.listDouble(found);
    }
    QList<myWidget*> editors;
    for (QMdiSubWindow* w : mw.workspace->subWindowList())
        editors << qobject_cast<myWidget*>(w->widget());
    return editors;
}

} // namespace

class TestEditorDataFiles : public QObject {
    Q_OBJECT

private slots:
    void editorsShowWhatTheFilesHold()
    {
        TestSettings settings;
        QTemporaryDir dir;
        QString error;
        QVERIFY2(writeDemoDirectory(dir.path(), false, false, &error), qPrintable(error));
        writeUODir(dir.path());
        mainwindow mw;
        const QList<myWidget*> editors = openEditors(mw);
        QCOMPARE(editors.size(), 5);
        for (myWidget* e : editors) {
            QVERIFY2(!e->image().isNull(), qPrintable(e->windowTitle()));
            QVERIFY2(e->image() == readImageFromFiles(dir.path(), ItemKind(e->kind()), e->itemId()), qPrintable(e->windowTitle()));
        }
        const tile_struct land = readTileRecord(dir.path(), Land, 3);
        QCOMPARE(editors[2]->lineName->text(), land.name);
        const tile_struct statik = readTileRecord(dir.path(), Static, 0x10);
        QVERIFY(!statik.name.isEmpty());
        QCOMPARE(editors[3]->lineName->text(), statik.name);
        QCOMPARE(editors[3]->tab_2->flagWord(), statik.flags);
        const anim_st anim = readAnimRecord(dir.path(), 0x10);
        QCOMPARE(editors[3]->lineFrameCount->text(), QString::number(anim.frameCount));
        QCOMPARE(editors[3]->table1->item(1, 0)->text(), QString::number(anim.frames[1]));
    }

    // The picture in docs: QM_SCREENSHOT=out.png QM_DEMO_DIR=dir (from qmtool make-demo).
    void screenshotOfTheDemoDirectory()
    {
        const QString shot = qEnvironmentVariable("QM_SCREENSHOT");
        const QString demo = qEnvironmentVariable("QM_DEMO_DIR");
        if (shot.isEmpty() || demo.isEmpty())
            QSKIP("set QM_SCREENSHOT and QM_DEMO_DIR to take the screenshot");
        TestSettings settings;
        writeUODir(demo);
        mainwindow mw;
        QCOMPARE(openEditors(mw).size(), 5);
        const auto frames = mw.workspace->subWindowList();
        const QSize area = mw.workspace->viewport()->size();
        const int top = area.height() * 2 / 5, third = area.width() / 3, half = area.width() / 2;
        const QRect places[5] = {
            { 0, 0, third, top },
            { third, 0, third, top },
            { 2 * third, 0, area.width() - 2 * third, top },
            { 0, top, half, area.height() - top },
            { half, top, area.width() - half, area.height() - top },
        };
        for (int i = 0; i < 5; ++i)
            frames[i]->setGeometry(places[i]);
        auto* statik = qobject_cast<myWidget*>(frames[3]->widget());
        statik->tabData->setCurrentIndex(1);
        mw.workspace->setActiveSubWindow(frames[3]);
        // Two applied edits, the second undone: the Edit menu offers both Undo and Redo.
        statik->lineName->setText(QStringLiteral("old oak tree"));
        statik->lineName->setModified(true);
        statik->clickApply();
        statik->checkWall->click();
        statik->clickApply();
        mw.editUndo();
        QTest::qWait(50);
        QPixmap picture = mw.grab();
        const QRect title = mw.MenuBar->actionGeometry(mw.editMenu->menuAction());
        mw.editMenu->popup(mw.MenuBar->mapToGlobal(title.bottomLeft()));
        QTest::qWait(50);
        QPainter painter(&picture);
        painter.drawPixmap(mw.MenuBar->mapTo(&mw, title.bottomLeft()), mw.editMenu->grab());
        painter.end();
        mw.editMenu->hide();
        QVERIFY(picture.save(shot));
    }
};

QTEST_MAIN(TestEditorDataFiles)
#include "tst_editor_datafiles.moc"
