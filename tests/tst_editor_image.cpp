// The editor's image page: importing and exporting pictures, the menu that offers it, and
// how the picture is shown.
#include "editorprobe.h"
#include "imagefiles.h"
#include "imageview.h"
#include "mywidget.h"
#include "scripteddialogs.h"
#include "tilegeneralpage.h"
#include "testdata.h"

#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

// Pictures as a user brings them: opaque, without alpha.
QImage solid(int w, int h)
{
    return filledImage(w, h, qRgb(200, 40, 40), QImage::Format_RGB32);
}

QString writePicture(const QTemporaryDir& dir, const QString& name, const QImage& img)
{
    const QString path = dir.filePath(name);
    if (!img.save(path, "PNG"))
        return QString();
    return path;
}

int opaqueInRow(const QImage& img, int y)
{
    int n = 0;
    for (int x = 0; x < img.width(); ++x)
        n += qAlpha(img.pixel(x, y)) ? 1 : 0;
    return n;
}

} // namespace

class TestEditorImage : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    // Imports `path` into a fresh editor of `kind`, answering the file dialog.
    void importInto(myWidget& w, int kind, const QString& path, ScriptedDialogs& dialogs)
    {
        w.setData(kind, 1, QImage());
        dialogs.fileAnswers << ScriptedDialogs::FileAnswer { path, QString() };
        w.impImage();
    }

private slots:
    void texturesAreBroughtToTheirTwoSizes_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("side");
        QTest::newRow("200x300") << QSize(200, 300) << 128;
        QTest::newRow("127x500") << QSize(127, 500) << 64;
        QTest::newRow("300x100") << QSize(300, 100) << 64;
        QTest::newRow("128x128") << QSize(128, 128) << 128;
        QTest::newRow("10x10") << QSize(10, 10) << 64;
    }

    void texturesAreBroughtToTheirTwoSizes()
    {
        QFETCH(QSize, picture);
        QFETCH(int, side);
        ScriptedDialogs dialogs;
        myWidget w;
        importInto(w, 3, writePicture(dir, "tex.png", solid(picture.width(), picture.height())),
                   dialogs);
        QCOMPARE(w.image().size(), QSize(side, side));
        QVERIFY(w.hasUnappliedEdits());
        QCOMPARE(w.image().format(), QImage::Format_ARGB32);
        QCOMPARE(w.pixImage->shownImage().size(), QSize(side, side));
    }

    void staticsAndGumpsKeepTheirSizeWhenSaveCanWriteIt()
    {
        ScriptedDialogs dialogs;
        myWidget gump;
        importInto(gump, 2, writePicture(dir, "big.png", solid(1000, 700)), dialogs);
        QCOMPARE(gump.image().size(), QSize(1000, 700));
        QCOMPARE(gump.image().format(), QImage::Format_ARGB32);
        myWidget statik;
        importInto(statik, 1, writePicture(dir, "tall.png", solid(90, 300)), dialogs);
        QCOMPARE(statik.image().size(), QSize(90, 300));
        QVERIFY(dialogs.messages.isEmpty());

        // A static tile's record cannot hold so large a picture: refused at once, naming the
        // file, rather than failing later at Save.
        myWidget tooBig;
        const QImage before = solid(4, 4);
        tooBig.setData(1, 1, before);
        dialogs.fileAnswers << ScriptedDialogs::FileAnswer { dir.filePath("big.png"), QString() };
        tooBig.impImage();
        QCOMPARE(tooBig.image(), before);
        QVERIFY(!tooBig.hasUnappliedEdits());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages.first().contains(QStringLiteral("big.png")),
                 qPrintable(dialogs.messages.first()));
    }

    void landIsCutToTheDiamond()
    {
        ScriptedDialogs dialogs;
        myWidget stretched;
        importInto(stretched, 0, writePicture(dir, "wide.png", solid(100, 50)), dialogs);
        const QImage& img = stretched.image();
        QCOMPARE(img.size(), QSize(44, 44));
        QCOMPARE(opaqueInRow(img, 0), 2);
        QCOMPARE(opaqueInRow(img, 20), 42);
        QCOMPARE(opaqueInRow(img, 21), 44);
        QCOMPARE(opaqueInRow(img, 22), 44);
        QCOMPARE(opaqueInRow(img, 23), 42);
        QCOMPARE(opaqueInRow(img, 43), 2);
        QVERIFY(qAlpha(img.pixel(21, 0)) && qAlpha(img.pixel(22, 0)));
        QCOMPARE(img.pixel(20, 0), 0u);   // cut pixels are fully transparent black
        QCOMPARE(img.pixel(0, 43), 0u);
        int total = 0;
        for (int y = 0; y < 44; ++y)
            total += opaqueInRow(img, y);
        QCOMPARE(total, 1012);   // exactly the pixels a land record holds

        // A picture that already has the size is not resampled.
        QImage exact = solid(44, 44);
        exact.setPixel(22, 22, qRgb(0, 0, 255));
        exact.setPixel(1, 21, qRgb(0, 255, 0));
        myWidget kept;
        importInto(kept, 0, writePicture(dir, "exact.png", exact), dialogs);
        QCOMPARE(kept.image().pixel(22, 22), qRgb(0, 0, 255));
        QCOMPARE(kept.image().pixel(1, 21), qRgb(0, 255, 0));
        QCOMPARE(kept.image().pixel(0, 20), 0u);
        QVERIFY(qAlpha(kept.image().pixel(1, 20)));
    }

    void aPictureThatCannotBeReadChangesNothing()
    {
        ScriptedDialogs dialogs;
        const QString garbage = dir.filePath("notapicture.png");
        QFile f(garbage);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is text, not a picture");
        f.close();
        // A tiny file that claims 60,000 x 60,000 pixels must not take 14 GB to refuse.
        const QString huge = dir.filePath("huge.ppm");
        QFile h(huge);
        QVERIFY(h.open(QIODevice::WriteOnly));
        h.write("P6\n60000 60000\n255\n");
        h.write(QByteArray(300, '\x7f'));
        h.close();
        const QImage before = solid(5, 5);
        for (const QString& path : { garbage, dir.filePath("missing.png"), huge }) {
            myWidget w;
            w.setData(2, 1, before);
            EditorProbe sent(w);
            dialogs.fileAnswers << ScriptedDialogs::FileAnswer { path, QString() };
            w.impImage();
            QCOMPARE(w.image(), before);
            QVERIFY(!w.hasUnappliedEdits());
            QCOMPARE(dialogs.messages.size(), 1);
            QVERIFY2(dialogs.messages.first().contains(QFileInfo(path).fileName()),
                     qPrintable(dialogs.messages.first()));
            w.clickApply();
            QCOMPARE(sent.total(), 0);
            dialogs.messages.clear();
        }

        // A cancelled dialog does nothing either.
        myWidget w;
        w.setData(2, 1, before);
        w.impImage();
        QVERIFY(!w.hasUnappliedEdits());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void exportNamesTheFileByTheChosenFormat_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("written");
        QTest::newRow("ending added") << "tile" << "PNG" << "tile.png";
        QTest::newRow("ending in capitals kept") << "tile.PNG" << "PNG" << "tile.PNG";
        QTest::newRow("format name without dot kept") << "mypng" << "PNG" << "mypng";
        QTest::newRow("not longer than format") << "png" << "PNG" << "png.png";
        QTest::newRow("other ending kept, format added") << "a.bmp" << "PNG" << "a.bmp.png";
        QTest::newRow("jpg is a JPEG ending") << "a.jpg" << "JPEG" << "a.jpg";
        QTest::newRow("jpeg") << "a.jpeg" << "JPEG" << "a.jpeg";
    }

    void exportNamesTheFileByTheChosenFormat()
    {
        QFETCH(QString, typed);
        QFETCH(QString, format);
        QFETCH(QString, written);
        QCOMPARE(exportFileName(typed, format), written);
    }

    void exportWritesThePictureOrSaysWhyNot()
    {
        ScriptedDialogs dialogs;
        myWidget w;
        QImage img = solid(7, 9);
        w.setData(1, 1, img.convertToFormat(QImage::Format_ARGB32));
        dialogs.fileAnswers << ScriptedDialogs::FileAnswer { dir.filePath("out"), "PNG (*.png)" };
        w.expImage();
        QImage back(dir.filePath("out.png"));
        QCOMPARE(back.size(), QSize(7, 9));
        QCOMPARE(back.pixel(3, 3), img.pixel(3, 3));
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!w.hasUnappliedEdits());

        // A folder that does not exist: the user is told, naming the file.
        const QString bad = dir.filePath("no/such/folder/out.png");
        dialogs.fileAnswers << ScriptedDialogs::FileAnswer { bad, "PNG (*.png)" };
        w.expImage();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.first().contains(QStringLiteral("out.png")));

        // An item without a picture has nothing to export; no file dialog is shown.
        myWidget empty;
        empty.setData(2, 3, QImage());
        dialogs.asked.clear();
        empty.expImage();
        QVERIFY(!dialogs.asked.contains(QStringLiteral("Exported image name")));
        QCOMPARE(dialogs.messages.size(), 2);

        QCOMPARE(pictureFilter({ "png", "jpeg" }),
                 QStringLiteral("PNG (*.png);;JPEG (*.jpeg;*.jpg)"));
    }

    void menuOpensOnRightReleaseOverTheImagePage()
    {
        ScriptedDialogs dialogs;
        myWidget w;
        w.setData(1, 1, QImage());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString path = writePicture(dir, "m.png", solid(8, 8));

        QTest::mouseRelease(w.pixImage, Qt::LeftButton);
        QVERIFY(!dialogs.asked.contains("menu"));

        dialogs.menuAnswers << QStringLiteral("Import");
        dialogs.fileAnswers << ScriptedDialogs::FileAnswer { path, QString() };
        QTest::mouseRelease(w.pixImage, Qt::RightButton);
        QCOMPARE(dialogs.asked, (QStringList { "menu", "Image to import" }));
        QVERIFY(w.hasUnappliedEdits());

        dialogs.asked.clear();
        w.tabData->setCurrentIndex(1);
        QTest::mouseRelease(w.tab_2, Qt::RightButton);
        QVERIFY(dialogs.asked.isEmpty());
    }

    void pictureIsEnlargedByWholeFactorsAndShrunkToFit()
    {
        const QRect page(0, 0, 400, 300);
        QCOMPARE(ImageView::placement(QSize(44, 44), page).size(), QSize(264, 264));
        QCOMPARE(ImageView::placement(QSize(44, 44), page).center(), page.center());
        QCOMPARE(ImageView::placement(QSize(300, 300), page).size(), QSize(300, 300));
        QCOMPARE(ImageView::placement(QSize(1000, 500), page).size(), QSize(400, 200));
        QCOMPARE(ImageView::placement(QSize(10, 2000), page).size(), QSize(1, 300));
        QVERIFY(ImageView::placement(QSize(), page).isEmpty());
    }
};

QTEST_MAIN(TestEditorImage)
#include "tst_editor_image.moc"
