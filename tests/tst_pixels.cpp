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
        QCOMPARE(rgbToColor16(qRgb(128, 64, 32)), Color16(0x4104));
        QCOMPARE(rgbToColor16(qRgb(252, 3, 4)), Color16(0x7C21));   // nearest level, capped at 31
        QCOMPARE(rgbToColor16(qRgb(0, 0, 0)), Color16(0));
        // A very dark channel never becomes 0, so only pure black reads as transparent.
        QCOMPARE(rgbToColor16(qRgb(1, 0, 0)), Color16(0x0400));
        QCOMPARE(rgbToColor16(qRgb(0, 0, 1)), Color16(0x0001));
        // rgbToColor16 ignores alpha; the encoders' stored value treats alpha 0 as empty.
        QCOMPARE(rgbToColor16(qRgba(128, 64, 32, 0)), Color16(0x4104));
        QCOMPARE(rgbToColor16(qRgba(128, 64, 32, 7)), Color16(0x4104));
        QCOMPARE(storedColor16(qRgba(128, 64, 32, 7)), Color16(0x4104));
        QCOMPARE(storedColor16(qRgba(255, 255, 255, 0)), Color16(0));
    }

    // Decoding and encoding again gives back every file colour (bit 15 aside): an unedited
    // image saved again, or moved to another directory, keeps its colours.
    void decodeEncodeCycleKeepsEveryColour()
    {
        for (int c = 0; c < 0x10000; ++c) {
            if (rgbToColor16(color16ToRgb(qint16(c))) != Color16(c & 0x7FFF))
                QFAIL(qPrintable(QStringLiteral("colour 0x%1").arg(c, 0, 16)));
        }
    }
};

QTEST_GUILESS_MAIN(TestPixels)
#include "tst_pixels.moc"
