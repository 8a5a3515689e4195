// The 16-bit file colour and its conversions, which every decoder and encoder relies on.
#include "pixels.h"

#include <QTest>

using namespace qm;

class TestPixels : public QObject {
    Q_OBJECT

private slots:
    void fileColourToImage()
    {
        QCOMPARE(color16ToRgb(0x7FFF), 0xFFF8F8F8u);
        QCOMPARE(color16ToRgb(0x4210), 0xFF808080u);
        QCOMPARE(color16ToRgb(0x001F), 0xFF0000F8u);
        QCOMPARE(color16ToRgb(0x7C00), 0xFFF80000u);
        // Bit 15 is not part of the colour: black stays opaque black.
        QCOMPARE(color16ToRgb(0x0000), 0xFF000000u);
        QCOMPARE(color16ToRgb(qint16(0x8000)), 0xFF000000u);
        QCOMPARE(color16ToRgb(qint16(0xFFFF)), color16ToRgb(0x7FFF));
    }

    void imageColourToFile()
    {
        QCOMPARE(rgbToColor16(qRgb(255, 255, 255)), Color16(0x7FFF));
        QCOMPARE(rgbToColor16(qRgb(8, 8, 8)), Color16(0x0421));
        QCOMPARE(rgbToColor16(qRgb(128, 64, 32)), Color16(0x3CE3));
        QCOMPARE(rgbToColor16(qRgb(0, 0, 0)), Color16(0));
        // A very dark channel never becomes 0, so only pure black reads as transparent.
        QCOMPARE(rgbToColor16(qRgb(1, 0, 0)), Color16(0x0400));
        QCOMPARE(rgbToColor16(qRgb(0, 0, 1)), Color16(0x0001));
        // rgbToColor16 ignores alpha; the encoders' stored value treats alpha 0 as empty.
        QCOMPARE(rgbToColor16(qRgba(128, 64, 32, 0)), Color16(0x3CE3));
        QCOMPARE(rgbToColor16(qRgba(128, 64, 32, 7)), Color16(0x3CE3));
        QCOMPARE(storedColor16(qRgba(128, 64, 32, 7)), Color16(0x3CE3));
        QCOMPARE(storedColor16(qRgba(255, 255, 255, 0)), Color16(0));
    }

    // Every file colour, decoded and encoded again, keeps channels 0 and 1 and loses one
    // step on every other channel: an unedited image saved again comes back darker.
    void decodeEncodeCycleDarkensByOneStep()
    {
        auto darker = [](int v) { return v < 2 ? v : v - 1; };
        for (int c = 0; c < 0x8000; ++c) {
            const int r = (c >> 10) & 31, g = (c >> 5) & 31, b = c & 31;
            const Color16 expected = Color16(darker(r) << 10 | darker(g) << 5 | darker(b));
            if (rgbToColor16(color16ToRgb(qint16(c))) != expected)
                QFAIL(qPrintable(QStringLiteral("colour 0x%1").arg(c, 0, 16)));
        }
        QCOMPARE(rgbToColor16(color16ToRgb(0x7FFF)), Color16(0x7BDE));
    }
};

QTEST_GUILESS_MAIN(TestPixels)
#include "tst_pixels.moc"
