// Editor windows opened on real data files: the picture, tile record and animation record
// each editor shows are the ones the files hold for its item. With QM_SCREENSHOT set to a
// file name, the main window with the four editors is also saved there as a picture.
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
#include <QPainter>
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

QImage landArt(const QColor& base)
{
    QImage img(kLandSize, kLandSize, QImage::Format_ARGB32);
    for (int y = 0; y < kLandSize; ++y)
        for (int x = 0; x < kLandSize; ++x)
            img.setPixel(x, y, shade(base, speckle(x, y, 18)).rgb());
    return img;
}

QImage barrelArt(const QColor& wood)
{
    QImage img(40, 56, QImage::Format_ARGB32);
    img.fill(0);
    for (int y = 4; y < 54; ++y) {
        // The body bulges in the middle.
        const double t = (y - 29) / 25.0;
        const int half = int(16 + 2.5 * (1 - t * t));
        for (int x = 20 - half; x < 20 + half; ++x) {
            const bool plankEdge = (x - (20 - half)) % 7 == 0;
            const bool hoop = (y >= 11 && y <= 13) || (y >= 44 && y <= 46);
            QColor c = hoop ? QColor(70, 70, 78) : shade(wood, plankEdge ? -45 : 0);
            c = shade(c, (x - 20) * -2 + speckle(x, y, 6));
            img.setPixel(x, y, c.rgb());
        }
    }
    for (int x = 6; x < 34; ++x)   // the lid
        for (int y = 3; y < 7; ++y)
            if ((x - 20) * (x - 20) / 196.0 + (y - 4.5) * (y - 4.5) / 6.25 <= 1)
                img.setPixel(x, y, shade(wood, 30 + speckle(x, y, 5)).rgb());
    return img;
}

QImage gumpArt()
{
    QImage img(220, 150, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, shade(QColor(222, 198, 150), speckle(x, y, 10)).rgb());
    QPainter p(&img);
    p.setPen(QPen(QColor(96, 60, 30), 4));
    p.drawRect(QRect(2, 2, 215, 145));
    p.setPen(QPen(QColor(150, 100, 50), 1));
    p.drawRect(QRect(10, 10, 199, 129));
    QFont f = p.font();
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(80, 40, 20));
    p.drawText(QRect(10, 20, 200, 40), Qt::AlignCenter, QStringLiteral("Quillmark"));
    f.setPixelSize(12);
    f.setBold(false);
    p.setFont(f);
    for (int line = 0; line < 5; ++line)
        p.drawLine(30, 75 + 12 * line, 190 - (line % 2) * 30, 75 + 12 * line);
    p.end();
    return img;
}

QImage textureArt()
{
    QImage img(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const int row = y / 16;
            const bool mortar = y % 16 == 0 || (x + (row % 2) * 16) % 32 == 0;
            const QColor c = mortar ? QColor(70, 66, 60) : QColor(138, 132, 120);
            img.setPixel(x, y, shade(c, speckle(x, y, 14)).rgb());
        }
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
            items.append({ Land, id, landArt(QColor(70 + 3 * id, 130 - id, 50)) });
        for (int id = 0x1f0; id < 0x200; ++id)
            items.append({ Static, id, barrelArt(QColor(150 - (id - 0x1f0) * 4, 96, 48)) });
        for (int id : { 1, 3, 5 })
            items.append({ Gump, id, gumpArt() });
        for (int id = 0; id < 4; ++id)
            items.append({ Texture, id, textureArt() });
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

        const QString shot = qEnvironmentVariable("QM_SCREENSHOT");
        if (!shot.isEmpty()) {
            // Every picture in view, and a second window of the static on its flags.
            mw.tabSelect->setCurrentIndex(1);
            mw.listDouble(mw.listStatic->currentItem());
            const auto frames = mw.workspace->subWindowList();
            const QSize area = mw.workspace->viewport()->size();
            const int top = area.height() * 2 / 5;
            const int third = area.width() / 3;
            const int half = area.width() / 2;
            const QRect places[5] = {
                { 2 * third, 0, area.width() - 2 * third, top },   // land
                { half, top, area.width() - half, area.height() - top },   // static, picture
                { third, 0, third, top },   // gump
                { 0, 0, third, top },   // texture
                { 0, top, half, area.height() - top },   // static, flags
            };
            for (int i = 0; i < 5; ++i)
                frames[i]->setGeometry(places[i]);
            qobject_cast<myWidget*>(frames[4]->widget())->tabData->setCurrentIndex(1);
            mw.workspace->setActiveSubWindow(frames[4]);
            QTest::qWait(50);
            QVERIFY(mw.grab().save(shot));
        }
    }
};

QTEST_MAIN(TestEditorDataFiles)
#include "tst_editor_datafiles.moc"
