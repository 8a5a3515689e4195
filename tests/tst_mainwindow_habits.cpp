// The main window as a person expects it: Enter opens, the status bar describes the selected
// item, Find reaches hidden ids, File menu entries explain themselves, recent directories,
// the window's place remembered, the grid's cells, and refusals that cannot be missed.
#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "cataloguepane.h"
#include "cataloguepanes.h"
#include "windowfixture.h"
#include "editsession.h"
#include "mainwindow.h"
#include "picturebatches.h"
#include "recentdirectories.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "tileflags.h"
#include "treelists.h"
#include "uodir.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace qm;

namespace {

// A shown main window on a standard directory (land 0 2 5, statics 0 1 0x12c, gumps 0 1 4,
// textures 1 3), with scripted dialogs.
struct Fixture : MainWindowFixture {
    int itemWindows() const { return int(w->workspace->subWindowList().size()); }
    QString status() const { return w->statusBar()->currentMessage(); }
};

QAction* actionNamed(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

class TestMainWindowHabits : public QObject {
    Q_OBJECT

private slots:
    void enterOpensSelectedItems_data();
    void enterOpensSelectedItems();
    void statusBarDescribesSelectedItem();
    void findClearsFilterReportsMissingAndRemembers();
    void fileMenuEntriesExplainThemselves();
    void recentDirectories();
    void windowStateRemembered();
    void gridCellsKeepIdsClearOfTallPictures();
    void gridSaysWhenNothingMatches();
    void directoryChangeClearsSelectionAndFilters();
    void exportPicturesStartsInLastFolderAndMakesIt();
    void refusedCommandsShowAMessage();
};

void TestMainWindowHabits::enterOpensSelectedItems_data()
{
    QTest::addColumn<bool>("grid");
    QTest::addColumn<int>("key");
    QTest::newRow("list, Return") << false << int(Qt::Key_Return);
    QTest::newRow("list, Enter") << false << int(Qt::Key_Enter);
    QTest::newRow("grid, Return") << true << int(Qt::Key_Return);
    QTest::newRow("grid, Enter") << true << int(Qt::Key_Enter);
}

void TestMainWindowHabits::enterOpensSelectedItems()
{
    QFETCH(bool, grid);
    QFETCH(int, key);
    Fixture f;
    CataloguePane* pane = f.show(Static, grid);
    QVERIFY(pane->selectOnly(1));
    QWidget* view = grid ? static_cast<QWidget*>(pane->grid()->view()) : pane->list();
    view->activateWindow();
    view->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(f.w.get()));
    QTest::keyClick(view, Qt::Key(key));
    QCOMPARE(f.itemWindows(), 1);
    // Return in the filter box filters; it opens nothing.
    QTest::keyClick(pane->filterBox()->textBox(), Qt::Key(key));
    QCOMPARE(f.itemWindows(), 1);
}

void TestMainWindowHabits::statusBarDescribesSelectedItem()
{
    Fixture f;
    EditSession* session = f.w->editSession();
    tile_struct tile = session->tile(Static, 0x12c);
    tile.name = QStringLiteral("brass urn");
    tile.flags = 1u | (1u << 4);
    QString error;
    QVERIFY2(session->setTile(Static, 0x12c, tile, &error), qPrintable(error));
    QVERIFY2(session->setImage(Static, 0x12c, filledImage(30, 40, qRgb(0, 90, 0)), &error), qPrintable(error));

    CataloguePane* pane = f.show(Static, false);
    QVERIFY(pane->selectOnly(0x12c));
    const QString line = f.status();
    QVERIFY2(line.contains(itemName(Static, 0x12c)), qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("30 x 40 px")), qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("\"brass urn\"")), qPrintable(line));
    QVERIFY2(line.contains(QCoreApplication::translate("myWidget", kTileFlags[0].caption)), qPrintable(line));
    QVERIFY2(line.contains(QCoreApplication::translate("myWidget", kTileFlags[4].caption)), qPrintable(line));
    QVERIFY2(!line.contains(QCoreApplication::translate("myWidget", kTileFlags[1].caption)), qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("edited")), qPrintable(line));

    // An unedited gump, in the grid: no tile name or flags, not edited.
    pane = f.show(Gump, true);
    QVERIFY(pane->selectOnly(4));
    const QString gump = f.status();
    QVERIFY2(gump.startsWith(itemName(Gump, 4)), qPrintable(gump));
    QVERIFY2(!gump.contains(QStringLiteral("edited")) && !gump.contains(QStringLiteral("flags")), qPrintable(gump));
}

void TestMainWindowHabits::findClearsFilterReportsMissingAndRemembers()
{
    Fixture f;
    CataloguePane* pane = f.show(Static, false);
    pane->filterBox()->textBox()->setText(QStringLiteral("0x0-0x1"));
    QVERIFY(!pane->selectOnly(0x12c));

    // Hidden by the filter: the filter goes, the item is selected.
    f.dialogs.textAnswers << QStringLiteral("0x12c");
    f.w->editFind();
    QVERIFY(pane->filterBox()->textBox()->text().isEmpty());
    QCOMPARE(pane->selectedIds(), QVector<int>{ 0x12c });
    QVERIFY(f.dialogs.messages.isEmpty());

    // Not in the catalogue: a message says so; the last id is offered again.
    f.dialogs.textAnswers << QStringLiteral("0x77");
    f.w->editFind();
    QCOMPARE(f.dialogs.lastInitial, QStringLiteral("0x12c"));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages.first().contains(itemName(Static, 0x77)), qPrintable(f.dialogs.messages.first()));
    QCOMPARE(pane->selectedIds(), QVector<int>{ 0x12c });

    f.dialogs.textAnswers << QString();   // cancelled
    f.w->editFind();
    QCOMPARE(f.dialogs.lastInitial, QStringLiteral("0x77"));
}

void TestMainWindowHabits::fileMenuEntriesExplainThemselves()
{
    Fixture f;
    // The fixed texts stay; tips tell the entries apart.
    QCOMPARE(f.w->popEdit->text(), QStringLiteral("Open"));
    QCOMPARE(f.w->popImport->text(), QStringLiteral("Import"));
    QCOMPARE(f.w->popExport->text(), QStringLiteral("Export"));
    QCOMPARE(f.w->fileOpenAction->text(), QStringLiteral("&Open..."));
    QCOMPARE(f.w->popEdit->statusTip(), QStringLiteral("Open the selected item"));
    QCOMPARE(f.w->popImport->statusTip(), QStringLiteral("Import a patch file (.qmp) into the current catalogue"));
    QCOMPARE(f.w->fileOpenAction->statusTip(), QStringLiteral("Choose the data directory"));
    QStringList tips;
    for (QAction* a : f.w->fileMenu->actions()) {
        if (a->isSeparator() || a->menu())
            continue;
        QVERIFY2(!a->statusTip().isEmpty() && a->toolTip() == a->statusTip(), qPrintable(a->text()));
        tips << a->statusTip();
    }
    const qsizetype entries = tips.size();
    QVERIFY(entries >= 9);
    tips.removeDuplicates();
    QCOMPARE(tips.size(), entries);
    // The data directory has an icon of its own.
    QVERIFY(!f.w->fileOpenAction->icon().isNull());
    QVERIFY(f.w->fileOpenAction->icon().pixmap(22).toImage() != f.w->popEdit->icon().pixmap(22).toImage());
}

void TestMainWindowHabits::recentDirectories()
{
    Fixture f;
    QTemporaryDir root;
    QStringList made;
    for (int i = 0; i < 10; ++i) {
        const QString path = root.filePath(QStringLiteral("d%1").arg(i));
        QVERIFY(QDir().mkpath(path));
        made << path;
    }
    RecentDirectories recent;
    for (const QString& path : made)
        recent.add(path);
    recent.add(made[4]);   // again: moves to the front, not listed twice
    QStringList expected = { made[4], made[9], made[8], made[7], made[6], made[5], made[3], made[2] };
    QCOMPARE(recent.directories(), expected);

    // Missing ones are greyed out; the opened directory is first.
    QVERIFY(QDir(made[9]).removeRecursively());
    SaveDir other;
    other.writeStandard();
    f.dialogs.directoryAnswers << other.path();
    f.w->editSettings();
    QCOMPARE(recent.directories().first(), QDir::cleanPath(other.path()));
    QCOMPARE(recent.directories().size(), RecentDirectories::kMax);
    emit f.w->recentMenu->aboutToShow();
    QAction* gone = actionNamed(f.w->recentMenu, QDir::toNativeSeparators(made[9]));
    QAction* there = actionNamed(f.w->recentMenu, QDir::toNativeSeparators(made[4]));
    QVERIFY(gone && there);
    QVERIFY(!gone->isEnabled());
    QVERIFY(there->isEnabled());

    // Choosing one with unsaved edits asks first; Cancel keeps everything.
    recent.add(f.dir.path());
    QString error;
    QVERIFY(f.w->editSession()->setImage(Gump, 4, filledImage(6, 6, qRgb(200, 0, 0)), &error));
    emit f.w->recentMenu->aboutToShow();
    QAction* first = actionNamed(f.w->recentMenu, QDir::toNativeSeparators(f.dir.path()));
    QVERIFY(first);
    first->trigger();
    QCOMPARE(f.dialogs.asked.last(), QStringLiteral("Unsaved edits"));
    QCOMPARE(f.w->editSession()->directory(), QDir::cleanPath(other.path()));
    f.dialogs.questionAnswers << QMessageBox::Discard;
    first->trigger();
    QCOMPARE(f.w->editSession()->directory(), f.dir.path());
}

void TestMainWindowHabits::windowStateRemembered()
{
    Fixture f;
    // The first start uses most of the screen and gives the workspace the larger part.
    const QRect room = f.w->screen()->availableGeometry();
    QVERIFY2(f.w->width() >= room.width() * 7 / 10 || f.w->width() >= f.w->minimumSizeHint().width(),
             qPrintable(QString::number(f.w->width())));
    QVERIFY(f.w->splitter1->sizes().at(1) > f.w->splitter1->sizes().at(0));

    f.w->resize(700, 500);
    f.w->splitter1->setSizes({ 300, 400 });
    const QList<int> sizes = f.w->splitter1->sizes();
    f.w->tabSelect->setCurrentIndex(Gump);
    QVERIFY(f.w->close());

    // A second window on the same settings.
    mainwindow second;
    second.show();
    QCOMPARE(second.size(), QSize(700, 500));
    QCOMPARE(second.splitter1->sizes(), sizes);
    QCOMPARE(second.tabSelect->currentIndex(), int(Gump));
    QCOMPARE(second.currentKind, int(Gump));
}

void TestMainWindowHabits::gridCellsKeepIdsClearOfTallPictures()
{
    const int label = 14;
    for (int cell : { 32, 64, 128 }) {
        const QRect r(10, 20, cell + 12, cell + label + 10);
        for (const QSize picture : { QSize(44, 300), QSize(20, cell), QSize(300, 10), QSize(8, 8), QSize(3, 40) }) {
            for (bool scaleUp : { false, true }) {
                const auto layout = CatalogueGridView::cellLayout(r, picture, label, scaleUp);
                const QString what = QStringLiteral("cell %1, picture %2x%3").arg(cell).arg(picture.width()).arg(picture.height());
                QVERIFY2(!layout.picture.intersects(layout.label), qPrintable(what));
                QVERIFY2(r.contains(layout.picture) && r.contains(layout.label), qPrintable(what));
                QCOMPARE(layout.label.height(), label);
                // A common baseline: every picture ends just above the label row.
                QVERIFY2(layout.picture.bottom() < layout.label.top()
                             && layout.label.top() - layout.picture.bottom() <= 4,
                         qPrintable(what));
            }
        }
    }
    // Small pictures grow in whole steps, only when asked and only when there is room twice.
    const QRect r(0, 0, 140, 160);
    QCOMPARE(CatalogueGridView::cellLayout(r, QSize(8, 8), 14, false).picture.size(), QSize(8, 8));
    const QSize grown = CatalogueGridView::cellLayout(r, QSize(8, 8), 14, true).picture.size();
    QVERIFY(grown.width() % 8 == 0 && grown.width() >= 16 && grown == QSize(grown.width(), grown.width()));
    QCOMPARE(CatalogueGridView::cellLayout(r, QSize(100, 100), 14, true).picture.size(), QSize(100, 100));

    // The real grid: the whole cell is the item's rectangle, so the selection covers it.
    Fixture f;
    CataloguePane* pane = f.show(Static, true);
    CatalogueGridView* view = pane->grid()->view();
    const QRect item = view->visualRect(pane->model()->index(0));
    QCOMPARE(item.size(), view->gridSize());
    QVERIFY(f.w->viewMenu->actions().contains(f.w->cataloguePanes()->viewScaleUpAction()));
}

void TestMainWindowHabits::gridSaysWhenNothingMatches()
{
    Fixture f;
    CataloguePane* pane = f.show(Gump, true);
    QVERIFY(pane->grid()->view()->emptyMessage().isEmpty());
    pane->filterBox()->textBox()->setText(QStringLiteral("0x500"));
    QCOMPARE(pane->grid()->view()->emptyMessage(), QStringLiteral("No items match"));
}

void TestMainWindowHabits::directoryChangeClearsSelectionAndFilters()
{
    Fixture f;
    CataloguePane* pane = f.show(Gump, false);
    pane->filterBox()->textBox()->setText(QStringLiteral("0x0-0x1"));
    QVERIFY(pane->selectOnly(1));
    SaveDir other;
    other.writeStandard();
    f.dialogs.directoryAnswers << other.path();
    f.w->editSettings();
    QVERIFY(pane->filterBox()->textBox()->text().isEmpty());
    QCOMPARE(pane->filterBox()->history(), QStringList{ QStringLiteral("0x0-0x1") });
    QVERIFY(pane->selectedIds().isEmpty());
    QCOMPARE(pane->model()->shownIds(), (QVector<int>{ 0, 1, 4 }));
}

void TestMainWindowHabits::exportPicturesStartsInLastFolderAndMakesIt()
{
    Fixture f;
    f.show(Gump, false);
    QTemporaryDir out;
    const QString typed = out.filePath(QStringLiteral("new/pictures"));
    f.dialogs.directoryAnswers << typed;
    f.w->pictureBatches()->exportPictures();
    QCOMPARE(f.dialogs.lastInitial, QDir::homePath());
    QVERIFY(QFileInfo(typed).isDir());
    QVERIFY(!QDir(typed).entryList(QDir::Files).isEmpty());
    f.w->pictureBatches()->exportPictures();   // cancelled
    QCOMPARE(f.dialogs.lastInitial, typed);
}

void TestMainWindowHabits::refusedCommandsShowAMessage()
{
    Fixture f;
    f.show(Static, false);
    f.dialogs.textAnswers << QStringLiteral("0x12c");
    f.w->selInsert();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages.last().contains(QStringLiteral("in use")), qPrintable(f.dialogs.messages.last()));
    f.dialogs.textAnswers << QStringLiteral("nonsense");
    f.w->selInsert();
    QCOMPARE(f.dialogs.messages.size(), 2);
    f.w->editPaste();   // no item window
    QCOMPARE(f.dialogs.messages.size(), 3);
    QCOMPARE(f.status(), f.dialogs.messages.last().section(QStringLiteral(": "), 1));

    // Nothing to export.
    f.show(Texture, false)->filterBox()->textBox()->setText(QStringLiteral("0x500"));
    f.w->pictureBatches()->exportPictures();
    QCOMPARE(f.dialogs.messages.size(), 4);
    QVERIFY2(f.dialogs.messages.last().contains(QStringLiteral("No texture items to export")), qPrintable(f.dialogs.messages.last()));

    // A file that is no patch file.
    QTemporaryDir scratch;
    const QString junk = scratch.filePath(QStringLiteral("junk.qmp"));
    QVERIFY(writeBytes(junk, QByteArray("not a patch")));
    f.dialogs.fileAnswers.append({ junk, QString() });
    f.w->fileImport();
    QCOMPARE(f.dialogs.messages.size(), 5);
    QVERIFY2(f.dialogs.messages.last().startsWith(QStringLiteral("Import: ")), qPrintable(f.dialogs.messages.last()));
}

QTEST_MAIN(TestMainWindowHabits)
#include "tst_mainwindow_habits.moc"
