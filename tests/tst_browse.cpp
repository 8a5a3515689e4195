// Browsing a catalogue: the filter's reading and matching, all tile records in one read,
// the grid model's rows against the id list, the thumbnail cache's bound and order, and the
// grid view's cell size.
#include "cataloguefilter.h"
#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "itemkind.h"
#include "testdata.h"
#include "thumbnailcache.h"
#include "tilecatalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QThread>

using namespace qm;

namespace {

tile_struct namedTile(const QString& name, quint32 flags = 0)
{
    tile_struct t;
    t.name = name;
    t.flags = flags;
    return t;
}

// A decoder of square pictures `side` pixels wide, which records the ids it was asked for
// and whether it ran on the GUI thread.
struct CountingDecoder {
    int side = 8;
    QMutex mutex;
    QList<int> ids;
    bool onGuiThread = false;

    ThumbnailCache::Decoder function()
    {
        return [this](int, int id) {
            QMutexLocker lock(&mutex);
            ids << id;
            onGuiThread = onGuiThread || QThread::currentThread() == qApp->thread();
            return filledImage(side, side, qRgb(id, 0, 0));
        };
    }
};

QVector<int> rowIds(const CatalogueGridModel& model)
{
    QVector<int> ids;
    for (int row = 0; row < model.rowCount(); ++row)
        ids << model.data(model.index(row), CatalogueGridModel::IdRole).toInt();
    return ids;
}

} // namespace

class TestBrowse : public QObject {
    Q_OBJECT

private slots:
    void filterReadsIdsRangesAndNames()
    {
        CatalogueFilter f = parseCatalogueFilter(QStringLiteral(" 0x100-0x1FF "));
        QCOMPARE(f.firstId, 0x100);
        QCOMPARE(f.lastId, 0x1ff);
        f = parseCatalogueFilter(QStringLiteral("511 - 256"));   // either order
        QCOMPARE(f.firstId, 256);
        QCOMPARE(f.lastId, 511);
        f = parseCatalogueFilter(QStringLiteral("0X1f4"));
        QCOMPARE(f.firstId, 500);
        QCOMPARE(f.lastId, 500);
        QVERIFY(parseCatalogueFilter(QStringLiteral("  ")).isEmpty());
        // Whatever is no id is a name: signs, stray text, a half range.
        for (const char* name : { "-5", "0x10-", "wall 2", "0xzz", "1-2-3" }) {
            f = parseCatalogueFilter(QString::fromLatin1(name));
            QCOMPARE(f.lastId, -1);
            QCOMPARE(f.name, QString::fromLatin1(name));
        }

        f = parseCatalogueFilter(QStringLiteral("0x10-0x20"));
        QVERIFY(f.matches(0x10, nullptr) && f.matches(0x20, nullptr));
        QVERIFY(!f.matches(0xf, nullptr) && !f.matches(0x21, nullptr));
    }

    void filterMatchesNamesAndFlags()
    {
        // Latin-1 names match without regard to case, accented letters included.
        const tile_struct sword = namedTile(QString::fromLatin1("\xc9p\xe9" "e longue"), 0x2);
        const tile_struct wall = namedTile(QStringLiteral("stone wall"), 0x10 | 0x40);
        CatalogueFilter f = parseCatalogueFilter(QString::fromLatin1("\xe9P\xc9" "E"));
        QVERIFY(f.matches(1, &sword));
        QVERIFY(!f.matches(1, &wall));
        QVERIFY(!f.matches(1, nullptr));   // a gump has no name to match

        f = parseCatalogueFilter(QString(), 4, true);   // has Wall
        QVERIFY(f.matches(1, &wall) && !f.matches(1, &sword) && !f.matches(1, nullptr));
        f = parseCatalogueFilter(QString(), 4, false);   // has not Wall
        QVERIFY(!f.matches(1, &wall) && f.matches(1, &sword));
        f = parseCatalogueFilter(QStringLiteral("wall"), 6, true);   // name and Impassable
        QVERIFY(f.matches(1, &wall));
        f = parseCatalogueFilter(QStringLiteral("0-5"), 6, true);    // range and Impassable
        QVERIFY(f.matches(5, &wall) && !f.matches(6, &wall));
        QVERIFY(parseCatalogueFilter(QString(), 32).isEmpty());      // no such bit
    }

    void allTileRecordsInOneRead()
    {
        QTemporaryDir dir;
        // The land section and two static blocks; the static of id 33 named, one past them empty.
        QByteArray file(int(kLandTileSectionSize + 2 * kStaticTileBlockSize), '\0');
        const tile_struct land = namedTile(QStringLiteral("grass"), 0x1);
        const tile_struct statik = namedTile(QString::fromLatin1("caf\xe9"), 0x80000000u);
        file.replace(int(landTileOffset(7)), kLandTileRecordSize, landTileBytes(land));
        file.replace(int(staticTileOffset(33)), kStaticTileRecordSize, staticTileBytes(statik));
        QVERIFY(writeBytes(dir.filePath("tiledata.mul"), file));

        QVector<tile_struct> records;
        QString error;
        QVERIFY2(readAllTileRecords(dir.path(), Land, &records, &error), qPrintable(error));
        QCOMPARE(records.size(), 16384);
        QCOMPARE(records[7].name, QStringLiteral("grass"));
        QVERIFY2(readAllTileRecords(dir.path(), Static, &records, &error), qPrintable(error));
        QCOMPARE(records.size(), 65536);
        QVERIFY(records[33] == statik);
        QVERIFY(records[64] == tile_struct());   // past the file's end

        QVERIFY(!readAllTileRecords(dir.path(), Gump, &records, &error));
        QVERIFY(!readAllTileRecords(dir.filePath("missing"), Static, &records, &error));
        QVERIFY(error.contains(QLatin1String("tiledata.mul")));
    }

    void modelRowsFollowTheIdListAndFilter()
    {
        CountingDecoder decoder;
        ThumbnailCache cache(decoder.function());
        CatalogueGridModel model(Static, &cache);
        QSignalSpy counts(&model, &CatalogueGridModel::matchCountChanged);
        model.setIds({ 9, 3, 5, 3, 0x1f4 });
        QCOMPARE(rowIds(model), QVector<int>({ 3, 5, 9, 0x1f4 }));
        QCOMPARE(model.data(model.index(3), Qt::DisplayRole).toString(), QStringLiteral("0x1f4"));

        // New and Undo of Delete list an item, Delete unlists it: one row each, in id order.
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.insertId(4);
        model.insertId(4);
        model.removeId(9);
        model.removeId(100);
        QCOMPARE(rowIds(model), QVector<int>({ 3, 4, 5, 0x1f4 }));
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.first().at(1).toInt(), 1);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.first().at(1).toInt(), 3);

        // With a name filter only matching items are rows; records and inserts follow it.
        QVector<tile_struct> tiles(0x200);
        tiles[3] = namedTile(QStringLiteral("Barrel"));
        tiles[7] = namedTile(QStringLiteral("barrel lid"));
        model.setTileRecords(tiles);
        model.setFilter(parseCatalogueFilter(QStringLiteral("BARREL")));
        QCOMPARE(rowIds(model), QVector<int>({ 3 }));
        model.insertId(7);
        model.insertId(8);
        QCOMPARE(rowIds(model), QVector<int>({ 3, 7 }));
        model.setTileRecord(0x1f4, namedTile(QStringLiteral("small barrel")));
        model.setTileRecord(3, namedTile(QStringLiteral("cask")));
        QCOMPARE(rowIds(model), QVector<int>({ 7, 0x1f4 }));
        QCOMPARE(model.data(model.index(0), Qt::ToolTipRole).toString(), QStringLiteral("barrel lid"));
        QCOMPARE(counts.last(), QVariantList({ 2, 6 }));
        QCOMPARE(model.rowOf(0x1f4), 1);
        QCOMPARE(model.rowOf(3), -1);
        QCOMPARE(model.idAt(2), -1);

        model.setEdited(7, true);
        QVERIFY(model.data(model.index(0), CatalogueGridModel::EditedRole).toBool());
        QVERIFY(!model.data(model.index(1), CatalogueGridModel::EditedRole).toBool());
        model.setFilter(CatalogueFilter());
        QCOMPARE(model.rowCount(), 6);
    }

    void thumbnailsArriveOffTheGuiThreadAsAsked()
    {
        CountingDecoder decoder;
        decoder.side = 300;   // larger than any cell: shrunk to fit
        ThumbnailCache cache(decoder.function());
        cache.setCellSize(64);
        CatalogueGridModel model(Gump, &cache);
        model.setIds({ 1, 2, 3 });
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        // A placeholder the size of the cell at once; the picture once decoded.
        const QPixmap first = model.data(model.index(1), Qt::DecorationRole).value<QPixmap>();
        QCOMPARE(first.size(), QSize(64, 64));
        QVERIFY(!cache.contains(Gump, 2));
        cache.waitUntilIdle();
        QVERIFY(cache.contains(Gump, 2));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).value<QModelIndex>().row(), 1);
        const QPixmap ready = model.data(model.index(1), Qt::DecorationRole).value<QPixmap>();
        QCOMPARE(ready.size(), QSize(64, 64));
        QCOMPARE(ready.toImage().pixel(10, 10), qRgb(2, 0, 0));
        QCOMPARE(decoder.ids, QList<int>({ 2 }));   // only what was asked for
        QVERIFY(!decoder.onGuiThread);

        // An edited picture is decoded again; a result overtaken by the edit is dropped.
        model.pictureChanged(2);
        QVERIFY(!cache.contains(Gump, 2));
        model.data(model.index(1), Qt::DecorationRole);
        cache.invalidate(Gump, 2);
        cache.waitUntilIdle();
        QVERIFY(!cache.contains(Gump, 2));
    }

    void cacheKeepsItsBoundDroppingTheLeastRecentlyUsed()
    {
        CountingDecoder decoder;
        decoder.side = 32;   // 4 KB a thumbnail
        ThumbnailCache cache(decoder.function());
        cache.setCellSize(32);
        cache.setByteLimit(3 * 32 * 32 * 4);
        QCOMPARE(cache.byteLimit(), qint64(3 * 4096));
        auto load = [&](int id) {
            cache.thumbnail(Static, id);
            cache.waitUntilIdle();
        };
        load(1);
        load(2);
        load(3);
        QCOMPARE(cache.bytesUsed(), qint64(3 * 4096));
        QVERIFY(!cache.thumbnail(Static, 1).isNull());   // 1 is now the most recently used
        load(4);
        QVERIFY(cache.bytesUsed() <= cache.byteLimit());
        QVERIFY(!cache.contains(Static, 2));
        QVERIFY(cache.contains(Static, 1) && cache.contains(Static, 3) && cache.contains(Static, 4));
        load(5);
        QVERIFY(!cache.contains(Static, 3));

        // A fast scroll asks for more than the queue holds: the oldest requests go.
        decoder.ids.clear();
        cache.setQueueLimit(4);
        for (int id = 100; id < 200; ++id)   // the first few start at once, on free threads
            cache.thumbnail(Static, id);
        QVERIFY(cache.queuedCount() <= 4);
        cache.waitUntilIdle();
        QVERIFY(decoder.ids.size() <= 4 + QThread::idealThreadCount());
        QVERIFY(decoder.ids.contains(199));
        QVERIFY(!decoder.ids.contains(150));
    }

    void gridCellSizeBySliderAndCtrlWheel()
    {
        CountingDecoder decoder;
        ThumbnailCache cache(decoder.function());
        CatalogueGridModel model(Texture, &cache);
        model.setIds({ 1, 2 });
        CatalogueGrid grid;
        grid.view()->setGridModel(&model);
        grid.resize(400, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        grid.slider()->setValue(128);
        QCOMPARE(grid.view()->cellSize(), 128);
        QCOMPARE(cache.cellSize(), 128);
        QCOMPARE(grid.view()->iconSize(), QSize(128, 128));

        auto wheel = [&](int delta) {
            QWheelEvent event(QPointF(20, 20), grid.view()->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid.view()->viewport(), &event);
        };
        wheel(120);
        QCOMPARE(grid.view()->cellSize(), 144);
        QCOMPARE(grid.slider()->value(), 144);
        for (int i = 0; i < 20; ++i)
            wheel(-120);
        QCOMPARE(grid.view()->cellSize(), 32);
        QCOMPARE(grid.view()->rowsInView(), qMakePair(0, 1));
    }

    void filterBoxSaysWhatItFilters()
    {
        CatalogueFilterBox box;
        QSignalSpy changed(&box, &CatalogueFilterBox::filterChanged);
        box.textBox()->setText(QStringLiteral("0x10-0x1f"));
        box.flagBox()->setCurrentIndex(5);   // "Wall", bit 4
        box.hasBox()->setCurrentIndex(1);
        const CatalogueFilter f = changed.last().first().value<CatalogueFilter>();
        QCOMPARE(f.lastId, 0x1f);
        QCOMPARE(f.flagBit, 4);
        QVERIFY(!f.flagSet);
        box.setTileConditionsEnabled(false);   // gumps
        QCOMPARE(box.filter().flagBit, -1);
        box.setMatchCount(3, 10);
        QCOMPARE(box.countLabel()->text(), QStringLiteral("3 of 10"));
    }
};

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
