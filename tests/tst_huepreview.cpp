// Previewing a hue: the item window's image page shows the picture hued by the game's rule
// (partial for a static with the Partial Hue flag, full otherwise) without changing the item,
// Export writes the stored picture unless "Export as shown" is checked, and the decoders that
// hue while they decode give exactly what hueing the decoded picture gives.
#include "artcodec.h"
#include "cataloguepanes.h"
#include "demohues.h"
#include "huechooser.h"
#include "hueapply.h"
#include "imagepage.h"
#include "imageview.h"
#include "itemwindowset.h"
#include "mywidget.h"
#include "pixels.h"
#include "thumbnailcache.h"
#include "windowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

constexpr int kHue = 5;

// Greys, a colour and transparency: what tells a full hue from a partial one.
QImage mixedPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(0u);
    for (int y = 0; y < height; ++y)
        for (int x = 1; x < width; ++x) {
            const int level = (x * 7 + y * 3) % 32;
            image.setPixel(x, y, x % 3 == 0 ? color16ToRgb(qint16((20 << 10) | (3 << 5) | 9))
                                            : qRgb(level * 8, level * 8, level * 8));
        }
    return image;
}

struct PreviewFixture : MainWindowFixture {
    PreviewFixture()
    {
        // The session reads hues.mul with the directory: read it again with the hues there.
        writeBytes(dir.path() + QStringLiteral("/hues.mul"), demoHueFileBytes(2));
        w->editSession()->open(dir.path());
    }
    EditSession& session() { return *w->editSession(); }
};

} // namespace

class TestHuePreview : public QObject {
    Q_OBJECT

private slots:
    void previewOnEveryKindHuesAndChangesNothing()
    {
        PreviewFixture f;
        QVERIFY(f.session().setImage(Static, 1, mixedPicture(12, 9)));
        QVERIFY(f.session().setImage(Gump, 1, mixedPicture(10, 6)));
        tile_struct partial = f.session().tile(Static, 2);
        partial.flags |= kPartialHueFlag;
        QVERIFY(f.session().setTile(Static, 2, partial));
        QVERIFY(f.session().setImage(Static, 2, mixedPicture(8, 8)));
        const int historyBefore = f.session().canUndo();
        const HueEntry hue = *f.session().hues().hue(kHue);

        struct Case {
            ItemKind kind;
            int id;
            HueMode expectedMode;
        };
        for (const Case& c : { Case { Static, 1, HueMode::Full }, Case { Static, 2, HueMode::Partial },
                               Case { Gump, 1, HueMode::Full }, Case { Land, 0, HueMode::Full },
                               Case { Texture, 3, HueMode::Full } }) {
            const QImage stored = f.session().image(c.kind, c.id);
            QVERIFY2(!stored.isNull(), qPrintable(kindName(c.kind)));
            myWidget* editor = f.w->itemWindows()->open(c.kind, c.id);
            QVERIFY(editor);
            ImagePage* page = editor->tab;
            HueChooser* chooser = page->hueChooser();
            QCOMPARE(chooser->hues().count(), 16);
            QCOMPARE(chooser->findChild<QComboBox*>("hueList")->count(), 17);
            QCOMPARE(chooser->mode(), c.expectedMode);
            QCOMPARE(chooser->hueNumber(), 0);
            QCOMPARE(editor->pixImage->shownImage(), stored);

            chooser->findChild<QSpinBox*>("hueNumber")->setValue(kHue);
            const QImage expected = applyHue(stored, hue, c.expectedMode);
            QCOMPARE(editor->pixImage->shownImage(), expected);
            QVERIFY(expected != stored);
            // The page's picture, its pixel line and the session keep the stored colours.
            QCOMPARE(page->picture(), stored);
            QCOMPARE(f.session().image(c.kind, c.id), stored);
            QVERIFY(!editor->hasUnappliedEdits());

            // The list shows the same choice, and the Partial box switches the mode at once.
            QCOMPARE(chooser->findChild<QComboBox*>("hueList")->currentIndex(), kHue);
            chooser->findChild<QCheckBox*>("huePartial")->toggle();
            const HueMode other = c.expectedMode == HueMode::Full ? HueMode::Partial : HueMode::Full;
            QCOMPARE(editor->pixImage->shownImage(), applyHue(stored, hue, other));
            chooser->findChild<QComboBox*>("hueList")->setCurrentIndex(0);
            QCOMPARE(chooser->hueNumber(), 0);
            QCOMPARE(editor->pixImage->shownImage(), stored);
            editor->clickOK();
        }
        QCOMPARE(int(f.session().canUndo()), historyBefore);
        QVERIFY(!f.session().isEdited(Texture, 3));
        QVERIFY(!f.session().isEdited(Land, 0));
    }

    // Hue edits applied but not saved are what the previews draw with: an item window opened
    // after the edit, one already open, and the grid's preview hue, each following undo too.
    void previewsFollowUnsavedHueEdits()
    {
        PreviewFixture f;
        QVERIFY(f.session().setImage(Static, 1, mixedPicture(12, 9)));
        const QImage stored = f.session().image(Static, 1);
        const HueEntry original = *f.session().hues().hue(kHue);
        HueEntry red = original;
        HueEntry blue = original;
        for (int i = 0; i < kHueColorCount; ++i) {
            red.colors[size_t(i)] = quint16(i << 10);
            blue.colors[size_t(i)] = quint16(31 - i);
        }
        QVERIFY(f.session().setHue(kHue, red));

        myWidget* editor = f.w->itemWindows()->open(Static, 1);
        QVERIFY(editor);
        HueChooser* chooser = editor->tab->hueChooser();
        chooser->setHueNumber(kHue);
        QCOMPARE(editor->pixImage->shownImage(), applyHue(stored, red, HueMode::Full));

        CataloguePanes* panes = f.w->cataloguePanes();
        QVERIFY(panes->setPreviewHue(kHue));
        ThumbnailCache* cache = panes->thumbnails();
        auto thumbnail = [&] {
            cache->thumbnail(Static, 1);
            cache->waitUntilIdle();
            return cache->thumbnail(Static, 1).toImage().convertToFormat(QImage::Format_ARGB32);
        };
        auto expected = [&](const HueEntry& hue) {
            return ThumbnailCache::fitToCell(applyHue(stored, hue, HueMode::Full), cache->cellSize())
                .convertToFormat(QImage::Format_ARGB32);
        };
        QCOMPARE(thumbnail(), expected(red));

        QVERIFY(f.session().setHue(kHue, blue));
        QVERIFY(chooser->hue()->colors == blue.colors);
        QCOMPARE(editor->pixImage->shownImage(), applyHue(stored, blue, HueMode::Full));
        QCOMPARE(thumbnail(), expected(blue));

        f.session().undo();
        f.session().undo();
        QCOMPARE(editor->pixImage->shownImage(), applyHue(stored, original, HueMode::Full));
        QCOMPARE(thumbnail(), expected(original));
        editor->clickCancel();
    }

    void hueExactOnGreyColouredAndTransparentPixels()
    {
        PreviewFixture f;
        QVERIFY(f.session().setImage(Static, 1, mixedPicture(12, 9)));
        myWidget* editor = f.w->itemWindows()->open(Static, 1);
        editor->tab->hueChooser()->setHueNumber(kHue);
        const HueEntry hue = *f.session().hues().hue(kHue);
        const QImage shown = editor->pixImage->shownImage();
        QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);   // transparent stays so
        // A grey pixel of level 7 takes the ramp's colour 7; the coloured one its red level's.
        const QImage stored = editor->tab->picture();
        QCOMPARE(stored.pixel(1, 0), qRgb(56, 56, 56));
        QCOMPARE(shown.pixel(1, 0), color16ToRgb(qint16(hue.colors[7])));
        QCOMPARE(shown.pixel(3, 0), color16ToRgb(qint16(hue.colors[20])));
        editor->tab->hueChooser()->setMode(HueMode::Partial);
        QCOMPARE(editor->pixImage->shownImage().pixel(3, 0), stored.pixel(3, 0));
        QCOMPARE(editor->pixImage->shownImage().pixel(1, 0), color16ToRgb(qint16(hue.colors[7])));
    }

    void exportWritesStoredUnlessAsShown()
    {
        PreviewFixture f;
        QVERIFY(f.session().setImage(Gump, 1, mixedPicture(10, 6)));
        myWidget* editor = f.w->itemWindows()->open(Gump, 1);
        ImagePage* page = editor->tab;
        page->hueChooser()->setHueNumber(kHue);
        QTemporaryDir out;
        const QString storedPath = out.filePath("stored.png");
        const QString shownPath = out.filePath("shown.png");
        f.dialogs.fileAnswers << ScriptedDialogs::FileAnswer { storedPath, "PNG (*.png)" };
        page->exportPicture();
        QVERIFY(!page->exportAsShownAction()->isChecked());
        page->exportAsShownAction()->setChecked(true);
        f.dialogs.fileAnswers << ScriptedDialogs::FileAnswer { shownPath, "PNG (*.png)" };
        page->exportPicture();
        const QImage stored = f.session().image(Gump, 1);
        QCOMPARE(QImage(storedPath).convertToFormat(QImage::Format_ARGB32), stored);
        QCOMPARE(QImage(shownPath).convertToFormat(QImage::Format_ARGB32),
                 applyHue(stored, *f.session().hues().hue(kHue), HueMode::Full));
    }

    void missingHueFileOffersNoHue()
    {
        MainWindowFixture f;
        myWidget* editor = f.w->itemWindows()->open(Texture, 3);
        QCOMPARE(editor->tab->hueChooser()->hues().count(), 0);
        editor->tab->hueChooser()->setHueNumber(4);
        QCOMPARE(editor->tab->hueChooser()->hueNumber(), 0);
        QCOMPARE(editor->pixImage->shownImage(), f.w->editSession()->image(Texture, 3));
    }

    // The README's picture: QM_HUE_SCREENSHOT=docs/hued-gump.png.
    void screenshotOfAHuedGump()
    {
        const QString shot = qEnvironmentVariable("QM_HUE_SCREENSHOT");
        if (shot.isEmpty())
            QSKIP("set QM_HUE_SCREENSHOT to take the screenshot");
        myWidget w;
        w.setData(Gump, 0x63, demoGreyGump());
        w.tab->setHues(parseHueFile(demoHueFileBytes(kUsualHueGroups)));
        w.tab->hueChooser()->setHueNumber(qEnvironmentVariableIntValue("QM_HUE_SCREENSHOT_HUE") > 0
                                              ? qEnvironmentVariableIntValue("QM_HUE_SCREENSHOT_HUE")
                                              : 0x2B);
        w.resize(620, 560);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(50);
        QVERIFY(w.grab().save(shot));
    }

    // Hueing inside the decoder gives what hueing the plain decode gives, for every kind and
    // both modes, damaged records included.
    void colouredDecodersAgreeWithHueingAfter()
    {
        const HueEntry hue = parseHueEntry(demoHueFileBytes(1).constData() + kHueGroupHeaderSize + kHueEntrySize * 3);
        const QImage picture = mixedPicture(23, 17);
        const QImage land = mixedPicture(44, 44);
        const QImage texture = mixedPicture(64, 64);
        for (HueMode mode : { HueMode::Full, HueMode::Partial }) {
            const QVector<QRgb> colors = huedColorTable(hue, mode);
            auto check = [&](const QImage& plain, const QImage& coloured, const char* what) {
                QVERIFY2(!plain.isNull(), what);
                // Stored 0 inside a static's run decodes opaque black and hues as the table
                // says; everywhere else the two ways agree pixel for pixel.
                QCOMPARE(coloured.size(), plain.size());
                const HueTable table(hue, mode);
                for (int y = 0; y < plain.height(); ++y)
                    for (int x = 0; x < plain.width(); ++x) {
                        const QRgb p = plain.pixel(x, y);
                        const QRgb expected = qAlpha(p) == 0 ? p : (p == 0xFF000000u ? colors[0] : table.apply(p));
                        QVERIFY2(coloured.pixel(x, y) == expected, what);
                    }
            };
            const QByteArray s = encodeStatic(picture);
            check(decodeStatic(s), decodeStaticColored(s, colors.constData()), "static");
            check(decodeStatic(s.left(s.size() / 2)), decodeStaticColored(s.left(s.size() / 2), colors.constData()),
                  "cut static");
            const QByteArray g = encodeGump(picture);
            check(decodeGump(g, 23, 17), decodeGumpColored(g, 23, 17, colors.constData()), "gump");
            const QByteArray l = encodeLand(land);
            check(decodeLand(l), decodeLandColored(l, colors.constData()), "land");
            const QByteArray t = encodeTexture(texture);
            check(decodeTexture(t, 64), decodeTextureColored(t, 64, colors.constData()), "texture");
        }
    }
};

QTEST_MAIN(TestHuePreview)
#include "tst_huepreview.moc"
