// Reading the index files into the catalogues, and the list rows that show them.
#include "indexfile.h"
#include "cataloguegridmodel.h"
#include "cataloguelistmodel.h"
#include "testdata.h"
#include "thumbnailcache.h"
#include "treelists.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace qm;

class TestCatalogues : public QObject {
    Q_OBJECT

private slots:
    void artIndexSplitsLandAndStatic()
    {
        QTemporaryDir dir;
        QVector<IndexRecord> art = emptyIndex(kArtRecordCount);
        art[0] = { 0, 2024, 0 };
        art[26] = { 0, 0, 0 };                    // offset 0, length 0: present
        art[kLandCount + 1] = { 4048, 20, 7 };    // static id 1
        QVERIFY(writeBytes(dir.filePath("artidx.mul"), indexBytes(art)));

        const Catalogues c = readCatalogues(dir.path());
        QCOMPARE(c.listed[Land], (QVector<int> { 0, 26 }));
        QCOMPARE(c.listed[Static], (QVector<int> { 1 }));
        QCOMPARE(int(c.free[Land].size()), kLandCount - 2);
        QCOMPARE(int(c.free[Static].size()), kStaticCount - 1);
        QVERIFY(c.free[Static].count(0));     // record 16,384 empty: static 0 free
        QVERIFY(!c.free[Land].count(0));      // land 0 unaffected
        QVERIFY(c.listed[Gump].isEmpty() && c.free[Gump].empty());   // no gumpidx.mul
    }

    void shortArtIndexCountsMissingRecordsAsEmpty()
    {
        QTemporaryDir dir;
        QVector<IndexRecord> art = emptyIndex(81884);   // what real clients ship
        art[kLandCount + 65000] = { 0, 10, 0 };
        QVERIFY(writeBytes(dir.filePath("artidx.mul"), indexBytes(art)));
        const Catalogues c = readCatalogues(dir.path());
        QCOMPARE(c.listed[Static], (QVector<int> { 65000 }));
        QCOMPARE(int(c.free[Static].size()), kStaticCount - 1);
        QVERIFY(c.free[Static].count(65535));
    }

    void gumpAndTextureIndexesCountWholeRecords()
    {
        QTemporaryDir dir;
        QVector<IndexRecord> gumps = emptyIndex(5);
        gumps[3] = { 0, 8, 0x00020002 };
        QByteArray bytes = indexBytes(gumps);
        bytes.append("\x01\x02\x03", 3);   // a trailing partial record is no entry
        QVERIFY(writeBytes(dir.filePath("gumpidx.mul"), bytes));
        QVERIFY(writeBytes(dir.filePath("texidx.mul"), QByteArray()));

        const Catalogues c = readCatalogues(dir.path());
        QCOMPARE(c.listed[Gump], (QVector<int> { 3 }));
        QCOMPARE(c.free[Gump], (std::set<quint32> { 0, 1, 2, 4 }));
        QVERIFY(c.listed[Texture].isEmpty() && c.free[Texture].empty());
        QVERIFY(c.listed[Land].isEmpty() && c.free[Land].empty());   // no artidx.mul
    }

    // The lists are views over the rows the grid model holds: ids in hexadecimal, sorted by
    // number in either order, or by name with ties in id order; rows coming and going while
    // sorted land where the order puts them, and a selection follows its items through a sort.
    void listRowsShowHexAndSortByNumberOrName()
    {
        ThumbnailCache cache([](int, int) { return QImage(); });
        CatalogueGridModel rows(Static, &cache);
        CatalogueListModel list(&rows);
        rows.setIds({ 16, 2, 10, 9 });
        QVector<tile_struct> tiles(17);
        tiles[2].name = QStringLiteral("crate");
        tiles[9].name = QStringLiteral("Anvil");
        tiles[16].name = QStringLiteral("crate");
        rows.setTileRecords(tiles);
        QTreeView view;
        view.setModel(&list);
        view.setSortingEnabled(true);
        view.sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(listTexts(&view), (QStringList { "0x2", "0x9", "0xa", "0x10" }));
        QCOMPARE(list.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Name"));

        view.selectionModel()->select(list.index(list.rowOf(9), 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view.sortByColumn(0, Qt::DescendingOrder);
        QCOMPARE(listTexts(&view), (QStringList { "0x10", "0xa", "0x9", "0x2" }));
        QCOMPARE(selectedTexts(&view), QStringList { "0x9" });
        rows.insertId(3);
        rows.removeId(16);
        QCOMPARE(listTexts(&view), (QStringList { "0xa", "0x9", "0x3", "0x2" }));
        QCOMPARE(selectedTexts(&view), QStringList { "0x9" });

        view.sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(listTexts(&view, 1), (QStringList { "", "", "Anvil", "crate" }));
        QCOMPARE(listTexts(&view), (QStringList { "0x3", "0xa", "0x9", "0x2" }));
        QCOMPARE(selectedTexts(&view), QStringList { "0x9" });
        QCOMPARE(list.idAt(2), 9);

        CatalogueGridModel gumps(Gump, &cache);
        CatalogueListModel gumpList(&gumps);
        QCOMPARE(gumpList.columnCount(), 1);
    }
};

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
