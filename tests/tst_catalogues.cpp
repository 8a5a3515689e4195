// Reading the index files into the catalogues, the list rows that show them, and the ids
// and numbers users type.
#include "indexfile.h"
#include "cataloguegridmodel.h"
#include "cataloguelistmodel.h"
#include "testdata.h"
#include "thumbnailcache.h"
#include "treelists.h"
#include "typednumber.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <limits>

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

    // The free ids' bitmap: counts, word edges and ascending walks, as the free list and
    // "the smallest free id" rely on.
    void freeIdsBehaveAsAnOrderedSet()
    {
        FreeIds ids;
        QVERIFY(ids.empty() && ids.begin() == ids.end());
        for (quint32 id : { 130u, 0u, 63u, 64u, 65535u, 64u })
            ids.insert(id);
        QCOMPARE(int(ids.size()), 5);
        QVector<quint32> walked;
        for (quint32 id : ids)
            walked << id;
        QCOMPARE(walked, (QVector<quint32> { 0, 63, 64, 130, 65535 }));
        ids.erase(64);
        ids.erase(64);     // absent: nothing changes
        ids.erase(1u << 30);
        QCOMPARE(int(ids.size()), 4);
        QVERIFY(ids.count(63) && !ids.count(64) && !ids.count(1u << 30));
        QCOMPARE(*ids.begin(), 0u);
        QVERIFY(ids == (FreeIds { 65535, 130, 63, 0 }));
        FreeIds shorter { 0, 63, 130 };
        QVERIFY(ids != shorter);
        shorter.insert(65535);
        shorter.insert(70000);
        shorter.erase(70000);   // a longer bitmap holding the same ids is equal
        QVERIFY(ids == shorter && shorter == ids);
        ids.clear();
        QVERIFY(ids.empty() && ids.begin() == ids.end() && !ids.count(0));
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
        QCOMPARE(c.free[Gump], (FreeIds { 0, 1, 2, 4 }));
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

    // Every id, field and argument is read by this one parser, so its edges are checked once.
    void typedNumbersAreReadStrictly_data()
    {
        constexpr qint64 lowest = std::numeric_limits<qint64>::min(), highest = std::numeric_limits<qint64>::max();
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("min");
        QTest::addColumn<qint64>("max");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<qint64>("value");
        QTest::newRow("decimal") << " 42\t" << qint64(0) << highest << true << qint64(42);
        QTest::newRow("hex") << "0x1A" << qint64(0) << highest << true << qint64(26);
        QTest::newRow("upper prefix") << "0XfF" << qint64(0) << qint64(255) << true << qint64(255);
        QTest::newRow("negative decimal") << "-128" << qint64(-128) << qint64(255) << true << qint64(-128);
        QTest::newRow("lowest") << "-9223372036854775808" << lowest << highest << true << lowest;
        QTest::newRow("sign after 0x") << "0x-5" << lowest << highest << false << qint64(0);
        QTest::newRow("plus after 0x") << "0x+5" << lowest << highest << false << qint64(0);
        QTest::newRow("plus") << "+5" << lowest << highest << false << qint64(0);
        QTest::newRow("prefix twice") << "0x0x5" << lowest << highest << false << qint64(0);
        QTest::newRow("bare prefix") << "0x" << lowest << highest << false << qint64(0);
        QTest::newRow("space inside") << "0x 5" << lowest << highest << false << qint64(0);
        QTest::newRow("blank") << "  " << lowest << highest << false << qint64(0);
        QTest::newRow("trailing letter") << "12a" << lowest << highest << false << qint64(0);
        QTest::newRow("other digits") << QString::fromUtf8("\u0661\u0662") << lowest << highest << false << qint64(0);
        QTest::newRow("past 64 bits") << "18446744073709551616" << lowest << highest << false << qint64(0);
        QTest::newRow("past signed 64 bits") << "9223372036854775808" << lowest << highest << false << qint64(0);
        QTest::newRow("long hex") << "0x10000000000000000" << lowest << highest << false << qint64(0);
        QTest::newRow("above the range") << "256" << qint64(-128) << qint64(255) << false << qint64(0);
        QTest::newRow("below the range") << "-129" << qint64(-128) << qint64(255) << false << qint64(0);
    }

    void typedNumbersAreReadStrictly()
    {
        QFETCH(QString, text);
        QFETCH(qint64, min);
        QFETCH(qint64, max);
        QFETCH(bool, accepted);
        QFETCH(qint64, value);
        qint64 read = -1;
        QCOMPARE(parseNumber(text, min, max, &read), accepted);
        QCOMPARE(read, accepted ? value : qint64(-1));   // untouched when refused
        // Ids read the same, over the whole range.
        bool ok = false;
        parseTypedNumber(text, &ok);
        QCOMPARE(ok, accepted || QByteArray(QTest::currentDataTag()).contains("range"));

        quint64 flags = 0;
        QVERIFY(parseUnsignedNumber("0xFFFFFFFFFFFFFFFF", ~quint64(0), &flags) && flags == ~quint64(0));
        QVERIFY(!parseUnsignedNumber("-1", ~quint64(0), &flags) && !parseUnsignedNumber("0x100", 0xff, &flags));
    }
};

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
