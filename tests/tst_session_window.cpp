// The main window as a view of its session: Undo / Redo in the Edit menu, item windows that
// follow the history, Copy and Paste of pictures, the modified mark and the questions before
// unsaved or unapplied edits would be dropped, and where new item windows open.
#include "editorprobe.h"
#include "historyprobe.h"
#include "itemwindows.h"
#include "mainwindow.h"
#include "mywidget.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "treelists.h"
#include "uodir.h"
#include "windowfixture.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <memory>

using namespace qm;

namespace {

struct Fixture : MainWindowFixture {
    myWidget* open(int kind, int id) { return openItemWindow(*w, kind, id); }
};

QStringList menuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

} // namespace

class TestSessionWindow : public QObject {
    Q_OBJECT

private slots:
    void undoAndRedoNameTheirStepAndRefreshWindows()
    {
        Fixture f;
        mainwindow& w = *f.w;
        QVERIFY(!w.editUndoAction->isEnabled() && !w.editRedoAction->isEnabled());
        QCOMPARE(menuTexts(w.editMenu).mid(0, 2), (QStringList { "&Undo", "&Redo" }));
        QVERIFY(w.Toolbar->actions().contains(w.editUndoAction));
        QCOMPARE(w.editRedoAction->shortcuts(),
                 (QList<QKeySequence> { QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z") }));
        QVERIFY(w.windowTitle().contains(QDir::toNativeSeparators(f.dir.path())));
        QVERIFY(!w.isWindowModified());

        myWidget* a = f.open(Static, 1);
        myWidget* b = f.open(Static, 1);
        const QImage original = a->image();
        const QImage picture = filledImage(20, 30, qRgb(8, 0, 0));
        QVERIFY(importPicture(*a, picture));
        typeInto(a->lineName, QStringLiteral("barrel"));
        a->clickApply();   // picture and tile data: one step
        QCOMPARE(undoDepth(*w.editSession()), 1);
        QCOMPARE(w.editUndoAction->text(), QStringLiteral("&Undo Edit Static 0x1"));
        QVERIFY(w.isWindowModified());
        QCOMPARE(b->image(), picture);

        // b holds a name typed but not applied: undo keeps it and refreshes the rest.
        typeInto(b->lineName, QStringLiteral("crate"));
        w.editUndoAction->trigger();
        QCOMPARE(a->image(), original);
        QCOMPARE(b->image(), original);
        QCOMPARE(a->lineName->text(), w.editSession()->tile(Static, 1).name);
        QCOMPARE(b->lineName->text(), QStringLiteral("crate"));
        QVERIFY(!w.isWindowModified());
        QCOMPARE(w.editRedoAction->text(), QStringLiteral("&Redo Edit Static 0x1"));
        QVERIFY(!w.editUndoAction->isEnabled());

        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);   // redo
        QCOMPARE(a->image(), picture);
        QCOMPARE(a->lineName->text(), QStringLiteral("barrel"));

        // Save marks the history clean; undoing past it makes the session modified again.
        w.fileSave();
        QVERIFY(!w.isWindowModified());
        w.editUndo();
        QVERIFY(w.isWindowModified());
    }

    // The title's unsaved mark follows the session however an item window closes: OK,
    // Apply then Cancel, or the frame's close button; Save takes it away.
    void titleMarkFollowsTheSessionWhenItemWindowsClose()
    {
        Fixture f;
        mainwindow& w = *f.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto marked = [&w] { return w.isWindowModified() && w.windowTitle().contains(QLatin1String("[*]")); };
        int names = 0;
        const auto rename = [&](myWidget* editor) {
            typeInto(editor->lineName, QStringLiteral("name%1").arg(++names));
        };
        const auto frameOf = [](myWidget* editor) { return qobject_cast<QMdiSubWindow*>(editor->parentWidget()); };

        myWidget* byOK = f.open(Static, 1);
        rename(byOK);
        QTest::mouseClick(byOK->pushButton1, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(w.editSession()->isModified());
        QVERIFY(marked());
        w.fileSave();
        QVERIFY(!w.isWindowModified());

        myWidget* byCancel = f.open(Static, 1);
        rename(byCancel);
        QTest::mouseClick(byCancel->pushButton3, Qt::LeftButton);
        QVERIFY(marked());
        QTest::mouseClick(byCancel->pushButton2, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(marked());

        // The frame's close button, and a window maximized in the workspace.
        for (bool maximized : { false, true }) {
            myWidget* byFrame = f.open(Static, 0);
            if (maximized)
                frameOf(byFrame)->showMaximized();
            rename(byFrame);
            QTest::mouseClick(byFrame->pushButton3, Qt::LeftButton);
            frameOf(byFrame)->close();
            QCoreApplication::processEvents();
            QVERIFY2(marked(), maximized ? "maximized" : "normal");
        }

        // Opening and activating windows over unsaved edits keeps the mark as well.
        myWidget* first = f.open(Static, 1);
        myWidget* second = f.open(Gump, 1);
        w.workspace->setActiveSubWindow(frameOf(first));
        frameOf(second)->close();
        QCoreApplication::processEvents();
        QVERIFY(marked());

        w.fileSave();
        QVERIFY(!w.isWindowModified());
        frameOf(first)->close();
        QCoreApplication::processEvents();
        QVERIFY(!w.isWindowModified());
    }

    void newAndDeleteAreStepsTheListsFollow()
    {
        Fixture f;
        mainwindow& w = *f.w;
        w.tabSelect->setCurrentIndex(Gump);
        f.dialogs.textAnswers << QStringLiteral("2");
        w.selInsert();
        QCOMPARE(listTexts(w.listGump), (QStringList { "0x0", "0x1", "0x2", "0x4" }));
        QCOMPARE(w.editUndoAction->text(), QStringLiteral("&Undo New Gump 0x2"));
        w.listGump->clearSelection();
        selectItem(w.listGump, 0);
        w.selDelete();
        QCOMPARE(listTexts(w.listGump), (QStringList { "0x1", "0x2", "0x4" }));
        w.editUndo();
        w.editUndo();
        QCOMPARE(listTexts(w.listGump), (QStringList { "0x0", "0x1", "0x4" }));
        QVERIFY(w.freeIds[Gump].count(2));
    }

    void copyAndPastePicturesThroughTheClipboard()
    {
        Fixture f;
        mainwindow& w = *f.w;
        const QImage picture = filledImage(6, 4, qRgb(0, 8, 8));
        QVERIFY(w.editSession()->setImage(Gump, 1, picture));
        w.tabSelect->setCurrentIndex(Gump);
        selectItem(w.listGump, 1);
        w.editCopy();
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32), picture);

        myWidget* target = f.open(Gump, 4);
        w.workspace->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(target->parentWidget()));
        // Pasted into an item window, the picture waits for Apply, as an imported one does.
        w.editPaste();
        QCOMPARE(target->image(), picture);
        QVERIFY(target->hasUnappliedEdits());
        QVERIFY(w.editSession()->image(Gump, 4) != picture);
        target->clickApply();
        QCOMPARE(w.editSession()->image(Gump, 4), picture);
        QCOMPARE(w.editUndoAction->text(), QStringLiteral("&Undo Replace Picture of Gump 0x4"));
        QVERIFY(!target->hasUnappliedEdits());

        // The active window's picture is copied; a land tile takes it under Import's rules.
        w.editCopy();
        myWidget* land = f.open(Land, 2);
        w.workspace->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(land->parentWidget()));
        w.editPaste();
        QCOMPARE(land->image().size(), QSize(44, 44));
        QCOMPARE(qAlpha(land->image().pixel(0, 0)), 0);   // outside the diamond
        land->clickOK();
        QVERIFY(w.editSession()->changes().images[Land].contains(2));
        w.editUndo();
        QCOMPARE(w.editSession()->changes().images[Land].contains(2), false);
    }

    void closingWithUnsavedEditsAsks()
    {
        for (const auto answer : { QMessageBox::Cancel, QMessageBox::Discard, QMessageBox::Save }) {
            Fixture f;
            mainwindow& w = *f.w;
            const auto before = f.dir.snapshot();
            QVERIFY(w.editSession()->remove(Gump, { 0 }));
            f.dialogs.questionAnswers << answer;
            w.fileExit();
            QCOMPARE(f.dialogs.asked.last(), QStringLiteral("Unsaved edits"));
            QCOMPARE(w.isVisible(), answer == QMessageBox::Cancel);
            QCOMPARE(w.editSession()->isModified(), answer != QMessageBox::Save);
            QCOMPARE(listedIn(f.dir.path()).ids[Gump].contains(0), answer != QMessageBox::Save);
            if (answer != QMessageBox::Save)
                QVERIFY(f.dir.snapshot() == before);
        }
        Fixture unmodified;
        unmodified.w->close();
        QVERIFY(unmodified.dialogs.asked.isEmpty());

        // Edits typed into an item window but not applied are asked about too.
        Fixture typed;
        myWidget* editor = typed.open(Static, 1);
        typeInto(editor->lineName, QStringLiteral("typed"));
        typed.dialogs.questionAnswers << QMessageBox::Cancel;
        typed.w->fileExit();
        QCOMPARE(typed.dialogs.asked.last(), QStringLiteral("Edits not applied"));
        QVERIFY(typed.w->isVisible());
        QVERIFY(editor->hasUnappliedEdits());
    }

    // A new directory closes the item windows, which belong to the old one: first asking
    // when one holds edits not applied, then about unsaved edits; Cancel keeps everything.
    void directoryChangeClosesItemWindowsAfterAsking()
    {
        Fixture f;
        mainwindow& w = *f.w;
        SaveDir other;
        other.writeStandard();
        myWidget* editor = f.open(Static, 1);
        typeInto(editor->lineName, QStringLiteral("typed"));
        QVERIFY(editor->hasUnappliedEdits());

        f.dialogs.directoryAnswers << other.path();
        w.editSettings();   // the question about the window: cancelled
        QCOMPARE(f.dialogs.asked.last(), QStringLiteral("Edits not applied"));
        QCOMPARE(w.mulDir, f.dir.path());
        QCOMPARE(w.workspace->subWindowList().size(), 1);

        QVERIFY(w.editSession()->remove(Gump, { 0 }));
        f.dialogs.directoryAnswers << other.path();
        f.dialogs.questionAnswers << QMessageBox::Discard << QMessageBox::Cancel;
        w.editSettings();   // windows may go, the unsaved edits may not
        QCOMPARE(f.dialogs.asked.last(), QStringLiteral("Unsaved edits"));
        QCOMPARE(w.mulDir, f.dir.path());
        QCOMPARE(w.workspace->subWindowList().size(), 1);
        QVERIFY(!w.editSession()->isListed(Gump, 0));

        f.dialogs.directoryAnswers << other.path();
        f.dialogs.questionAnswers << QMessageBox::Discard << QMessageBox::Discard;
        w.editSettings();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(w.mulDir, other.path());
        QVERIFY(w.workspace->subWindowList().isEmpty());
        QVERIFY(!w.isWindowModified());
        QVERIFY(w.editSession()->isListed(Gump, 0));
    }

    void itemWindowsCascadeInsideTheWorkspace()
    {
        Fixture f;
        mainwindow& w = *f.w;
        f.open(Static, 0);   // at the window's first size the workspace is small: it still fits
        QVERIFY(QRect(QPoint(0, 0), w.workspace->viewport()->size()).contains(w.workspace->subWindowList().last()->geometry()));
        w.resize(1280, 940);
        QCoreApplication::processEvents();
        const QRect area(QPoint(0, 0), w.workspace->viewport()->size());
        QList<QPoint> corners;
        for (int id : { 1, 300, 1 }) {
            f.open(Static, id);
            QMdiSubWindow* frame = w.workspace->subWindowList().last();
            QVERIFY2(area.contains(frame->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                      .arg(frame->x()).arg(frame->y())
                                                                      .arg(frame->width()).arg(frame->height())));
            QVERIFY(!corners.contains(frame->pos()));
            corners << frame->pos();
        }
    }
};

QTEST_MAIN(TestSessionWindow)
#include "tst_session_window.moc"
