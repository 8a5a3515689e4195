// Editor windows opened on real data files: the picture, tile record and animation record
// each editor shows are the ones the files hold for its item. On request, the screenshot of
// the main window with its editors that the documentation shows.
#include "animdata.h"
#include "artcodec.h"
#include "imagefiles.h"
#include "mainwindow.h"
#include "mylistitem.h"
#include "mywidget.h"
#include "pixels.h"
#include "testdata.h"
#include "tiledata.h"
#include "uodir.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// A repeatable speckle, so that pictures look like art rather than flat colour.
int speckle(int x, int y, int spread)
{
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return int((h >> 16) % quint32(2 * spread + 1)) - spread;
}

QColor shade(const QColor& c, int delta)
{
    return QColor(qBound(0, c.red() + delta, 255), qBound(0, c.green() + delta, 255),
                  qBound(0, c.blue() + delta, 255));
}

// A speckled picture of `size`; with `rounded`, transparent outside an ellipse.
QImage artPicture(const QSize& size, const QColor& base, bool rounded = false)
{
    QImage img(size, QImage::Format_ARGB32);
    const double cx = size.width() / 2.0, cy = size.height() / 2.0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const double dx = (x + 0.5 - cx) / cx, dy = (y + 0.5 - cy) / cy;
            const bool outside = rounded && dx * dx + dy * dy > 1;
            img.setPixel(x, y, outside ? 0u : shade(base, speckle(x, y, 18)).rgb());
        }
    return img;
}

struct DemoItem {
    int kind;
    int id;
    QImage picture;
};

// Writes every item through the encoders into a data directory, with tile and animation
// records for the land and static items.
bool writeDemoDir(const QString& dir, const QVector<DemoItem>& items)
{
    QByteArray data[4];
    QVector<IndexRecord> index[4] = { emptyIndex(kArtRecordCount), {}, emptyIndex(8),
                                      emptyIndex(6) };
    QByteArray tiledata(int(kFullTileDataSize), '\0');
    QByteArray animdata(int(kFullAnimDataSize), '\0');
    for (const DemoItem& item : items) {
        const int file = item.kind == Static ? Land : item.kind;
        QByteArray record;
        quint32 extra = 0;
        switch (item.kind) {
        case Land: record = encodeLand(item.picture); break;
        case Static: record = encodeStatic(item.picture); break;
        case Gump:
            record = encodeGump(item.picture);
            extra = gumpExtraFor(item.picture.width(), item.picture.height());
            break;
        default: record = encodeTexture(item.picture); break;
        }
        if (record.isEmpty())
            return false;
        index[file][int(indexRecordNumber(item.kind, item.id))] =
            { qint32(data[file].size()), qint32(record.size()), extra };
        data[file] += record;

        if (hasTileData(item.kind)) {
            tile_struct t;
            t.name = item.kind == Land ? QStringLiteral("grass") : QStringLiteral("barrel");
            t.texid = quint16(item.id);
            t.flags = item.kind == Land ? 0x0 : 0x00200040;   // Impassable, Container
            t.weight = 50;
            t.height = 10;
            t.hue = 0x2a;
            const QByteArray bytes = item.kind == Land ? landTileBytes(t) : staticTileBytes(t);
            tiledata.replace(int(tileOffset(item.kind, item.id)), bytes.size(), bytes);
        }
        if (item.kind == Static) {
            anim_st a;
            a.frameCount = 4;
            a.frameInterval = 3;
            for (int i = 0; i < 4; ++i)
                a.frames[size_t(i)] = qint8(i);
            const QByteArray bytes = animBytes(a);
            animdata.replace(int(animOffset(item.id)), bytes.size(), bytes);
        }
    }
    return writeBytes(dir + "/art.mul", data[Land])
        && writeBytes(dir + "/artidx.mul", indexBytes(index[Land]))
        && writeBytes(dir + "/gumpart.mul", data[Gump])
        && writeBytes(dir + "/gumpidx.mul", indexBytes(index[Gump]))
        && writeBytes(dir + "/texmaps.mul", data[Texture])
        && writeBytes(dir + "/texidx.mul", indexBytes(index[Texture]))
        && writeBytes(dir + "/tiledata.mul", tiledata)
        && writeBytes(dir + "/animdata.mul", animdata);
}

// The picture as the files keep it: 5 bits per channel, transparent where nothing is stored.
QImage asStored(const QImage& picture)
{
    QImage out(picture.size(), QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const Color16 c = storedColor16(picture.pixel(x, y));
            out.setPixel(x, y, c ? color16ToRgb(qint16(c)) : 0u);
        }
    return out;
}

} // namespace

class TestEditorDataFiles : public QObject {
    Q_OBJECT

private slots:
    void editorsShowWhatTheFilesHold()
    {
        TestSettings settings;
        QTemporaryDir dir;
        QVector<DemoItem> items;
        for (int id = 0; id < 24; ++id)
            items.append({ Land, id, artPicture(QSize(44, 44), QColor(70 + 3 * id, 130 - id, 50)) });
        for (int id = 0x1f0; id < 0x200; ++id)
            items.append({ Static, id, artPicture(QSize(40, 56), QColor(150, 96, id - 0x1f0), true) });
        for (int id : { 1, 3, 5 })
            items.append({ Gump, id, artPicture(QSize(220, 150), QColor(222, 198, 150 - id)) });
        for (int id = 0; id < 4; ++id)
            items.append({ Texture, id, artPicture(QSize(64, 64), QColor(138, 132, 120 + id)) });
        QVERIFY(writeDemoDir(dir.path(), items));
        writeUODir(dir.path());

        mainwindow mw;
        mw.resize(1280, 940);
        mw.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mw));
        const int opened[4] = { 3, 0x1f4, 5, 1 };
        for (int kind = 0; kind < 4; ++kind) {
            mw.tabSelect->setCurrentIndex(kind);
            const auto found = mw.currentList->findItems(myListItem::labelFor(opened[kind]),
                                                         Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            mw.currentList->setCurrentItem(found.first());
            mw.listDouble(found.first());
        }
        QList<myWidget*> editors;
        for (QMdiSubWindow* w : mw.workspace->subWindowList())
            editors << qobject_cast<myWidget*>(w->widget());
        QCOMPARE(editors.size(), 4);

        for (myWidget* e : editors) {
            QImage expected;
            for (const DemoItem& item : items)
                if (item.kind == e->kind && item.id == e->id)
                    expected = item.picture;
            if (e->kind == Land)
                maskLandDiamond(expected);   // land records hold only the diamond
            QVERIFY2(e->image == asStored(expected), qPrintable(e->windowTitle()));
        }
        QCOMPARE(editors[0]->lineName->text(), QStringLiteral("grass"));
        QCOMPARE(editors[0]->lineTexid->text(), QStringLiteral("0x3"));
        QCOMPARE(editors[1]->lineName->text(), QStringLiteral("barrel"));
        QCOMPARE(editors[1]->lineHue->text(), QStringLiteral("0x2a"));
        QVERIFY(editors[1]->findChild<QCheckBox*>("checkContainer")->isChecked());
        QCOMPARE(editors[1]->lineFrameCount->text(), QStringLiteral("4"));
        QCOMPARE(editors[1]->table1->item(3, 0)->text(), QStringLiteral("3"));
    }

    // The picture in docs: QM_SCREENSHOT=out.png QM_DEMO_DIR=dir (from qmtool make-demo).
    void screenshotOfTheDemoDirectory()
    {
        const QString shot = qEnvironmentVariable("QM_SCREENSHOT");
        const QString demo = qEnvironmentVariable("QM_DEMO_DIR");
        if (shot.isEmpty() || demo.isEmpty())
            QSKIP("set QM_SCREENSHOT and QM_DEMO_DIR to take the screenshot");
        TestSettings settings;
        writeUODir(demo);
        mainwindow mw;
        mw.resize(1280, 940);
        mw.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mw));
        // Texture, gump and land above; the static twice below, on its flags and its picture.
        const QPair<int, int> opened[5] = { { Texture, 5 }, { Gump, 5 }, { Land, 3 },
                                            { Static, 0x10 }, { Static, 0x10 } };
        for (const auto& [kind, id] : opened) {
            mw.tabSelect->setCurrentIndex(kind);
            const auto found = mw.currentList->findItems(myListItem::labelFor(id), Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            mw.currentList->setCurrentItem(found.first());
            mw.listDouble(found.first());
        }
        const auto frames = mw.workspace->subWindowList();
        const QSize area = mw.workspace->viewport()->size();
        const int top = area.height() * 2 / 5;
        const int third = area.width() / 3;
        const int half = area.width() / 2;
        const QRect places[5] = {
            { 0, 0, third, top },
            { third, 0, third, top },
            { 2 * third, 0, area.width() - 2 * third, top },
            { 0, top, half, area.height() - top },
            { half, top, area.width() - half, area.height() - top },
        };
        for (int i = 0; i < 5; ++i)
            frames[i]->setGeometry(places[i]);
        qobject_cast<myWidget*>(frames[3]->widget())->tabData->setCurrentIndex(1);
        mw.workspace->setActiveSubWindow(frames[3]);
        QTest::qWait(50);
        QVERIFY(mw.grab().save(shot));
    }
};

QTEST_MAIN(TestEditorDataFiles)
#include "tst_editor_datafiles.moc"
