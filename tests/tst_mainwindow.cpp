// The main window: what users and other code rely on (names, texts, shortcuts), the data
// directory setting, the change-set slots and the Settings command.
#include "indexfile.h"
#include "mainwindow.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "treelists.h"
#include "uodir.h"

#include <QAction>
#include <QPixmap>
#include <QDir>
#include <QImage>
#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace qm;

namespace {

// A main window whose Save and Find only count, to see that the shortcuts reach them.
class CountingWindow : public mainwindow {
public:
    int saves = 0;
    int finds = 0;
    void fileSave() override { ++saves; }
    void editFind() override { ++finds; }
};

void makeGumpDir(const QString& path, int records, const QVector<int>& present)
{
    QVector<IndexRecord> idx = emptyIndex(records);
    for (int id : present)
        idx[id] = { 0, 4, 0x00010001 };
    writeBytes(path + "/gumpidx.mul", indexBytes(idx));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void settingWinsOverInstallRecord()
    {
        TestSettings settings;
        QCOMPARE(readUODir(), QString());   // nothing stored, no install record off Windows
        writeUODir(QStringLiteral("/no/such/folder"));
        QCOMPARE(readUODir(), QStringLiteral("/no/such/folder"));   // used unchanged

        QTemporaryDir dir;
        QSettings record(dir.filePath("record.ini"), QSettings::IniFormat);
        QCOMPARE(uoDirFromInstallRecord(record), QString());
        record.setValue("Ultima Online/1.0/StartExePath", "/games/uo/client.exe");
        QCOMPARE(uoDirFromInstallRecord(record), QStringLiteral("/games/uo"));
        record.setValue("Ultima Online Third Dawn/1.0/StartExePath", "/games/td/uotd.exe");
        QCOMPARE(uoDirFromInstallRecord(record), QStringLiteral("/games/td"));
    }

    void widgetTreeNamesAndTexts()
    {
        TestSettings settings;
        mainwindow w;
        QCOMPARE(w.objectName(), QStringLiteral("mainwindow"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Quillmark Patch[*]"));   // no directory, nothing edited
        for (const char* name : { "qt_central_widget", "splitter1", "tabSelect", "tab", "tab_2",
                                  "TabPage", "TabPage_2", "listLand", "listStatic", "listGump",
                                  "listTexture", "frmWork", "MenuBar" })
            QVERIFY2(w.findChild<QObject*>(name), name);
        QStringList tabs;
        for (int i = 0; i < w.tabSelect->count(); ++i)
            tabs << w.tabSelect->tabText(i);
        QCOMPARE(tabs, (QStringList { "Land", "Static", "Gump", "Texture", "Hues" }));
        QCOMPARE(w.listGump->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));

        QStringList menus;
        for (QAction* a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList { "&File", "&Edit", "&View", "&Window", "&Help" }));
        QStringList file;
        for (QAction* a : w.fileMenu->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(file, (QStringList { "New", "Open", "Delete", "Import", "Export", "Export Pictures...",
                                       "Import Pictures...", "-", "&Open...", "Recent Directories", "&Save", "Compare With…", "-", "E&xit" }));
        QStringList popup;
        for (QAction* a : w.itemMenu->actions())
            popup << a->text();
        QCOMPARE(popup, (QStringList { "New", "Open", "Delete", "Import", "Export", "Export Pictures...",
                                        "Import Pictures..." }));
        QCOMPARE(w.editFindAction->text(), QStringLiteral("&Find..."));
        // The built-in images must survive static linking: an unregistered collection leaves
        // the tool bar with a blank button and no splash.
        QVERIFY(!w.fileSaveAction->icon().pixmap(22, 22).isNull());
        QVERIFY(!QPixmap(QStringLiteral(":/images/qm.png")).isNull());
        QCOMPARE(w.fileSaveAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(w.workspace && w.workspace->parent() == w.frmWork);
        QVERIFY(w.width() >= 778 && w.height() >= 588);
    }

    void shortcutsReachTheirSlots()
    {
        TestSettings settings;
        CountingWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(w.saves, 1);
        QCOMPARE(w.finds, 1);
    }

    void changeSetSlotsStoreThenAnnounceOnce()
    {
        TestSettings settings;
        mainwindow w;
        QImage seen;
        int announcements = 0;
        connect(&w, &mainwindow::updateImage, this, [&](int, int, QImage&) {
            ++announcements;
            seen = w.getGump(7);   // already stored when the signal arrives
        });
        QImage red = filledImage(3, 2, 0xffff0000);
        w.rcvImage(2, 7, red);
        QCOMPARE(announcements, 1);
        QCOMPARE(seen, red);
        red.fill(0xff00ff00);                 // the stored image is a copy
        QVERIFY(w.gumpImages.value(7) != red);
        QImage null;
        w.rcvImage(2, 7, null);               // a null image empties the item
        QVERIFY(w.getGump(7).isNull());
        QVERIFY(!w.staticImages.contains(7));

        int tileAnnouncements = 0;
        connect(&w, &mainwindow::tileChange, this, [&](int, int, tile_struct&) { ++tileAnnouncements; });
        tile_struct t;
        t.name = QStringLiteral("stone");
        w.rcvTile(1, 5, t);
        QCOMPARE(tileAnnouncements, 1);
        QCOMPARE(w.getTile(1, 5).name, QStringLiteral("stone"));
        QVERIFY(!w.landTiles.contains(5));

        // Kinds out of range touch nothing and announce nothing.
        w.rcvImage(4, 1, red);
        w.rcvImage(-1, 1, red);
        w.rcvTile(2, 1, t);
        QCOMPARE(announcements, 2);
        QCOMPARE(tileAnnouncements, 1);
        int imageEntries = 0;
        for (const auto& m : w.editSession()->changes().images)
            imageEntries += m.size();
        for (const auto& m : w.editSession()->changes().emptied)
            imageEntries += m.size();
        QCOMPARE(imageEntries, 1);

        int animAnnouncements = 0;
        connect(&w, &mainwindow::changeAnim, this, [&](int, anim_st&) { ++animAnnouncements; });
        anim_st a;
        a.frameCount = 3;
        w.updateAnim(12, a);
        QCOMPARE(animAnnouncements, 1);
        QCOMPARE(w.getAnim(12), a);
    }

    void settingsCommandSwitchesDirectory()
    {
        TestSettings settings;
        QTemporaryDir first, second;
        makeGumpDir(first.path(), 3, { 0, 2 });
        makeGumpDir(second.path(), 20, { 16, 10, 9 });
        writeUODir(first.path());

        mainwindow w;
        QCOMPARE(listTexts(w.listGump), (QStringList { "0x0", "0x2" }));
        QCOMPARE(w.currentKind, 0);
        QVERIFY(w.currentList == w.listLand);

        ScriptedDialogs dialogs;
        // The same directory, with a trailing separator: nothing changes, nothing is cleared.
        QImage img(1, 1, QImage::Format_ARGB32);
        w.rcvImage(2, 0, img);
        dialogs.directoryAnswers << first.path() + "/";
        const QString opened = w.statusBar()->currentMessage();   // the forms it opened
        QVERIFY(opened.startsWith("Art: "));
        w.editSettings();
        QCOMPARE(w.statusBar()->currentMessage(), opened);
        QVERIFY(w.gumpImages.contains(0));
        // Cancelled: nothing changes.
        w.editSettings();
        QCOMPARE(w.mulDir, first.path());

        anim_st a;
        w.updateAnim(3, a);
        w.tabSelect->setCurrentIndex(2);
        QCOMPARE(w.currentKind, 2);
        dialogs.directoryAnswers << second.path() + "/";
        dialogs.questionAnswers << QMessageBox::Discard;   // the unsaved edits
        w.editSettings();
        QCOMPARE(w.mulDir, second.path());
        QCOMPARE(readUODir(), second.path());
        QCOMPARE(listTexts(w.listGump), (QStringList { "0x9", "0xa", "0x10" }));
        QCOMPARE(int(w.freeIds[2].size()), 17);
        QVERIFY(w.editSession()->changes().isEmpty());         // animation records belonged to the old files too
        QCOMPARE(w.tabSelect->currentIndex(), 0);
        QCOMPARE(w.currentKind, 0);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Ready"));
        QCOMPARE(dialogs.asked.mid(dialogs.asked.size() - 2), (QStringList { "Mul File Directory", "Unsaved edits" }));

        // Only one trailing separator is removed.
        dialogs.directoryAnswers << first.path() + "//";
        w.editSettings();
        QCOMPARE(w.mulDir, first.path() + "/");
    }

    void saveNeverDeletesAListItCouldNotRead()
    {
        // gumpidx.mul cannot be read when the directory is opened (here: a folder stands in its
        // place); by Save time a real index is back. Saving the empty list would delete it all:
        // the catalogue is read-only, said so at once, and Save leaves its files alone.
        TestSettings settings;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("gumpidx.mul"));
        writeUODir(dir.path());
        ScriptedDialogs dialogs;
        mainwindow w;
        QCOMPARE(listCount(w.listGump), 0);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].startsWith("Catalogue read-only: ") && dialogs.messages[0].contains("gumpidx.mul"));

        QVERIFY(QDir(dir.path()).rmdir("gumpidx.mul"));
        makeGumpDir(dir.path(), 3, { 0, 2 });
        QVERIFY(writeBytes(dir.filePath("gumpart.mul"), QByteArray(4, '\x07')));
        const QByteArray index = readBytes(dir.filePath("gumpidx.mul"));

        w.fileSave();
        QCOMPARE(readBytes(dir.filePath("gumpidx.mul")), index);
        QCOMPARE(readBytes(dir.filePath("gumpart.mul")), QByteArray(4, '\x07'));
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Ready"));

        // Read fine, but another program (qmtool, say) added an entry since: the lists are
        // stale and saving them would delete that entry.
        mainwindow again;
        QCOMPARE(listCount(again.listGump), 2);
        makeGumpDir(dir.path(), 4, { 0, 2, 3 });
        const QByteArray grown = readBytes(dir.filePath("gumpidx.mul"));
        again.fileSave();
        QCOMPARE(readBytes(dir.filePath("gumpidx.mul")), grown);
        QCOMPARE(again.statusBar()->currentMessage(), QStringLiteral("Save failed"));
        QVERIFY(dialogs.messages.last().contains("changed by another program"));
    }

    void aboutBox()
    {
        TestSettings settings;
        mainwindow w;
        ScriptedDialogs dialogs;
        w.helpAboutAction->trigger();
        QCOMPARE(dialogs.messages, (QStringList { "Quillmark Patch About: Quillmark Patch Version 0.96" }));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
