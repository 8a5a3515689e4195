// Reading the index files into the catalogues, and the list items that show them.
#include "indexfile.h"
#include "mylistitem.h"
#include "testdata.h"
#include "treelists.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

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

    void listItemsShowHexAndSortByNumber()
    {
        QTreeWidget list;
        list.setSortingEnabled(true);
        list.sortByColumn(0, Qt::AscendingOrder);
        for (int id : { 16, 2, 10, 9 })
            new myListItem(&list, myListItem::labelFor(id));
        QCOMPARE(listTexts(&list), (QStringList { "0x2", "0x9", "0xa", "0x10" }));

        // The id always follows the text, also when the text is changed afterwards.
        auto* item = static_cast<myListItem*>(list.topLevelItem(0));
        item->setText(0, QStringLiteral("0x1a"));
        QCOMPARE(item->id(), 26);
        QCOMPARE(myListItem::idOf(item), 26);
        QTreeWidgetItem plain(QStringList { QStringLiteral("0x3fff") });
        QCOMPARE(myListItem::idOf(&plain), 0x3fff);
    }
};

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
