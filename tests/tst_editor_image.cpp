// The editor's image page: importing and exporting pictures, the menu that offers it, how
// the picture is shown and zoomed, the line that tells its pixels, and the clipboard.
#include "artcodec.h"
#include "demodraw.h"
#include "editorprobe.h"
#include "imagefiles.h"
#include "imagepage.h"
#include "imageview.h"
#include "mywidget.h"
#include "scripteddialogs.h"
#include "tilegeneralpage.h"
#include "testdata.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

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

// An item window on screen and active, so that its shortcuts answer.
void showActive(myWidget& w)
{
    w.resize(489, 488);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.findChild<QScrollArea*>("imageScroll")->setFocus();
}

QAbstractButton* zoomButton(myWidget& w, const char* name)
{
    return w.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

void ctrlWheel(QWidget* target, int steps, Qt::KeyboardModifiers mods = Qt::ControlModifier)
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * steps), Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &wheel);
}

// Moves the mouse over the centre of `pixel` of the shown picture, without a button held.
void hover(ImageView* view, const QPoint& pixel)
{
    const QRect r = view->pictureRect();
    const double s = view->scale();
    const QPointF at(r.left() + (pixel.x() + 0.5) * s, r.top() + (pixel.y() + 0.5) * s);
    QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
}

QString pixelLine(myWidget& w)
{
    return w.findChild<QLabel*>("pixelLine")->text();
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

    // Each zoom command gives the view the picture at that many screen pixels per pixel; the
    // scroll area scrolls once it is larger than the page, and fit returns to the page.
    void zoomLevelsFromTheToolRowShortcutsAndWheel()
    {
        ScriptedDialogs dialogs;
        myWidget w;
        QImage picture = solid(100, 80).convertToFormat(QImage::Format_ARGB32);
        picture.setPixel(99, 79, qRgb(0, 0, 255));
        w.setData(2, 1, picture);
        showActive(w);
        ImageView* view = w.pixImage;
        auto* scroll = w.findChild<QScrollArea*>("imageScroll");
        QCOMPARE(view->zoom(), 0);
        const int fitScale = int(view->scale());
        QVERIFY(fitScale >= 1 && fitScale < 8);
        QCOMPARE(view->pictureRect(), ImageView::placement(QSize(100, 80), view->contentsRect()));

        for (auto [name, factor] : { std::pair { "zoom1", 1 }, { "zoom2", 2 }, { "zoom4", 4 },
                                     { "zoom8", 8 } }) {
            zoomButton(w, name)->click();
            QCOMPARE(view->zoom(), factor);
            QCOMPARE(view->pictureRect().size(), QSize(100, 80) * factor);
            QVERIFY(view->width() >= 100 * factor && view->height() >= 80 * factor);
            QVERIFY(zoomButton(w, name)->isChecked());
        }
        // 800 × 640 does not fit a window of 489 × 488: both scroll bars can move.
        QVERIFY(scroll->horizontalScrollBar()->maximum() > 0);
        QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
        // Scrolled to the far corner, the last pixel shows there as an 8 × 8 square.
        scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        const QImage seen = scroll->viewport()->grab().toImage();
        const QPoint corner = view->mapTo(scroll->viewport(), view->pictureRect().bottomRight());
        QVERIFY(scroll->viewport()->rect().contains(corner));
        QCOMPARE(seen.pixel(corner - QPoint(7, 7)), qRgb(0, 0, 255));
        QCOMPARE(seen.pixel(corner - QPoint(8, 0)), qRgb(200, 40, 40));

        QTest::keyClick(scroll, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(view->zoom(), 0);
        QCOMPARE(int(view->scale()), fitScale);
        QVERIFY(zoomButton(w, "zoomFit")->isChecked());
        QCOMPARE(scroll->horizontalScrollBar()->maximum(), 0);
        QTest::keyClick(scroll, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(view->zoom(), 1);
        QCOMPARE(view->scale(), 1.0);
        // The shortcuts work from anywhere in the window, the OK button included.
        w.pushButton1->setFocus();
        QTest::keyClick(w.pushButton1, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(view->zoom(), 0);

        // Ctrl and the wheel step through the levels from the scale shown; the wheel alone
        // leaves the zoom alone.
        w.findChild<ImagePage*>()->setZoom(1);
        ctrlWheel(view, 1);
        QCOMPARE(view->zoom(), 2);
        ctrlWheel(scroll->viewport(), 1);
        QCOMPARE(view->zoom(), 4);
        ctrlWheel(view, -1);
        QCOMPARE(view->zoom(), 2);
        ctrlWheel(view, 1, Qt::NoModifier);
        QCOMPARE(view->zoom(), 2);
        w.findChild<ImagePage*>()->setZoom(0);
        ctrlWheel(view, 1);
        QCOMPARE(view->zoom(), fitScale == 1 ? 2 : fitScale >= 4 ? 8 : 4);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void pixelGridOnlyFromFourTimes()
    {
        myWidget w;
        w.setData(1, 1, solid(6, 6).convertToFormat(QImage::Format_ARGB32));
        showActive(w);
        auto* grid = w.findChild<QCheckBox*>("pixelGrid");
        ImagePage* page = w.findChild<ImagePage*>();
        auto colourAt = [&](const QPoint& p) { return w.pixImage->grab().toImage().pixel(p); };
        for (int level : { 0, 1, 2 }) {
            page->setZoom(level);
            QVERIFY(!grid->isEnabled());
        }
        page->setZoom(4);
        QVERIFY(grid->isEnabled());
        const QPoint inside = w.pixImage->pictureRect().topLeft() + QPoint(2, 2);
        const QPoint onLine = w.pixImage->pictureRect().topLeft() + QPoint(4, 2);
        QCOMPARE(colourAt(onLine), colourAt(inside));   // no grid until asked
        grid->click();
        QVERIFY(w.pixImage->drawsGrid());
        QVERIFY(colourAt(onLine) != colourAt(inside));
        QCOMPARE(colourAt(inside), qRgb(200, 40, 40));
        // Below 4× the grid is neither drawn nor offered, and comes back at 8×.
        page->setZoom(2);
        QVERIFY(!w.pixImage->drawsGrid());
        QVERIFY(!grid->isEnabled());
        page->setZoom(8);
        QVERIFY(w.pixImage->drawsGrid());
    }

    // The line under the picture: its size, and under the mouse the stored 16-bit value with
    // the colour it gives back, or "transparent".
    void pixelLineTellsTheStoredColour()
    {
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(0u);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        picture.setPixel(1, 0, qRgb(100, 150, 200));
        picture.setPixel(2, 0, qRgb(0, 0, 0));
        picture.setPixel(0, 1, qRgba(100, 150, 200, 0));   // colour under a transparent pixel
        myWidget w;
        w.setData(1, 1, picture);
        showActive(w);
        w.findChild<ImagePage*>()->setZoom(8);
        QCOMPARE(pixelLine(w), QStringLiteral("3 × 2 pixels"));
        const QString size = QStringLiteral("3 × 2 pixels   ·   ");
        hover(w.pixImage, { 0, 0 });
        QCOMPARE(pixelLine(w), size + "pixel 0, 0: 0x7C00 (248, 0, 0)");
        hover(w.pixImage, { 1, 0 });
        QCOMPARE(pixelLine(w), size + "pixel 1, 0: 0x3679 (104, 152, 200)");
        // A static stores black as 0, which the game draws as nothing.
        hover(w.pixImage, { 2, 0 });
        QCOMPARE(pixelLine(w), size + "pixel 2, 0: transparent");
        hover(w.pixImage, { 0, 1 });
        QCOMPARE(pixelLine(w), size + "pixel 0, 1: transparent");
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(w.pixImage, &leave);
        QCOMPARE(pixelLine(w), QStringLiteral("3 × 2 pixels"));

        // On a land tile black is a colour; outside the diamond there is no pixel at all.
        QImage land(44, 44, QImage::Format_ARGB32);
        land.fill(qRgb(0, 0, 0));
        land.setPixel(0, 0, 0u);
        myWidget ground;
        ground.setData(0, 1, land);
        showActive(ground);
        hover(ground.pixImage, { 22, 22 });
        QCOMPARE(pixelLine(ground), QStringLiteral("44 × 44 pixels   ·   pixel 22, 22: 0x0000 (0, 0, 0)"));
        hover(ground.pixImage, { 0, 0 });
        QVERIFY(pixelLine(ground).endsWith(QStringLiteral("pixel 0, 0: transparent")));
    }

    // Copy and Paste on the page's menu; a pasted picture waits for OK or Apply as an imported
    // one does, by the menu and by the main window's Edit → Paste alike, and Cancel drops it.
    void copyAndPasteWaitForOk()
    {
        ScriptedDialogs dialogs;
        const QImage picture = filledImage(12, 9, qRgb(8, 64, 128));
        myWidget source;
        source.setData(2, 1, picture);
        source.show();
        QVERIFY(QTest::qWaitForWindowExposed(&source));
        dialogs.menuAnswers << QStringLiteral("Copy");
        QTest::mouseRelease(source.pixImage, Qt::RightButton);
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32), picture);

        myWidget target;
        target.setData(2, 2, solid(3, 3).convertToFormat(QImage::Format_ARGB32));
        target.tabData->setCurrentIndex(0);
        target.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target));
        EditorProbe sent(target);
        dialogs.menuAnswers << QStringLiteral("Paste");
        QTest::mouseRelease(target.pixImage, Qt::RightButton);
        QCOMPARE(target.image(), picture);
        QCOMPARE(target.pixImage->shownImage(), picture);
        QVERIFY(target.hasUnappliedEdits());
        QCOMPARE(sent.total(), 0);
        target.clickApply();
        QCOMPARE(sent.images, QList<QImage> { picture });
        QVERIFY(!target.hasUnappliedEdits());

        // Edit → Paste of the main window: the same wait; Cancel sends nothing.
        myWidget cancelled;
        cancelled.setData(2, 3, solid(3, 3).convertToFormat(QImage::Format_ARGB32));
        EditorProbe none(cancelled);
        QVERIFY(cancelled.pasteImage(picture));
        QVERIFY(cancelled.hasUnappliedEdits());
        QCOMPARE(none.total(), 0);
        cancelled.clickCancel();
        QCOMPARE(none.total(), 0);

        myWidget accepted;
        accepted.setData(3, 4, QImage());
        EditorProbe one(accepted);
        QVERIFY(accepted.pasteImage(picture));
        QCOMPARE(one.total(), 0);
        accepted.clickOK();
        QCOMPARE(one.images.size(), 1);
        QCOMPARE(one.images.first().size(), QSize(64, 64));   // under Import's rules
        QVERIFY(dialogs.messages.isEmpty());

        // An empty clipboard is said, and changes nothing.
        QGuiApplication::clipboard()->clear();
        dialogs.menuAnswers << QStringLiteral("Paste");
        QTest::mouseRelease(source.pixImage, Qt::RightButton);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(!source.hasUnappliedEdits());
    }

    // A picture too large for its kind is refused with the largest size of its shape that
    // fits; for a static that depends on what the picture shows, and the bound is exact.
    void tooLargeIsToldInPixels()
    {
        ScriptedDialogs dialogs;
        myWidget w;
        w.setData(1, 1, solid(4, 4).convertToFormat(QImage::Format_ARGB32));
        dialogs.fileAnswers << ScriptedDialogs::FileAnswer { writePicture(dir, "square.png", solid(300, 300)),
                                                             QString() };
        w.impImage();
        QVERIFY(!w.hasUnappliedEdits());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages.first().endsWith(
                     "300 × 300 is too large for a static: at most 179 × 179 for a picture like this one."),
                 qPrintable(dialogs.messages.first()));
        QVERIFY(canEncode(Static, solid(179, 179)));
        QVERIFY(!canEncode(Static, solid(180, 180)));
        QVERIFY(!canEncode(Static, solid(179, 181)));

        // Transparent rows take less room: the same size with its upper half empty may be
        // larger than an opaque one.
        QImage half = solid(300, 300).convertToFormat(QImage::Format_ARGB32);
        half.fill(0u);
        for (int y = 150; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                half.setPixel(x, y, qRgb(255, 255, 255));
        QString error;
        QVERIFY(!canEncode(Static, half, &error));
        const QRegularExpressionMatch bound =
            QRegularExpression(QStringLiteral("at most (\\d+) × (\\d+) for a picture like this one")).match(error);
        QVERIFY2(bound.hasMatch(), qPrintable(error));
        QVERIFY(bound.captured(1).toInt() > 179 && bound.captured(1).toInt() < 300);
        QCOMPARE(bound.captured(2), bound.captured(1));

        // A gump's bound is the pixel count its reader allows, whatever the picture shows.
        QVERIFY(!canEncode(Gump, QImage(5000, 5000, QImage::Format_ARGB32), &error));
        QCOMPARE(error, QStringLiteral("5000 × 5000 is too large for a gump: at most 4096 × 4096."));
        QVERIFY(!canEncode(Gump, QImage(40000, 10, QImage::Format_ARGB32), &error));
        QCOMPARE(error, QStringLiteral("40000 × 10 is too large for a gump: at most 32767 × 8."));
    }

    // The README's picture: QM_ZOOM_SCREENSHOT=docs/zoom.png.
    void screenshotOfAZoomedPicture()
    {
        const QString shot = qEnvironmentVariable("QM_ZOOM_SCREENSHOT");
        if (shot.isEmpty())
            QSKIP("set QM_ZOOM_SCREENSHOT to take the screenshot");
        const QImage tree = demoStaticTiles().first().image;
        myWidget w;
        w.setData(1, 0x0C9E, tree);
        showActive(w);
        w.resize(560, 620);
        QTest::qWait(20);
        ImagePage* page = w.findChild<ImagePage*>();
        page->setZoom(8);
        w.findChild<QCheckBox*>("pixelGrid")->setChecked(true);
        // A leaf near the middle of the crown in the middle of the page, the mouse on it.
        const QPoint middle(tree.width() / 2, tree.height() * 2 / 5);
        QPoint crown = middle;
        for (int y = 0; y < tree.height(); ++y)
            for (int x = 0; x < tree.width(); ++x)
                if (qAlpha(tree.pixel(x, y)) && (qAlpha(tree.pixel(crown)) == 0
                        || (QPoint(x, y) - middle).manhattanLength() < (crown - middle).manhattanLength()))
                    crown = QPoint(x, y);
        auto* scroll = w.findChild<QScrollArea*>("imageScroll");
        const QPoint at = w.pixImage->pictureRect().topLeft() + crown * 8;
        scroll->ensureVisible(at.x(), at.y(), scroll->viewport()->width() / 2,
                              scroll->viewport()->height() / 2);
        hover(w.pixImage, crown);
        QTest::qWait(50);
        QVERIFY(w.grab().save(shot));
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
