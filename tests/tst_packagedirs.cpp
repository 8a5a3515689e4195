// Directories whose art and gumps are package files: catalogues, save, convert, recovery after
// a kill, hostile packages, and the main window on such a directory.
#include "convertcatalogue.h"
#include "editsession.h"
#include "mainwindow.h"
#include "editorprobe.h"
#include "mywidget.h"
#include "packagewriter.h"
#include "recordsource.h"
#include "savedirs.h"
#include "savetransaction.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "treelists.h"
#include "uodir.h"
#include "demodata.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every listed item's decoded picture, by kind and id.
QMap<QPair<int, int>, QImage> pictures(const QString& dir)
{
    QMap<QPair<int, int>, QImage> out;
    const Catalogues c = readCatalogues(dir);
    for (int kind : { int(Land), int(Static), int(Gump) }) {
        const RecordSource source(dir, kind);
        for (int id : c.listed[kind])
            out.insert({ kind, id }, source.decode(id));
    }
    return out;
}

// A package of `entries` (hash -> data) written by hand, all stored.
void writeRawPackage(const QString& path, const QVector<QPair<quint64, QByteArray>>& entries)
{
    QVector<PackageWriteItem> items;
    for (const auto& e : entries)
        items << PackageWriteItem { e.first, -1, -1 };
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QString error;
    const auto data = [&](const PackageWriteItem& item, QByteArray* bytes, QString*) {
        for (const auto& e : entries)
            if (e.first == item.hash)
                *bytes = e.second;
        return true;
    };
    QVERIFY2(writePackage(out, QFileInfo(path).fileName(), PackageHeader(), items, {}, data, &error), qPrintable(error));
}

} // namespace

class TestPackageDirs : public QObject {
    Q_OBJECT

private slots:
    // Pair -> package -> pair keeps every record; the package wins over a pair beside it.
    void convertBothWaysKeepsEveryRecord()
    {
        QTemporaryDir dir;
        writeSmallDemo(dir.path(), false);
        const auto before = pictures(dir.path());
        const QByteArray artBefore = fileBytes(dir.filePath("art.mul"));
        const QByteArray gumpsBefore = fileBytes(dir.filePath("gumpart.mul"));
        QString note, error;
        QVERIFY2(convertCatalogue(dir.path(), PackageKind::Art, CatalogueForm::Package, &note, &error), qPrintable(error));
        QVERIFY2(convertCatalogue(dir.path(), PackageKind::Gump, CatalogueForm::Package, &note, &error), qPrintable(error));
        for (const char* gone : { "art.mul", "artidx.mul", "gumpart.mul", "gumpidx.mul" })
            QVERIFY2(!QFile::exists(dir.filePath(gone)), gone);
        QCOMPARE(catalogueForm(dir.path(), Static), CatalogueForm::Package);
        QCOMPARE(pictures(dir.path()), before);

        // Already a package: nothing changes, and it says so.
        const QByteArray package = fileBytes(dir.filePath("artLegacyMUL.uop"));
        QVERIFY(convertCatalogue(dir.path(), PackageKind::Art, CatalogueForm::Package, &note, &error));
        QVERIFY(note.contains("already"));
        QCOMPARE(fileBytes(dir.filePath("artLegacyMUL.uop")), package);

        QVERIFY2(convertCatalogue(dir.path(), PackageKind::Art, CatalogueForm::Pair, &note, &error), qPrintable(error));
        QVERIFY2(convertCatalogue(dir.path(), PackageKind::Gump, CatalogueForm::Pair, &note, &error), qPrintable(error));
        QVERIFY(!QFile::exists(dir.filePath("artLegacyMUL.uop")));
        QCOMPARE(pictures(dir.path()), before);
        QCOMPARE(fileBytes(dir.filePath("art.mul")), artBefore);
        QCOMPARE(fileBytes(dir.filePath("gumpart.mul")), gumpsBefore);
    }

    void convertRefusesWhatWouldBeLost()
    {
        QTemporaryDir dir;
        writeSmallDemo(dir.path(), true);
        // An entry whose hash names no id has no place in the .mul files.
        QVector<QPair<quint64, QByteArray>> entries { { packageEntryHash(PackageKind::Gump, 1), gumpEntryData(1, 1, QByteArray(8, 0)) },
                                                      { 0x1234, QByteArray("unnamed") } };
        writeRawPackage(dir.filePath("gumpartLegacyMUL.uop"), entries);
        const auto before = fileSnapshot(dir.path());
        QString note, error;
        QVERIFY(!convertCatalogue(dir.path(), PackageKind::Gump, CatalogueForm::Pair, &note, &error));
        QVERIFY2(error.contains("entry 0x0000000000001234"), qPrintable(error));
        QCOMPARE(fileSnapshot(dir.path()), before);

        // A gump id past 65,535 has no name in a package.
        QTemporaryDir pair;
        writeSmallDemo(pair.path(), false);
        {
            // A gumpidx.mul that goes on past 65,535, its last record a copy of the first used one.
            QFile index(pair.filePath("gumpidx.mul"));
            QVERIFY(index.open(QIODevice::ReadWrite));
            const QByteArray records = index.readAll();
            const int first = readCatalogues(pair.path()).listed[Gump].first();
            QByteArray grown = records;
            grown.append(QByteArray(70000 * kIndexRecordSize - records.size(), char(0xff)));
            grown.append(records.mid(first * kIndexRecordSize, kIndexRecordSize));
            QVERIFY(index.seek(0));
            QCOMPARE(index.write(grown), grown.size());
        }
        const auto pairBefore = fileSnapshot(pair.path());
        QVERIFY(!convertCatalogue(pair.path(), PackageKind::Gump, CatalogueForm::Package, &note, &error));
        QVERIFY2(error.contains("Gump 0x11170"), qPrintable(error));
        QCOMPARE(fileSnapshot(pair.path()), pairBefore);

        // Nor does an art record after the last static id.
        SaveDir standard;
        standard.writeStandard();
        const auto standardBefore = standard.snapshot();
        QVERIFY(!convertCatalogue(standard.path(), PackageKind::Art, CatalogueForm::Package, &note, &error));
        QVERIFY2(error.contains("past the last static id"), qPrintable(error));
        QCOMPARE(standard.snapshot(), standardBefore);
    }

    // Edit, delete and save a package directory; the .mul pair beside it stays untouched and a
    // save without a change rewrites nothing.
    void sessionSavesPackagesInPlace()
    {
        QTemporaryDir dir;
        writeSmallDemo(dir.path(), true);
        QFile::copy(QFINDTESTDATA("tst_packagedirs.cpp"), dir.filePath("gumpidx.mul"));
        const QByteArray strayIndex = fileBytes(dir.filePath("gumpidx.mul"));
        EditSession s;
        s.open(dir.path());
        QCOMPARE(s.form(Gump), CatalogueForm::Package);
        QVERIFY(s.formsSummary().startsWith("Art: package"));
        const QByteArray packageBefore = fileBytes(dir.filePath("artLegacyMUL.uop"));
        QString error;
        QVERIFY2(s.save(&error), qPrintable(error));
        QCOMPARE(fileBytes(dir.filePath("artLegacyMUL.uop")), packageBefore);

        const int gump = s.listed(Gump).first();
        const int keptGump = s.listed(Gump).last();
        const QImage keptPicture = s.image(Gump, keptGump);
        const QImage picture = filledImage(9, 5, 0xff405060);
        QVERIFY(s.setImage(Static, 2, picture, &error));
        QVERIFY(s.remove(Gump, { gump }, &error));
        QVERIFY(s.insert(Static, 60000, &error));   // listed but empty: no entry
        QVERIFY2(s.save(&error), qPrintable(error));
        QCOMPARE(fileBytes(dir.filePath("gumpidx.mul")), strayIndex);

        s.open(dir.path());
        QCOMPARE(s.image(Static, 2), picture);
        QVERIFY(!s.isListed(Gump, gump));
        QVERIFY(!s.isListed(Static, 60000));
        QCOMPARE(s.image(Gump, keptGump), keptPicture);
        QVERIFY(!s.isReadOnly(Static));

        // Another program rewrote the package after it was read: Save refuses, naming it.
        EditSession other;
        other.open(dir.path());
        QVERIFY(other.remove(Static, { 3 }) && other.save(&error));
        QVERIFY(s.setImage(Static, 4, picture, &error));
        const auto stale = fileSnapshot(dir.path());
        QVERIFY(!s.save(&error));
        QVERIFY2(error.contains("artLegacyMUL.uop was changed by another program"), qPrintable(error));
        QCOMPARE(fileSnapshot(dir.path()), stale);
    }

    // A package from elsewhere: damage to the whole or to one entry opens read-only, naming
    // the file (and the entry), and Save leaves it alone.
    void hostilePackagesOpenReadOnly()
    {
        QTemporaryDir dir;
        writeSmallDemo(dir.path(), true);
        QFile art(dir.filePath("artLegacyMUL.uop"));
        QVERIFY(art.open(QIODevice::ReadWrite));
        art.write("XXXX");
        art.close();
        // Gump 0x1 claims compression 7.
        const QVector<QPair<quint64, QByteArray>> entries { { packageEntryHash(PackageKind::Gump, 0), gumpEntryData(1, 1, QByteArray(8, 0)) },
                                                            { packageEntryHash(PackageKind::Gump, 1), gumpEntryData(1, 1, QByteArray(8, 0)) } };
        writeRawPackage(dir.filePath("gumpartLegacyMUL.uop"), entries);
        QFile gumps(dir.filePath("gumpartLegacyMUL.uop"));
        QVERIFY(gumps.open(QIODevice::ReadWrite));
        PackageDirectory listing;
        QString error;
        QVERIFY(readPackageDirectory(gumps, "g", &listing, &error));
        const qint64 header = 0x200 + 12 + kPackageEntryHeaderSize * listing.indexByHash.value(packageEntryHash(PackageKind::Gump, 1));
        QVERIFY(gumps.seek(header + 32));
        gumps.write(QByteArray("\x07\x00", 2));
        gumps.close();

        const auto before = fileSnapshot(dir.path());
        EditSession s;
        EditSession::OpenReport report;
        s.open(dir.path(), &report);
        QVERIFY(s.isReadOnly(Static) && s.isReadOnly(Gump) && !s.isReadOnly(Texture));
        QVERIFY2(s.readOnlyReason(Land).contains("artLegacyMUL.uop"), qPrintable(s.readOnlyReason(Land)));
        QVERIFY2(s.readOnlyReason(Gump).contains("gumpartLegacyMUL.uop: Gump 0x1"), qPrintable(s.readOnlyReason(Gump)));
        // What the package lists is shown; the damaged entry opens as an empty picture.
        QCOMPARE(s.listed(Gump), (QVector<int> { 0, 1 }));
        QVERIFY(!s.image(Gump, 0).isNull() && s.image(Gump, 1).isNull());
        QVERIFY(!s.setImage(Gump, 0, filledImage(2, 2, 0xff000000), &error));
        QVERIFY(s.setImage(Texture, 0, filledImage(64, 64, 0xff808080), &error));
        QVERIFY2(s.save(&error), qPrintable(error));
        auto after = fileSnapshot(dir.path());
        QCOMPARE(after.value("artLegacyMUL.uop"), before.value("artLegacyMUL.uop"));
        QCOMPARE(after.value("gumpartLegacyMUL.uop"), before.value("gumpartLegacyMUL.uop"));
    }

    // A save killed at any point of writing a package is finished or undone by recovery.
    void crashedPackageSaveRecovers()
    {
        QTemporaryDir reference;
        writeSmallDemo(reference.path(), true);
        QCOMPARE(runToolIn(reference.path(), { "delete", "static", "1" }).exitCode, 0);
        const auto expectedNew = fileSnapshot(reference.path());
        int crashes = 0;
        for (int at = 1;; ++at) {
            QTemporaryDir dir;
            writeSmallDemo(dir.path(), true);
            const auto before = fileSnapshot(dir.path());
            const ToolRun run = runTool({ "--dir", dir.path(), "delete", "static", "1" },
                                        { QStringLiteral("QMTOOL_SAVE_CRASH_AT=%1").arg(at) });
            if (run.exitCode == 0) {
                QCOMPARE(fileSnapshot(dir.path()), expectedNew);
                break;
            }
            QCOMPARE(run.exitCode, 86);
            ++crashes;
            QString error;
            QVERIFY2(recoverInterruptedSave(dir.path(), nullptr, &error), qPrintable(error));
            const auto after = fileSnapshot(dir.path());
            QVERIFY2(after == before || after == expectedNew, qPrintable(QString::number(at)));
        }
        QVERIFY(crashes > 3);
    }

    // The editor on a package directory: the status bar names the forms, items open, an edit
    // saves and is there after reopening.
    void mainWindowEditsAPackageDirectory()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        writeSmallDemo(dir.path(), true);
        writeUODir(dir.path());
        auto w = std::make_unique<mainwindow>();
        w->resize(1500, 800);
        w->show();
        QVERIFY2(w->statusBar()->currentMessage().startsWith("Art: package"), qPrintable(w->statusBar()->currentMessage()));
        const auto open = [&](int kind, int id) {
            w->tabSelect->setCurrentIndex(kind);
            w->listDouble(listItem(w->currentList, id));
            return qobject_cast<myWidget*>(w->workspace->subWindowList().last()->widget());
        };
        myWidget* gump = open(Gump, w->editSession()->listed(Gump).first());
        QVERIFY(gump && !gump->image().isNull());
        myWidget* tile = open(Static, 3);
        QVERIFY(tile && !tile->image().isNull());
        const QString shot = qEnvironmentVariable("QM_PACKAGE_SCREENSHOT");
        if (!shot.isEmpty()) {
            w->workspace->tileSubWindows();
            QTest::qWait(50);
            w->grab().save(shot);
        }
        const QImage picture = filledImage(12, 8, 0xff306090);
        QVERIFY(tile->importPictureFile(pictureFile(picture)));
        tile->clickApply();
        w->fileSave();
        QVERIFY(!w->isWindowModified());
        w.reset();
        EditSession s;
        s.open(dir.path());
        QCOMPARE(s.image(Static, 3), picture);
        QCOMPARE(s.form(Static), CatalogueForm::Package);
    }
};

QTEST_MAIN(TestPackageDirs)
#include "tst_packagedirs.moc"
