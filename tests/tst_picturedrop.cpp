// Picture files dropped from the desktop: onto an item window they are imported as Import
// would; onto a grid cell or a list row they are announced with the item's id.
#include "artcodec.h"
#include "cataloguegridmodel.h"
#include "cataloguegridview.h"
#include "dropevents.h"
#include "editorprobe.h"
#include "imageimport.h"
#include "itemkind.h"
#include "mywidget.h"
#include "picturedrop.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "thumbnailcache.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

using namespace qm;

class TestPictureDrop : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void itemWindowImportsADroppedPictureUnderTheImportRules()
    {
        ScriptedDialogs dialogs;
        const QString path = dir.filePath("land.png");
        QVERIFY(filledImage(60, 30, qRgb(10, 200, 10), QImage::Format_RGB32).save(path));
        myWidget w;
        w.setData(Land, 7, QImage());
        tile_struct tile;
        w.setTile(Land, 7, tile);
        w.tabData->setCurrentIndex(2);
        EditorProbe sent(w);
        const auto mime(filesMime({ path }));
        QCOMPARE(dragAndDrop(&w, QPoint(10, 10), mime.get()), qMakePair(true, true));
        QVERIFY(w.hasUnappliedEdits());
        QCOMPARE(w.image(), prepareImportedImage(Land, filledImage(60, 30, qRgb(10, 200, 10))));
        QCOMPARE(w.tabData->currentIndex(), 0);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(sent.total(), 0);   // sent with Apply or OK, like any edit
        w.clickApply();
        QCOMPARE(sent.images.size(), 1);
    }

    void itemWindowRefusesWhatImportRefuses()
    {
        ScriptedDialogs dialogs;
        const QString garbage = dir.filePath("garbage.png");
        QVERIFY(writeBytes(garbage, "not a picture"));
        const QString tooWide = dir.filePath("wide.png");
        QVERIFY(filledImage(kMaxArtSide + 1, 1, qRgb(1, 2, 3)).save(tooWide));
        const QImage before = filledImage(5, 5, qRgb(1, 1, 1));

        for (const QString& path : { garbage, tooWide }) {
            myWidget w;
            w.setData(Gump, 1, before);
            const auto mime(filesMime({ path }));
            dragAndDrop(&w, QPoint(10, 10), mime.get());
            QCOMPARE(w.image(), before);
            QVERIFY(!w.hasUnappliedEdits());
            QCOMPARE(dialogs.messages.size(), 1);
            QVERIFY2(dialogs.messages.first().contains(QFileInfo(path).fileName()), qPrintable(dialogs.messages.first()));
            dialogs.messages.clear();
        }

        // Two files at once, a web address, or a window not showing an item yet: the drag is
        // not taken.
        myWidget w;
        const auto one(filesMime({ tooWide }));
        QCOMPARE(dragAndDrop(&w, QPoint(10, 10), one.get()), qMakePair(false, false));
        w.setData(Gump, 1, before);
        const auto two(filesMime({ garbage, tooWide }));
        QCOMPARE(dragAndDrop(&w, QPoint(10, 10), two.get()), qMakePair(false, false));
        QMimeData web;
        web.setUrls({ QUrl("https://example.org/a.png") });
        QCOMPARE(dragAndDrop(&w, QPoint(10, 10), &web), qMakePair(false, false));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void gridCellAnnouncesTheDroppedItem()
    {
        ThumbnailCache cache([](int, int) { return filledImage(8, 8, qRgb(9, 9, 9)); });
        CatalogueGridModel model(Static, &cache);
        model.setIds({ 3, 0x1a, 0x40 });
        CatalogueGridView view;
        view.setGridModel(&model);
        view.resize(400, 300);
        view.show();
        QTRY_VERIFY(view.visualRect(model.index(2)).isValid());
        QSignalSpy dropped(&view, &CatalogueGridView::pictureDropped);

        const auto mime(filesMime({ "/tmp/picture.png" }));
        const QPoint onCell = view.visualRect(model.index(1)).center();
        QCOMPARE(dragAndDrop(view.viewport(), onCell, mime.get()), qMakePair(true, true));
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped[0], QVariantList({ int(Static), 0x1a, QStringLiteral("/tmp/picture.png") }));

        // Between cells nothing is replaced.
        const QPoint empty(view.viewport()->width() - 2, view.viewport()->height() - 2);
        QVERIFY(!view.indexAt(empty).isValid());
        QCOMPARE(dragAndDrop(view.viewport(), empty, mime.get()), qMakePair(false, false));
        QCOMPARE(dropped.size(), 1);
    }

    void listRowAnnouncesTheDroppedItem()
    {
        QTreeWidget list;
        list.setColumnCount(2);
        for (const char* id : { "0x5", "0x1a2b" })
            new QTreeWidgetItem(&list, { QString::fromLatin1(id), "name" });
        auto* target = new PictureDropTarget(&list, Gump);
        list.resize(300, 200);
        list.show();
        QSignalSpy dropped(target, &PictureDropTarget::pictureDropped);
        const QRect row = list.visualItemRect(list.topLevelItem(1));
        const auto mime(filesMime({ "/tmp/g.png" }));
        // The second column of a row names the same item.
        QCOMPARE(dragAndDrop(list.viewport(), QPoint(row.right() - 5, row.center().y()), mime.get()),
                 qMakePair(true, true));
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped[0], QVariantList({ int(Gump), 0x1a2b, QStringLiteral("/tmp/g.png") }));
    }
};

QTEST_MAIN(TestPictureDrop)
#include "tst_picturedrop.moc"
