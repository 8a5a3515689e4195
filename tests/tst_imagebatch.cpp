// Moving many pictures at once: the file names, export into a folder (existing files, empty
// items, progress and cancel), planning an import from one (the import rules, refusals,
// two names for one item), and qmtool's commands over both.
#include "artcodec.h"
#include "savedirs.h"
#include "toolcontext.h"
#include "demodata.h"
#include "imagebatchexport.h"
#include "imagebatchimport.h"
#include "imagebatchnames.h"
#include "imageimport.h"
#include "indexfile.h"
#include "itemkind.h"
#include "itemsource.h"
#include "testdata.h"

#include <QDir>
#include <QRandomGenerator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace qm;

namespace {

// Pictures that tell their id by colour; id 0 and multiples of 5 are empty items.
QImage pictureOf(int id)
{
    if (id % 5 == 0)
        return QImage();
    return filledImage(3 + id % 7, 4, qRgb(id & 0xff, (id >> 8) & 0xff, 40));
}

QImage pictureSource(int, int id) { return pictureOf(id); }

} // namespace

class TestImageBatch : public QObject {
    Q_OBJECT

private slots:
    void fileNamesReadBack()
    {
        QCOMPARE(batchImageFileName(Static, 0x1a2b), QStringLiteral("static-0x1a2b.png"));
        QCOMPARE(batchImageFileName(Land, 0), QStringLiteral("land-0x0.png"));
        for (int kind = 0; kind < kItemKindCount; ++kind) {
            int k = -1, id = -1;
            QCOMPARE(parseBatchImageFileName(batchImageFileName(ItemKind(kind), 0x3fff), &k, &id), BatchName::Item);
            QCOMPARE(k, kind);
            QCOMPARE(id, 0x3fff);
        }
        // Renamed by hand: case and leading zeros do not matter.
        int k = -1, id = -1;
        QCOMPARE(parseBatchImageFileName("GUMP-0x00FF.PNG", &k, &id), BatchName::Item);
        QCOMPARE(k, int(Gump));
        QCOMPARE(id, 0xff);
        QCOMPARE(parseBatchImageFileName("land-0x4000.png", &k, &id), BatchName::OutOfRange);
        QCOMPARE(parseBatchImageFileName("static-0x10000.png", &k, &id), BatchName::OutOfRange);
        for (const char* other : { "static-0x1a.png.bak", "static-1a.png", "statics-0x1a.png", "static-0x.png",
                                   "static-0x1g.png", "static-0x1a.bmp", "notes.txt", " static-0x1.png" })
            QCOMPARE(parseBatchImageFileName(other, &k, &id), BatchName::Other);
    }

    void exportWritesOnePngPerItemAndSkipsEmptyOnes()
    {
        QTemporaryDir temp;
        const QString folder = temp.filePath("out/deeper");   // created on the way
        const QVector<int> ids { 1, 2, 5, 0x1a2b, 10 };
        QVector<int> reported;
        const ImageExportResult result = exportImages(
            Static, ids, folder, pictureSource, {}, [&](int done, int total) {
                reported << done;
                return total == ids.size();
            });
        QVERIFY(result.ok());
        QCOMPARE(result.written, 3);
        QCOMPARE(result.emptyIds, QVector<int>({ 5, 10 }));
        QCOMPARE(reported.last(), int(ids.size()));
        QVERIFY(std::is_sorted(reported.begin(), reported.end()));
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 QStringList({ "static-0x1.png", "static-0x1a2b.png", "static-0x2.png" }));
        QCOMPARE(QImage(QDir(folder).filePath("static-0x1a2b.png")).convertToFormat(QImage::Format_ARGB32),
                 pictureOf(0x1a2b));
    }

    void exportReplacesOnlyItsOwnFiles()
    {
        QTemporaryDir temp;
        const QString folder = temp.path();
        QVERIFY(writeBytes(temp.filePath("static-0x1.png"), "old"));
        QVERIFY(writeBytes(temp.filePath("notes.txt"), "mine"));
        QVERIFY(QDir(folder).mkdir("static-0x2.png"));                                  // a folder in the way
        QVERIFY(QFile::link(temp.filePath("notes.txt"), temp.filePath("static-0x3.png")));   // a link in the way

        ImageExportOptions keep;
        keep.replaceExisting = false;
        ImageExportResult result = exportImages(Static, { 1, 4 }, folder, pictureSource, keep);
        QCOMPARE(result.kept, 1);
        QCOMPARE(result.written, 1);
        QCOMPARE(readBytes(temp.filePath("static-0x1.png")), QByteArray("old"));

        QVERIFY(QFile::setPermissions(temp.filePath("static-0x1.png"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        result = exportImages(Static, { 1, 2, 3 }, folder, pictureSource);
        QCOMPARE(result.written, 1);
        QCOMPARE(QImage(temp.filePath("static-0x1.png")).convertToFormat(QImage::Format_ARGB32), pictureOf(1));
        // A replaced file keeps its permissions; a new one gets what any new file gets here.
        QCOMPARE(QFileInfo(temp.filePath("static-0x1.png")).permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
        QVERIFY(writeBytes(temp.filePath("fresh"), "x"));
        QCOMPARE(QFileInfo(temp.filePath("static-0x4.png")).permissions(), QFileInfo(temp.filePath("fresh")).permissions());
        QCOMPARE(result.failures.size(), 2);
        QCOMPARE(result.failures[0].id, 2);
        QCOMPARE(result.failures[1].id, 3);
        QVERIFY(!result.ok());
        // Nothing written through the link, nothing else touched, nothing left half-way.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 5);
        QCOMPARE(readBytes(temp.filePath("notes.txt")), QByteArray("mine"));
        QVERIFY(QFileInfo(temp.filePath("static-0x2.png")).isDir());
    }

    void exportCancelsAndReportsAnUnusableFolder()
    {
        QTemporaryDir temp;
        QVector<int> ids;
        for (int id = 1; id < 400; ++id)
            ids << id;
        ImageExportOptions options;
        options.threads = 2;
        const ImageExportResult cancelled = exportImages(Static, ids, temp.path(), pictureSource, options,
                                                         [](int done, int) { return done < 10; });
        QVERIFY(cancelled.cancelled);
        const int finished = cancelled.written + int(cancelled.emptyIds.size());
        QVERIFY2(finished >= 10 && finished < 320, qPrintable(QString::number(finished)));
        // What was written is counted and whole; no temporary file is left.
        const QStringList files = QDir(temp.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), cancelled.written);
        for (const QString& name : files)
            QVERIFY(!QImage(temp.filePath(name)).isNull());

        QVERIFY(writeBytes(temp.filePath("afile"), "x"));
        const ImageExportResult blocked = exportImages(Static, ids, temp.filePath("afile/sub"), pictureSource);
        QVERIFY(!blocked.error.isEmpty());
    }

    void importPlanAppliesTheImportRules()
    {
        QTemporaryDir temp;
        // A land picture of another size comes back 44 x 44 and masked; a static as it was.
        QVERIFY(filledImage(60, 50, qRgb(9, 9, 9), QImage::Format_RGB32).save(temp.filePath("land-0x10.png")));
        QVERIFY(pictureOf(7).save(temp.filePath("static-0x7.png")));
        QVERIFY(writeBytes(temp.filePath("land-0x11.png"), "not a picture"));
        QVERIFY(writeBytes(temp.filePath("readme.txt"), "ignored"));
        // A tiny file that claims 30,000 x 30,000 pixels is refused before decoding.
        QVERIFY(writeBytes(temp.filePath("land-0x12.png"), "P6\n30000 30000\n255\n" + QByteArray(300, '\x7f')));
        // Two names for one item: neither is taken.
        QVERIFY(pictureOf(8).save(temp.filePath("land-0x20.png")));
        QVERIFY(pictureOf(9).save(temp.filePath("land-0x020.png")));
        QVERIFY(writeBytes(temp.filePath("land-0x4000.png"), "beyond the land range"));

        const ImageImportPlan land = planImageImport(Land, temp.path(), 2);
        QVERIFY(land.ok());
        QCOMPARE(land.accepted.size(), 1);
        QCOMPARE(land.accepted[0].id, 0x10);
        QImage expected = filledImage(60, 50, qRgb(9, 9, 9));
        QCOMPARE(land.accepted[0].image, prepareImportedImage(Land, expected));
        QCOMPARE(land.ignored, 2);   // the static and the text file
        QStringList refused;
        for (const BatchItemFailure& f : land.refused)
            refused << f.fileName;
        QCOMPARE(refused, QStringList({ "land-0x020.png", "land-0x11.png", "land-0x12.png", "land-0x20.png",
                                        "land-0x4000.png" }));
        QVERIFY2(land.refused[2].reason.contains("too large"), qPrintable(land.refused[2].reason));

        const ImageImportPlan statics = planImageImport(Static, temp.path());
        QCOMPARE(statics.accepted.size(), 1);
        QCOMPARE(statics.accepted[0].image, pictureOf(7));
        QVERIFY(statics.refused.isEmpty());
    }

    void importPlanRefusesWhatSaveCouldNotWrite()
    {
        QTemporaryDir temp;
        QVERIFY(filledImage(kMaxArtSide + 1, 1, qRgb(1, 2, 3)).save(temp.filePath("gump-0x3.png")));
        const ImageImportPlan plan = planImageImport(Gump, temp.path());
        QVERIFY(plan.accepted.isEmpty());
        QCOMPARE(plan.refused.size(), 1);
        QCOMPARE(plan.refused[0].id, 3);
        QVERIFY2(plan.refused[0].reason.contains("Gump 0x3"), qPrintable(plan.refused[0].reason));
        QVERIFY(!planImageImport(Gump, temp.filePath("missing")).error.isEmpty());
    }

    void qmtoolExportsAndImportsAFolder()
    {
        QTemporaryDir data;
        QString error;
        QVERIFY2(writeDemoDirectory(data.path(), false, true, &error), qPrintable(error));
        const QVector<int> gumps = readCatalogues(data.path()).listed[Gump];
        QVERIFY(gumps.size() >= 3);
        QTemporaryDir out;

        ToolRun run = runToolIn(data.path(), { "export-images", "gump", out.path(), "--ids",
                                      QStringLiteral("%1-%2").arg(hexId(gumps[0]), hexId(gumps[1])) });
        QVERIFY2(run.exitCode == ExitOk, qPrintable(run.err));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 2);
        const QString first = out.filePath(batchImageFileName(Gump, gumps[0]));
        QCOMPARE(QImage(first).convertToFormat(QImage::Format_ARGB32), readImageFromFiles(data.path(), Gump, gumps[0]));
        QCOMPARE(runToolIn(data.path(), { "export-images", "gump", out.path(), "--ids", "abc" }).exitCode,
                 int(ExitUsage));

        // A changed picture goes back in under the other id; a refusal changes nothing.
        const QImage replacement = filledImage(12, 9, qRgb(248, 0, 0));
        QVERIFY(replacement.save(out.filePath(batchImageFileName(Gump, gumps[2]))));
        QVERIFY(QFile::remove(first));
        run = runToolIn(data.path(), { "import-images", "gump", out.path() });
        QVERIFY2(run.exitCode == ExitOk, qPrintable(run.err));
        QCOMPARE(readImageFromFiles(data.path(), Gump, gumps[2]), decodeGump(encodeGump(replacement), 12, 9));

        QVERIFY(writeBytes(out.filePath(batchImageFileName(Gump, gumps[0])), "broken"));
        const QByteArray before = readBytes(data.filePath("gumpart.mul"));
        run = runToolIn(data.path(), { "import-images", "gump", out.path() });
        QCOMPARE(run.exitCode, int(ExitData));
        QVERIFY2(run.err.contains("no file was changed"), qPrintable(run.err));
        QCOMPARE(readBytes(data.filePath("gumpart.mul")), before);
    }
};

QTEST_MAIN(TestImageBatch)
#include "tst_imagebatch.moc"
