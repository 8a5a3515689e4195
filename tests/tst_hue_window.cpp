// The Hues tab and the hue window in the main window on the demo directory, driven through
// their widgets: list, filter, opening, swatches, Apply, Undo, Save byte-exact, refusals,
// gradient, Copy and Paste.
#include "demodata.h"
#include "editsession.h"
#include "hues.h"
#include "huespane.h"
#include "huewindow.h"
#include "huewindowset.h"
#include "mainwindow.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "uodir.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using namespace qm;

namespace {

struct HueFixture {
    TestSettings settings;
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<mainwindow> w;

    explicit HueFixture(bool withHues = true)
    {
        QString error;
        if (!writeDemoDirectory(dir.path(), false, false, &error))
            qFatal("%s", qPrintable(error));
        if (!withHues)
            QFile::remove(dir.filePath("hues.mul"));
        writeUODir(dir.path());
        w = std::make_unique<mainwindow>();
        w->show();
    }
    HuesPane* pane() const { return w->findChild<HuesPane*>("huesPane"); }
    EditSession& session() const { return *w->editSession(); }
    HueWindow* open(int hue) const { return w->findChild<HueWindows*>("hueWindows")->open(hue); }
};

template <typename T>
T* child(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

void type(QWidget* window, const char* name, const QString& text)
{
    QLineEdit* box = child<QLineEdit>(window, name);
    box->selectAll();
    QTest::keyClicks(box, text);
    emit box->editingFinished();
}

void click(QWidget* window, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(window, name), Qt::LeftButton);
}

} // namespace

class TestHueWindow : public QObject {
    Q_OBJECT

private slots:
    void huesTabListsFiltersAndOpens()
    {
        HueFixture f;
        auto* tabs = f.w->findChild<QTabWidget*>("tabSelect");
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->tabText(3), QString("Texture"));
        QCOMPARE(tabs->tabText(4), QString("Hues"));
        QCOMPARE(tabs->widget(4), f.pane());

        QTreeView* list = f.pane()->list();
        QCOMPARE(list->model()->rowCount(), 3000);
        QVERIFY(child<QLabel>(f.pane(), "huesStatus")->text().contains("3000"));
        QCOMPARE(list->model()->index(0, 0).data().toString(), QString("0x0001"));
        QVERIFY(!list->model()->index(0, 3).data(Qt::DecorationRole).value<QPixmap>().isNull());

        f.pane()->filterBox()->setText("0x10-0x1f");
        QCOMPARE(list->model()->rowCount(), 16);
        QCOMPARE(list->model()->index(0, 1).data().toInt(), 16);
        const QString name = f.session().hue(0x61).name();
        QVERIFY(!name.isEmpty());
        f.pane()->filterBox()->setText(name);
        QVERIFY(list->model()->rowCount() >= 1);
        for (int row = 0; row < list->model()->rowCount(); ++row)
            QVERIFY(list->model()->index(row, 2).data().toString().contains(name, Qt::CaseInsensitive));

        // Activating a row opens its window; opening it again shows the same one.
        auto* workspace = f.w->findChild<QMdiArea*>("workspace");
        const int before = int(workspace->subWindowList().size());
        emit list->activated(list->model()->index(0, 0));
        QCOMPARE(int(workspace->subWindowList().size()), before + 1);
        auto* window = qobject_cast<HueWindow*>(workspace->subWindowList().last()->widget());
        QVERIFY(window);
        QCOMPARE(window->hue(), f.pane()->list()->model()->index(0, 1).data().toInt());
        QCOMPARE(f.open(window->hue()), window);
        QCOMPARE(int(workspace->subWindowList().size()), before + 1);
    }

    // View → Thumbnail Grid switches the Hues tab alone while it is shown, the grid follows
    // the same filter and opens hues, and the choice outlives the window.
    void huesTabGridTogglesFiltersAndIsRemembered()
    {
        HueFixture f;
        auto* tabs = f.w->findChild<QTabWidget*>("tabSelect");
        auto* gridAction = f.w->findChild<QAction*>("viewGridAction");
        QVERIFY(tabs && gridAction);
        tabs->setCurrentIndex(0);
        const bool landGrid = gridAction->isChecked();
        tabs->setCurrentIndex(4);
        QVERIFY(!f.pane()->showsGrid());
        QVERIFY(!gridAction->isChecked());
        gridAction->trigger();
        QVERIFY(f.pane()->showsGrid());
        QListView* grid = f.pane()->grid();
        QVERIFY(grid->isVisible());
        QVERIFY(!f.pane()->list()->isVisible());
        QCOMPARE(grid->model()->rowCount(), 3000);
        const QModelIndex first = grid->model()->index(0, grid->modelColumn());
        QCOMPARE(first.data().toString(), QString("0x0001"));
        QVERIFY(!first.data(Qt::DecorationRole).value<QPixmap>().isNull());

        f.pane()->filterBox()->setText("0x10-0x1f");
        QCOMPARE(grid->model()->rowCount(), 16);
        const QModelIndex cell = grid->model()->index(2, grid->modelColumn());
        QCOMPARE(cell.data().toString(), QString("0x0012"));
        grid->setCurrentIndex(cell);
        QCOMPARE(f.pane()->currentHue(), 0x12);
        emit grid->activated(cell);
        QVERIFY(f.w->findChild<HueWindows*>("hueWindows")->open(0x12));

        // The other tabs keep their own choice.
        tabs->setCurrentIndex(0);
        QCOMPARE(gridAction->isChecked(), landGrid);
        tabs->setCurrentIndex(4);
        QVERIFY(gridAction->isChecked());

        mainwindow again;
        QVERIFY(again.findChild<HuesPane*>("huesPane")->showsGrid());
        gridAction->trigger();
        QVERIFY(!f.pane()->showsGrid());
        QCOMPARE(f.pane()->currentHue(), 0x12);
    }

    void missingHuesLeaveTheTabEmptyWithALine()
    {
        HueFixture f(false);
        QCOMPARE(f.pane()->list()->model()->rowCount(), 0);
        QVERIFY(child<QLabel>(f.pane(), "huesStatus")->text().contains("missing"));
        QVERIFY(!f.open(1));
    }

    void editApplyUndoAndSaveByteExact()
    {
        HueFixture f;
        const QByteArray before = readBytes(f.dir.filePath("hues.mul"));
        const HueEntry stored = f.session().hue(5);
        HueWindow* window = f.open(5);
        QVERIFY(window);

        f.dialogs.colorAnswers << QColor(255, 0, 0);
        click(window, "swatch3");
        QCOMPARE(child<QLineEdit>(window, "colorValue")->text(), QString("0x7c00"));
        click(window, "swatch4");   // cancelled: selects only
        type(window, "colorValue", "0x0421");
        type(window, "hueName", "Ember");
        type(window, "tableEnd", "0x30");
        QCOMPARE(f.session().hue(5), stored);   // nothing before Apply
        click(window, "apply");
        QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.join('\n')));

        HueEntry expected = stored;
        expected.colors[3] = 0x7C00;
        expected.colors[4] = 0x0421;
        expected.tableEnd = 0x30;
        QString error;
        QVERIFY(setHueName(expected, "Ember", &error));
        QCOMPARE(f.session().hue(5), expected);
        QCOMPARE(f.session().undoText(), QString("Change Hue 5"));
        QVERIFY(f.pane()->list()->model()->index(4, 2).data(Qt::FontRole).value<QFont>().bold());

        f.session().undo();
        QCOMPARE(child<QLineEdit>(window, "hueName")->text(), stored.name());
        f.session().redo();
        QCOMPARE(child<QLineEdit>(window, "hueName")->text(), QString("Ember"));

        QVERIFY2(f.session().save(&error), qPrintable(error));
        const QByteArray after = readBytes(f.dir.filePath("hues.mul"));
        QCOMPARE(after.size(), before.size());
        const int at = int(hueOffset(5));
        QCOMPARE(after.left(at), before.left(at));
        QCOMPARE(after.mid(at + kHueEntrySize), before.mid(at + kHueEntrySize));
        QCOMPARE(parseHueEntry(after.constData() + at), expected);
    }

    void refusalsNameTheFieldAndChangeNothing()
    {
        HueFixture f;
        HueWindow* window = f.open(7);
        const struct {
            const char* field;
            QString text;
            QString part;
        } refused[] = {
            { "colorValue", "0x8000", "colors[0]" },
            { "hueName", QString(21, 'x'), "name" },
            { "tableStart", "70000", "tableStart" },
        };
        for (const auto& c : refused) {
            HueWindow* fresh = window;
            type(fresh, c.field, c.text);
            f.dialogs.messages.clear();
            click(fresh, "apply");
            QCOMPARE(f.dialogs.messages.size(), 1);
            QVERIFY2(f.dialogs.messages.first().contains(c.part), qPrintable(f.dialogs.messages.first()));
            QVERIFY(!f.session().canUndo());
            QVERIFY(!f.session().isHueEdited(7));
            // Cancel drops what was typed; the window reopens as the session holds the hue.
            click(fresh, "cancel");
            QTest::qWait(1);
            window = f.open(7);
        }
    }

    void gradientCopyAndPaste()
    {
        HueFixture f;
        HueWindow* a = f.open(9);
        child<QToolButton>(a, "swatch0")->setChecked(true);
        a->selectSwatch(0);
        type(a, "colorValue", "0x0000");
        a->selectSwatch(31);
        type(a, "colorValue", "0x7fff");
        child<QSpinBox>(a, "gradientFrom")->setValue(0);
        child<QSpinBox>(a, "gradientTo")->setValue(31);
        click(a, "gradient");
        QString problem;
        const HueEntry ramp = a->edited(&problem);
        QVERIFY(problem.isEmpty());
        for (int i = 0; i < kHueColorCount; ++i) {
            const int level = ramp.colors[size_t(i)] & 31;
            QCOMPARE(level, i);   // 0..31 in 31 steps: one level each
            QCOMPARE(ramp.colors[size_t(i)], quint16(level << 10 | level << 5 | level));
        }

        click(a, "copyHue");
        HueWindow* b = f.open(10);
        QVERIFY(b != a);
        click(b, "pasteHue");
        QCOMPARE(b->edited(&problem).colors, ramp.colors);
        QVERIFY(!f.session().isHueEdited(10));   // pasted, not yet applied
        click(b, "ok");
        QCOMPARE(f.session().hue(10).colors, ramp.colors);
        QVERIFY(!f.session().isHueEdited(9));   // the copied window applied nothing
    }

    // With QM_HUE_SCREENSHOTS=DIR, the README's pictures of the tab and the window.
    void screenshots()
    {
        HueFixture f;
        f.w->resize(1000, 720);
        f.w->findChild<QTabWidget*>("tabSelect")->setCurrentIndex(4);
        f.pane()->list()->setCurrentIndex(f.pane()->list()->model()->index(0x60, 0));
        HueWindow* window = f.open(0x61);
        auto* previewKind = child<QComboBox>(window, "previewKind");
        previewKind->setCurrentIndex(previewKind->findData(int(Gump)));
        type(window, "previewId", "0x63");
        emit child<QLineEdit>(window, "previewId")->textEdited("0x63");
        QVERIFY(child<QLabel>(window, "huePreview")->text().isEmpty());   // a picture, not "No picture"
        window->parentWidget()->adjustSize();
        QTest::qWait(50);
        const QPixmap tab = f.w->grab();
        const QPixmap hueWindow = window->parentWidget()->grab();
        QVERIFY(!tab.isNull() && !hueWindow.isNull());
        const QString dir = qEnvironmentVariable("QM_HUE_SCREENSHOTS");
        if (dir.isEmpty())
            return;
        window->parentWidget()->hide();
        QTest::qWait(50);
        QVERIFY(f.w->grab().save(dir + "/hues-tab.png"));
        QVERIFY(hueWindow.save(dir + "/hue-window.png"));
    }
};

QTEST_MAIN(TestHueWindow)
#include "tst_hue_window.moc"
