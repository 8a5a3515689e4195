// Browsing in the main window: each tab's list or thumbnail grid, the filter both follow, the
// tile-name column, and the commands acting on whichever view is shown.
#include "cataloguefilterbox.h"
#include "editorprobe.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "cataloguepane.h"
#include "cataloguepanes.h"
#include "windowfixture.h"
#include "mainwindow.h"
#include "mywidget.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "thumbnailcache.h"
#include "treelists.h"
#include "uodir.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <memory>

using namespace qm;

namespace {

// A shown main window on a standard directory (land 0 2 5, statics 0 1 0x12c, gumps 0 1 4,
// textures 1 3), with scripted dialogs.
struct Fixture : MainWindowFixture {
    QVector<int> gridIds(int kind) const { return w->paneForKind(kind)->model()->shownIds(); }
    CatalogueGridView* gridView(int kind) const { return w->paneForKind(kind)->grid()->view(); }
    void clickCell(int kind, int id, Qt::KeyboardModifiers modifiers = {})
    {
        CatalogueGridView* view = gridView(kind);
        QCoreApplication::processEvents();   // the grid lays its cells out between events
        const QModelIndex index = view->model()->index(w->paneForKind(kind)->model()->rowOf(id), 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(index).center());
    }
};

QStringList names(const QTreeView* list)
{
    return listTexts(list, 1);
}

tile_struct named(const QString& name)
{
    tile_struct t;
    t.name = name;
    return t;
}

} // namespace

class TestMainWindowBrowse : public QObject {
    Q_OBJECT

private slots:
    void switchingViewsCarriesTheSelectionAndIsRemembered()
    {
        Fixture f;
        mainwindow& w = *f.w;
        QVERIFY(!w.cataloguePanes()->viewGridAction()->isChecked());   // the list is the default
        QVERIFY(w.Toolbar->actions().contains(w.cataloguePanes()->viewGridAction()));
        QVERIFY(w.viewMenu->actions().contains(w.cataloguePanes()->viewGridAction()));

        w.tabSelect->setCurrentIndex(Gump);
        selectItem(w.listGump, 4);
        CataloguePane* gumps = f.show(Gump, true);
        QVERIFY(gumps->showsGrid());
        QCOMPARE(f.gridIds(Gump), (QVector<int> { 0, 1, 4 }));
        QCOMPARE(gumps->selectedIds(), QVector<int> { 4 });

        // Several cells; back in the list the same rows are selected.
        f.clickCell(Gump, 0);
        f.clickCell(Gump, 1, Qt::ControlModifier);
        QCOMPARE(gumps->selectedIds(), (QVector<int> { 0, 1 }));
        f.show(Gump, false);
        QCOMPARE(selectedTexts(w.listGump).size(), 2);
        f.show(Gump, true);

        // Each tab keeps its own view; the action follows the tab.
        w.tabSelect->setCurrentIndex(Static);
        QVERIFY(!w.cataloguePanes()->viewGridAction()->isChecked());
        w.tabSelect->setCurrentIndex(Gump);
        QVERIFY(w.cataloguePanes()->viewGridAction()->isChecked());

        // The view and the cell size survive a restart.
        gumps->grid()->slider()->setValue(128);
        QCOMPARE(f.gridView(Texture)->cellSize(), 128);   // one cache, one size for all grids
        f.reopen();
        QVERIFY(f.w->paneForKind(Gump)->showsGrid());
        QVERIFY(!f.w->paneForKind(Static)->showsGrid());
        QCOMPARE(f.gridView(Gump)->cellSize(), 128);
    }

    void gridCommandsActAsOnTheList()
    {
        Fixture f;
        mainwindow& w = *f.w;
        CataloguePane* gumps = f.show(Gump, true);
        f.dialogs.textAnswers << QStringLiteral("2");
        w.selInsert();
        QCOMPARE(f.gridIds(Gump), (QVector<int> { 0, 1, 2, 4 }));
        QCOMPARE(listTexts(w.listGump), (QStringList { "0x0", "0x1", "0x2", "0x4" }));
        QCOMPARE(gumps->selectedIds(), QVector<int> { 2 });

        // A filter keeps the selection of the cells it still shows.
        f.clickCell(Gump, 0);
        f.clickCell(Gump, 4, Qt::ControlModifier);
        QCOMPARE(gumps->selectedIds(), (QVector<int> { 0, 4 }));
        gumps->filterBox()->textBox()->setText(QStringLiteral("1-4"));
        QCOMPARE(gumps->selectedIds(), QVector<int> { 4 });
        gumps->filterBox()->textBox()->clear();
        QCOMPARE(gumps->selectedIds(), QVector<int> { 4 });

        // Delete key on the grid deletes the cells selected there, as one step.
        f.clickCell(Gump, 0, Qt::ControlModifier);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        f.gridView(Gump)->setFocus();
        QTest::keyClick(f.gridView(Gump), Qt::Key_Delete);
        QCOMPARE(f.gridIds(Gump), (QVector<int> { 1, 2 }));
        QCOMPARE(w.editUndoAction->text(), QStringLiteral("&Undo Delete 2 Gump Items"));
        w.editUndo();
        QCOMPARE(f.gridIds(Gump), (QVector<int> { 0, 1, 2, 4 }));
        w.editUndo();
        QCOMPARE(f.gridIds(Gump), (QVector<int> { 0, 1, 4 }));

        f.dialogs.textAnswers << QStringLiteral("0x4");
        w.editFind();
        QCOMPARE(gumps->selectedIds(), QVector<int> { 4 });

        // Double-click and the right-click menu's Open open item windows on the cell.
        CatalogueGridView* view = f.gridView(Gump);
        QCoreApplication::processEvents();
        const QRect cell = view->visualRect(view->model()->index(gumps->model()->rowOf(1), 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(w.workspace->subWindowList().size(), 1);
        QCOMPARE(qobject_cast<myWidget*>(w.workspace->subWindowList().last()->widget())->itemId(), 1);
        f.dialogs.menuAnswers << QStringLiteral("Open");
        emit view->customContextMenuRequested(cell.center());
        QCOMPARE(w.workspace->subWindowList().size(), 2);
    }

    void filterHidesRowsInListAndGrid()
    {
        Fixture f;
        mainwindow& w = *f.w;
        CataloguePane* statics = f.show(Static, false);
        QVERIFY(w.editSession()->setTile(Static, 1, named(QStringLiteral("Barrel"))));
        QVERIFY(w.editSession()->setTile(Static, 0x12c, named(QStringLiteral("barrel lid"))));
        selectItem(w.listStatic, 0);

        typeInto(statics->filterBox()->textBox(), QStringLiteral("BARREL"));
        QCOMPARE(listTexts(w.listStatic), (QStringList { hexId(1), hexId(0x12c) }));
        QCOMPARE(f.gridIds(Static), (QVector<int> { 1, 0x12c }));
        QCOMPARE(statics->filterBox()->countLabel()->text(), QStringLiteral("2 of 3"));
        // What the filter hides is not selected: Delete cannot reach it.
        QVERIFY(statics->selectedIds().isEmpty());

        // An edit moves its item in or out; Undo moves it back.
        QVERIFY(w.editSession()->setTile(Static, 1, named(QStringLiteral("cask"))));
        QCOMPARE(f.gridIds(Static), QVector<int> { 0x12c });
        QCOMPARE(listTexts(w.listStatic), QStringList { hexId(0x12c) });
        w.editUndo();
        QCOMPARE(listTexts(w.listStatic).size(), 2);

        // An id range, then a flag: every condition the box holds applies.
        typeInto(statics->filterBox()->textBox(), hexId(0) + QStringLiteral("-") + hexId(1));
        QCOMPARE(f.gridIds(Static), (QVector<int> { 0, 1 }));
        const int wet = statics->filterBox()->flagBox()->findData(7);
        statics->filterBox()->flagBox()->setCurrentIndex(wet);
        QVERIFY(!(w.editSession()->tile(Static, 1).flags & (1u << 7)));   // the edited record is clear
        QVERIFY(!f.gridIds(Static).contains(1));
        QCOMPARE(listTexts(w.listStatic).size(), f.gridIds(Static).size());

        // Gumps have no tile data: only the id part of a filter applies to them.
        CataloguePane* gumps = f.show(Gump, true);
        QVERIFY(!gumps->filterBox()->flagBox()->isEnabled());
        typeInto(gumps->filterBox()->textBox(), QStringLiteral("1-4"));
        QCOMPARE(f.gridIds(Gump), (QVector<int> { 1, 4 }));
        QCOMPARE(listTexts(w.listGump), (QStringList { "0x1", "0x4" }));
    }

    void nameColumnSortsByNameThenId()
    {
        Fixture f;
        mainwindow& w = *f.w;
        QCOMPARE(w.listStatic->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(w.listGump->model()->columnCount(), 1);
        QVERIFY(w.editSession()->setTile(Static, 0, named(QStringLiteral("crate"))));
        QVERIFY(w.editSession()->setTile(Static, 1, named(QStringLiteral("Anvil"))));
        QVERIFY(w.editSession()->setTile(Static, 0x12c, named(QStringLiteral("crate"))));
        QCOMPARE(names(w.listStatic), (QStringList { "crate", "Anvil", "crate" }));

        w.listStatic->header()->setSortIndicator(1, Qt::AscendingOrder);
        QCOMPARE(listTexts(w.listStatic), (QStringList { hexId(1), hexId(0), hexId(0x12c) }));
        w.listStatic->header()->setSortIndicator(0, Qt::DescendingOrder);
        QCOMPARE(listTexts(w.listStatic), (QStringList { hexId(0x12c), hexId(1), hexId(0) }));
    }

    void editedItemsShowTheirPictureAndAMark()
    {
        Fixture f;
        mainwindow& w = *f.w;
        CataloguePane* gumps = f.show(Gump, true);
        CatalogueGridModel* model = gumps->model();
        const QModelIndex cell = model->index(model->rowOf(1));
        QVERIFY(!cell.data(CatalogueGridModel::EditedRole).toBool());
        const QImage picture = filledImage(10, 6, qRgb(0, 200, 0));
        QVERIFY(w.editSession()->setImage(Gump, 1, picture));
        QVERIFY(cell.data(CatalogueGridModel::EditedRole).toBool());
        cell.data(Qt::DecorationRole);   // asks for the thumbnail
        w.thumbnails()->waitUntilIdle();
        QCOMPARE(cell.data(Qt::DecorationRole).value<QPixmap>().toImage().convertToFormat(QImage::Format_ARGB32),
                 picture);

        w.editUndo();
        QVERIFY(!cell.data(CatalogueGridModel::EditedRole).toBool());
        cell.data(Qt::DecorationRole);
        w.thumbnails()->waitUntilIdle();
        QCOMPARE(cell.data(Qt::DecorationRole).value<QPixmap>().toImage().convertToFormat(QImage::Format_ARGB32),
                 w.editSession()->image(Gump, 1).convertToFormat(QImage::Format_ARGB32));

        // Saved edits are no longer marked.
        w.editRedo();
        w.fileSave();
        QVERIFY(!cell.data(CatalogueGridModel::EditedRole).toBool());
        QCOMPARE(w.editSession()->image(Gump, 1), picture);
    }
};

QTEST_MAIN(TestMainWindowBrowse)
#include "tst_mainwindow_browse.moc"
