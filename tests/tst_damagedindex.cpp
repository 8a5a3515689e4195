// A damaged index (empty beside a data file that holds data, or cut inside a record) is named
// when the catalogues are read, and no save ever rewrites its data file from it.
#include "indexfile.h"
#include "rewrite.h"
#include "savedirs.h"
#include "savewrappers.h"
#include "testdata.h"

#include <QTest>

using namespace qm;

namespace {

void cutTo(const QString& path, qint64 size)
{
    QFile f(path);
    QVERIFY(f.resize(size));
}

} // namespace

class TestDamagedIndex : public QObject {
    Q_OBJECT

private slots:
    void catalogueNamesItsDamage()
    {
        SaveDir dir;
        dir.writeStandard();
        QVERIFY(!readCatalogues(dir.path()).isDamaged(Gump));

        cutTo(dir.file("gumpidx.mul"), 0);
        cutTo(dir.file("artidx.mul"), kLandCount * 12 + 7);
        const Catalogues c = readCatalogues(dir.path());
        QVERIFY2(c.damage[Gump].contains("gumpidx.mul is damaged") && c.damage[Gump].contains("gumpart.mul"),
                 qPrintable(c.damage[Gump]));
        QVERIFY2(c.damage[Static].contains("artidx.mul is damaged") && c.damage[Static].contains("196615 bytes"),
                 qPrintable(c.damage[Static]));
        QCOMPARE(c.damage[Land], c.damage[Static]);
        QVERIFY(!c.isDamaged(Texture));
        QCOMPARE(c.listed[Land], (QVector<int> { 0, 2, 5 }));   // read as far as it goes

        // An empty pair is a new, empty catalogue, not a damaged one.
        cutTo(dir.file("gumpart.mul"), 0);
        QVERIFY(!readCatalogues(dir.path()).isDamaged(Gump));
    }

    // Saving anything else leaves the damaged pair alone, byte for byte.
    void saveLeavesTheDamagedPairAlone_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("empty gump index, plain save") << "gumpidx.mul" << qint64(0) << QStringList { "save" } << "art.mul";
        QTest::newRow("cut gump index, plain save") << "gumpidx.mul" << qint64(5 * 12 + 4) << QStringList { "save" } << "art.mul";
        QTest::newRow("cut art index, tile edit") << "artidx.mul" << qint64(300 * 12 + 1)
                                                  << QStringList { "set-tile", "static", "1", "hue=3" } << "tiledata.mul";
    }

    void saveLeavesTheDamagedPairAlone()
    {
        QFETCH(QString, index);
        QFETCH(qint64, size);
        QFETCH(QStringList, command);
        QFETCH(QString, rewritten);
        SaveDir dir;
        dir.writeStandard();
        cutTo(dir.file(index), size);
        const QString data = index == "artidx.mul" ? "art.mul" : "gumpart.mul";
        const auto before = dir.snapshot();

        const ToolRun run = runToolIn(dir.path(), command);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(index + " is damaged"), qPrintable(run.err));
        const auto after = dir.snapshot();
        QCOMPARE(after.value(index), before.value(index));
        QCOMPARE(after.value(data), before.value(data));
        QVERIFY(after.value(rewritten) != before.value(rewritten));   // the rest still saves
    }

    // An edit to a damaged catalogue fails the save instead of being dropped.
    void editToTheDamagedCatalogueIsRefused()
    {
        SaveDir dir;
        dir.writeStandard();
        cutTo(dir.file("gumpidx.mul"), 5 * 12 + 4);
        const auto before = dir.snapshot();
        const ToolRun run = runToolIn(dir.path(), { "delete", "gump", "1" });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("gumpidx.mul is damaged") && run.err.contains("no file was changed"), qPrintable(run.err));
        QCOMPARE(dir.snapshot(), before);

        ChangeSet changes;
        changes.images[Gump].insert(1, filledImage(4, 4, qRgb(8, 16, 24)));
        QString error;
        QVERIFY(!saveImageFiles(dir.path(), Gump, { 0, 1, 4 }, changes, &error));
        QVERIFY2(error.contains("gumpidx.mul is damaged"), qPrintable(error));
        QCOMPARE(changes.images[Gump].size(), 1);
        QCOMPARE(dir.snapshot(), before);
    }
};

QTEST_GUILESS_MAIN(TestDamagedIndex)
#include "tst_damagedindex.moc"
