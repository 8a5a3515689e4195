// Art, gump and texture records: exact layouts on hand-built records, encode/decode round
// trips, and broken records that must give null or partial images without crashing.
#include "artcodec.h"
#include "itemkind.h"
#include "littleendian.h"
#include "pixels.h"
#include "testdata.h"

#include <QRandomGenerator>
#include <QTest>

using namespace qm;

namespace {

// Little-endian 16-bit values, written as the files hold them.
QByteArray words(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        appendU16(out, quint16(v));
    return out;
}

QByteArray dwords(std::initializer_list<qint64> values)
{
    QByteArray out;
    for (qint64 v : values)
        appendU32(out, quint32(v));
    return out;
}

quint16 wordAt(const QByteArray& bytes, qint64 index)
{
    return readU16(bytes.constData() + 2 * index);
}

bool insideLandDiamond(int x, int y)
{
    const int first = y < 22 ? 21 - y : y - 22;
    const int count = y < 22 ? 2 + 2 * y : 44 - 2 * (y - 22);
    return x >= first && x < first + count;
}

// An image of file colours (what decoding yields), with transparent pixels where
// `transparentEvery` says so (0: none).
QImage randomFileImage(int width, int height, quint32 seed, int transparentEvery)
{
    QRandomGenerator rng(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool hole = transparentEvery && rng.bounded(transparentEvery) == 0;
            // Runs of equal colours, as pictures have, so gump pairs get longer than 1.
            const quint16 c = quint16(1 + rng.bounded(0x7FFF));
            image.setPixel(x, y, hole ? 0u : color16ToRgb(qint16(x % 3 ? c : 0x1234)));
        }
    }
    return image;
}

// What an encode-decode cycle makes of a pixel: stored as 16 bits, then decoded.
QRgb afterCycle(QRgb pixel, bool zeroIsTransparent)
{
    const Color16 c = storedColor16(pixel);
    return (c == 0 && zeroIsTransparent) ? 0u : color16ToRgb(qint16(c));
}

} // namespace

class TestArtCodec : public QObject {
    Q_OBJECT

private slots:
    void landRecordIsTheDiamondRowByRow()
    {
        QByteArray record;
        for (int i = 0; i < 1012; ++i)
            appendU16(record, 0x001F);
        DecodeReport report;
        const QImage image = decodeLand(record, &report);
        QCOMPARE(image.size(), QSize(44, 44));
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        QVERIFY(report.complete);
        QCOMPARE(report.extent, qint64(kLandRecordSize));
        int blue = 0;
        for (int y = 0; y < 44; ++y) {
            for (int x = 0; x < 44; ++x) {
                const QRgb expected = insideLandDiamond(x, y) ? 0xFF0000F8u : 0u;
                QCOMPARE(image.pixel(x, y), expected);
                blue += image.pixel(x, y) != 0;
            }
        }
        QCOMPARE(blue, 1012);
        QCOMPARE(image.pixel(21, 0), 0xFF0000F8u);
        QCOMPARE(image.pixel(20, 0), 0u);
        QCOMPARE(image.pixel(23, 0), 0u);
        QCOMPARE(image.pixel(0, 21), 0xFF0000F8u);
        QCOMPARE(image.pixel(43, 22), 0xFF0000F8u);

        // Encoding: the first value is pixel (21, 0), the last pixel (22, 43).
        QImage drawn = filledImage(44, 44, 0);
        drawn.setPixel(21, 0, color16ToRgb(0x7C00));
        drawn.setPixel(22, 43, color16ToRgb(0x03E0));
        drawn.setPixel(0, 0, color16ToRgb(0x7FFF));   // outside the diamond: not stored
        const QByteArray encoded = encodeLand(drawn);
        QCOMPARE(encoded.size(), kLandRecordSize);
        QCOMPARE(wordAt(encoded, 0), quint16(0x7C00));
        QCOMPARE(wordAt(encoded, 1011), quint16(0x03E0));
        QCOMPARE(wordAt(encoded, 1), quint16(0));         // black and transparent are 0

        QString error;
        QVERIFY(encodeLand(QImage(44, 45, QImage::Format_ARGB32), &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("44")));
    }

    void staticRunsSkipsAndBlackValues()
    {
        // Width 3, height 1, lookup 0, row (1, 1, white) (0, 0).
        QByteArray record = dwords({ 0 }) + words({ 3, 1, 0, 1, 1, 0x7FFF, 0, 0 });
        QImage image = decodeStatic(record);
        QCOMPARE(image.size(), QSize(3, 1));
        QCOMPARE(image.pixel(0, 0), 0u);
        QCOMPARE(image.pixel(1, 0), 0xFFF8F8F8u);
        QCOMPARE(image.pixel(2, 0), 0u);

        // Skips count from the end of the previous run; a value 0 inside a run is opaque black.
        record = dwords({ 0 }) + words({ 5, 2, 0, 9, 0, 2, 0x7C00, 0x0000, 1, 1, 0x001F, 0, 0,
                                         0, 0 });
        DecodeReport report;
        image = decodeStatic(record, &report);
        QVERIFY(report.complete);
        QCOMPARE(report.extent, qint64(record.size()));
        QCOMPARE(image.pixel(0, 0), 0xFFF80000u);
        QCOMPARE(image.pixel(1, 0), 0xFF000000u);
        QCOMPARE(image.pixel(2, 0), 0u);
        QCOMPARE(image.pixel(3, 0), 0xFF0000F8u);
        QCOMPARE(image.pixel(4, 0), 0u);
        for (int x = 0; x < 5; ++x)
            QCOMPARE(image.pixel(x, 1), 0u);   // row 1: just (0, 0)

        // A run reaching past the width draws only inside the image.
        record = dwords({ 0 }) + words({ 2, 1, 0, 1, 3, 0x7FFF, 0x7FFF, 0x7FFF, 0, 0 });
        image = decodeStatic(record);
        QCOMPARE(image.pixel(0, 0), 0u);
        QCOMPARE(image.pixel(1, 0), 0xFFF8F8F8u);
    }

    void staticEncoderLayout()
    {
        // No visible pixel: 8 + 6 * height bytes, every row just (0, 0).
        QImage black = filledImage(4, 3, 0xFF000000u);
        QByteArray out = encodeStatic(black);
        QCOMPARE(out.size(), 8 + 6 * 3);
        QCOMPARE(readU32(out.constData()), quint32(6 * 3));
        QCOMPARE(readU16(out.constData() + 4), quint16(4));
        QCOMPARE(readU16(out.constData() + 6), quint16(3));
        for (int y = 0; y < 3; ++y)
            QCOMPARE(readU16(out.constData() + 8 + 2 * y), quint16(2 * y));

        // black, A, B, black, black, C -> (1, 2, A, B) (2, 1, C) (0, 0)
        QImage row(6, 1, QImage::Format_ARGB32);
        const QRgb a = color16ToRgb(0x7C00), b = color16ToRgb(0x03E0), c = color16ToRgb(0x001F);
        const QRgb pixels[] = { 0xFF000000u, a, b, 0u, 0xFF000000u, c };
        for (int x = 0; x < 6; ++x)
            row.setPixel(x, 0, pixels[x]);
        out = encodeStatic(row);
        const QByteArray expectedRow = words({ 1, 2, rgbToColor16(a), rgbToColor16(b), 2, 1,
                                               rgbToColor16(c), 0, 0 });
        QCOMPARE(out.mid(10), expectedRow);
        QCOMPARE(readU32(out.constData()), quint32(out.size() - 8));

        // A picture with colour under fully transparent pixels stores them as transparent.
        QImage hidden(2, 1, QImage::Format_ARGB32);
        hidden.setPixel(0, 0, qRgba(255, 255, 255, 0));
        hidden.setPixel(1, 0, a);
        QCOMPARE(encodeStatic(hidden).mid(10), words({ 1, 1, rgbToColor16(a), 0, 0 }));
    }

    void staticEncoderRefusesWhatItsTablesCannotAddress()
    {
        // Opaque noise: every row ~400 bytes, so row 170 or so starts past 32,767 words.
        const QImage big = randomFileImage(200, 200, 7, 0);
        QString error;
        QVERIFY(encodeStatic(big, &error).isEmpty());
        QVERIFY2(error.startsWith(QStringLiteral("200 × 200 is too large for a static: at most "))
                     && error.endsWith(QStringLiteral(" for a picture like this one.")),
                 qPrintable(error));
        QVERIFY(!canEncode(Static, big));
        // The same picture with fewer rows fits, and decodes back.
        const QImage fits = big.copy(0, 0, 200, 100);
        const QByteArray record = encodeStatic(fits, &error);
        QVERIFY(!record.isEmpty());
        QVERIFY(canEncode(Static, fits));
        QCOMPARE(decodeStatic(record).size(), fits.size());

        error.clear();
        QVERIFY(encodeStatic(QImage(32768, 1, QImage::Format_ARGB32), &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("32767")));
    }

    void gumpPairsAndTransparency()
    {
        QCOMPARE(gumpWidthFromExtra(0x00030002), 3);
        QCOMPARE(gumpHeightFromExtra(0x00030002), 2);
        QCOMPARE(gumpExtraFor(3, 2), 0x00030002u);

        // Width 3, height 1: table value 1, then (red, 2) (0, 1).
        QByteArray record = dwords({ 1 }) + words({ 0x7C00, 2, 0x0000, 1 });
        QImage image = decodeGump(record, 3, 1);
        QCOMPARE(image.pixel(0, 0), 0xFFF80000u);
        QCOMPARE(image.pixel(1, 0), 0xFFF80000u);
        QCOMPARE(image.pixel(2, 0), 0u);

        // 0x8000 is black too, so transparent; one pair may cover the whole row.
        record = dwords({ 2, 3 }) + words({ 0x8000, 3, 0x03E0, 3 });
        DecodeReport report;
        image = decodeGump(record, 3, 2, &report);
        QVERIFY(report.complete);
        QCOMPARE(report.extent, qint64(record.size()));
        for (int x = 0; x < 3; ++x) {
            QCOMPARE(image.pixel(x, 0), 0u);
            QCOMPARE(image.pixel(x, 1), 0xFF00F800u);
        }

        // Encoder: A, A, B -> (A, 2) (B, 1); black is stored as 0 like any colour.
        QImage row(4, 1, QImage::Format_ARGB32);
        const QRgb a = color16ToRgb(0x7C00), b = color16ToRgb(0x001F);
        row.setPixel(0, 0, a);
        row.setPixel(1, 0, a);
        row.setPixel(2, 0, b);
        row.setPixel(3, 0, 0xFF000000u);
        QCOMPARE(encodeGump(row), dwords({ 1 }) + words({ rgbToColor16(a), 2, rgbToColor16(b), 1,
                                                          0, 1 }));
    }

    // Counts are read back as signed 16-bit and widths are 16-bit halves of the index
    // extra: the widest gump, one colour, is one pair of 32,767; wider ones are refused.
    void gumpWidthLimits()
    {
        QImage widest = filledImage(kMaxArtSide, 2, color16ToRgb(0x0421));
        widest.setPixel(0, 1, color16ToRgb(0x0400));
        const QByteArray record = encodeGump(widest);
        QCOMPARE(record, dwords({ 2, 3 }) + words({ 0x0421, 32767, 0x0400, 1, 0x0421, 32766 }));
        QCOMPARE(decodeGump(record, widest.width(), 2), widest);

        QImage wide = filledImage(kMaxArtSide + 1, 1, color16ToRgb(0x0421));
        QString error;
        QVERIFY(encodeGump(wide, &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("32767")));
        QVERIFY(!canEncode(Gump, wide));
    }

    void textureSizeFollowsTheExtraField()
    {
        QCOMPARE(textureSizeForExtra(1), 128);
        for (quint32 extra : { 0u, 2u, 0xFFFFFFFFu })
            QCOMPARE(textureSizeForExtra(extra), 64);
        QCOMPARE(textureExtraFor(128), 1u);
        QCOMPARE(textureExtraFor(64), 0u);

        // All values 0: opaque black, not transparent.
        const QImage image = decodeTexture(QByteArray(2 * 64 * 64, '\0'), 64);
        QCOMPARE(image.size(), QSize(64, 64));
        for (int y = 0; y < 64; y += 9)
            for (int x = 0; x < 64; x += 7)
                QCOMPARE(image.pixel(x, y), 0xFF000000u);
        // A 128 record read as 64 uses only its first 8,192 bytes.
        DecodeReport report;
        QCOMPARE(decodeTexture(QByteArray(2 * 128 * 128, '\x11'), 64, &report).size(), QSize(64, 64));
        QCOMPARE(report.extent, qint64(8192));

        QVERIFY(encodeTexture(QImage(64, 128, QImage::Format_ARGB32)).isEmpty());
        QCOMPARE(encodeTexture(image).size(), 8192);
        QImage big = filledImage(128, 128, 0xFF000000u);
        QCOMPARE(encodeTexture(big), QByteArray(32768, '\0'));
    }

    void roundTripsForEveryKind()
    {
        QString error;
        // Land: only the diamond survives; black and transparent both come back black.
        QImage land = randomFileImage(44, 44, 1, 9);
        QImage back = decodeLand(encodeLand(land));
        for (int y = 0; y < 44; ++y)
            for (int x = 0; x < 44; ++x)
                QCOMPARE(back.pixel(x, y), insideLandDiamond(x, y) ? afterCycle(land.pixel(x, y), false) : 0u);

        for (int size : { 64, 128 }) {
            const QImage tex = randomFileImage(size, size, quint32(size), 11);
            back = decodeTexture(encodeTexture(tex, &error), size);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    QCOMPARE(back.pixel(x, y), afterCycle(tex.pixel(x, y), false));
        }

        // Statics and gumps of several shapes, with holes: black becomes transparent.
        const QSize sizes[] = { { 1, 1 }, { 1, 37 }, { 37, 1 }, { 45, 90 }, { 130, 17 } };
        quint32 seed = 100;
        for (const QSize s : sizes) {
            for (int holes : { 0, 2, 5 }) {
                const QImage img = randomFileImage(s.width(), s.height(), ++seed, holes);
                const QImage st = decodeStatic(encodeStatic(img, &error));
                const QImage gu = decodeGump(encodeGump(img, &error), s.width(), s.height());
                QCOMPARE(st.size(), s);
                QCOMPARE(gu.size(), s);
                for (int y = 0; y < s.height(); ++y) {
                    for (int x = 0; x < s.width(); ++x) {
                        QCOMPARE(st.pixel(x, y), afterCycle(img.pixel(x, y), true));
                        QCOMPARE(gu.pixel(x, y), afterCycle(img.pixel(x, y), true));
                    }
                }
            }
        }
    }

    // The gump decoder writes short runs wider than they are and lets the next run overwrite
    // the surplus: runs of every length from 1 to 19, ending anywhere up to the row's end,
    // transparent ones among them, must still give exactly the picture.
    void gumpRunsOfEveryLengthToTheRowEnd()
    {
        for (int width = 1; width <= 41; width += 4) {
            QImage img(width, 19, QImage::Format_ARGB32);
            for (int y = 0; y < img.height(); ++y) {
                int runLength = y + 1, left = runLength, colour = 1;
                for (int x = 0; x < width; ++x) {
                    if (left-- == 0) {
                        runLength = runLength % 19 + 1;
                        left = runLength - 1;
                        ++colour;
                    }
                    img.setPixel(x, y, colour % 4 == 0 ? 0u : color16ToRgb(qint16(colour * 0x0421)));
                }
            }
            QImage expected = img;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < width; ++x)
                    expected.setPixel(x, y, afterCycle(img.pixel(x, y), true));
            QCOMPARE(decodeGump(encodeGump(img), width, img.height()), expected);
        }
    }

    // Decoding a static record and encoding it again gives the same layout and colours; only
    // a 0 inside a run (opaque black when decoded) splits that run in two.
    void decodeEncodeCycleOfAStaticRecord()
    {
        const QByteArray record = dwords({ 0 }) + words({ 4, 1, 0, 0, 4, 0x7FFF, 0, 0x0842, 0x0421,
                                                          0, 0 });
        const QByteArray again = encodeStatic(decodeStatic(record));
        QCOMPARE(again.mid(10), words({ 0, 1, 0x7FFF, 1, 2, 0x0842, 0x0421, 0, 0 }));
    }

    void brokenRecordsGiveNullOrPartialImages()
    {
        DecodeReport report;
        // Short land record: the rows that are there, the rest transparent.
        QImage image = decodeLand(words({ 0x7FFF, 0x7FFF, 0x7FFF }), &report);
        QVERIFY(!report.complete);
        QCOMPARE(image.pixel(21, 0), 0xFFF8F8F8u);
        QCOMPARE(image.pixel(20, 1), 0xFFF8F8F8u);
        QCOMPARE(image.pixel(21, 1), 0u);
        QVERIFY(decodeLand(QByteArray()).isNull());

        // A static claiming 30000 x 30000 from 20 bytes: its row table can't be there.
        QByteArray huge = dwords({ 12 }) + words({ 30000, 30000, 0, 0, 1, 0x7FFF, 0, 0 });
        QVERIFY(decodeStatic(huge, &report).isNull());
        QVERIFY(!report.complete);
        // ... nor a static whose width and height multiply beyond the pixel cap.
        QByteArray wide = dwords({ 0 }) + words({ 32767, 32767 }) + QByteArray(2 * 32767 + 4, '\0');
        QVERIFY(decodeStatic(wide).isNull());
        // Width or height 0 or negative.
        QVERIFY(decodeStatic(dwords({ 0 }) + words({ 0, 1, 0, 0, 0 })).isNull());
        QVERIFY(decodeStatic(dwords({ 0 }) + words({ 3, -1, 0, 0, 0 })).isNull());
        QVERIFY(decodeStatic(dwords({ 0 }) + words({ 3 })).isNull());
        // A lookup value outside the record leaves that row empty, the others drawn.
        image = decodeStatic(dwords({ 0 }) + words({ 1, 2, 0x4000, 0, 0, 1, 0x7FFF, 0, 0 }), &report);
        QVERIFY(!report.complete);
        QCOMPARE(image.pixel(0, 0), 0u);
        QCOMPARE(image.pixel(0, 1), 0xFFF8F8F8u);
        // Negative skips or counts end the row; a row without its (0, 0) ends with the data.
        image = decodeStatic(dwords({ 0 }) + words({ 3, 1, 0, 1, 1, 0x7FFF, -1, 2, 0x7C00, 0x7C00 }), &report);
        QVERIFY(!report.complete);
        QCOMPARE(image.pixel(1, 0), 0xFFF8F8F8u);
        QCOMPARE(image.pixel(0, 0), 0u);
        image = decodeStatic(dwords({ 0 }) + words({ 3, 1, 0, 0, 3, 0x7FFF }), &report);
        QVERIFY(!report.complete);
        QCOMPARE(image.pixel(0, 0), 0xFFF8F8F8u);
        QCOMPARE(image.pixel(1, 0), 0u);

        // Gumps: a row table outside the record, a huge size from a few bytes, pairs that
        // don't advance x, a row offset that is negative or past the end.
        QVERIFY(decodeGump(dwords({ 1 }), 3, 2).isNull());
        QVERIFY(decodeGump(dwords({ 1, 1, 1, 1, 1 }), 30000, 30000).isNull());
        QVERIFY(decodeGump(dwords({ 1 }) + words({ 0x7FFF, 1 }), 0, 1).isNull());
        QVERIFY(decodeGump(dwords({ 1 }) + words({ 0x7FFF, 1 }), 1, -1).isNull());
        image = decodeGump(dwords({ 2, 2 }) + words({ 0x7FFF, 1, 0x7C00, 0, 0x001F, 5 }), 3, 2, &report);
        QVERIFY(!report.complete);
        QCOMPARE(image.pixel(0, 0), 0xFFF8F8F8u);
        QCOMPARE(image.pixel(1, 0), 0u);
        image = decodeGump(dwords({ -1, 0x7FFFFFFF, 3 }) + words({ 0x7FFF, 2 }), 2, 3, &report);
        QVERIFY(!report.complete);
        QCOMPARE(image.pixel(0, 0), 0u);
        QCOMPARE(image.pixel(1, 1), 0u);
        QCOMPARE(image.pixel(1, 2), 0xFFF8F8F8u);

        // Textures: a short record gives the rows that are there; odd sizes nothing.
        image = decodeTexture(QByteArray(2 * 64 + 2, '\xff'), 64, &report);
        QVERIFY(!report.complete);
        QCOMPARE(image.pixel(63, 0), 0xFFF8F8F8u);
        QCOMPARE(image.pixel(0, 1), 0xFFF8F8F8u);
        QCOMPARE(image.pixel(1, 1), 0u);
        QVERIFY(decodeTexture(QByteArray(8192, '\0'), 32).isNull());
    }

    // Channels that are not multiples of 8 go to the nearest of the 32 levels, in every
    // encoder: 3 -> 1 (no dark channel becomes 0), 11 -> 1, 12 -> 2, 251 -> 31. An encoder
    // that truncated would store 12 as 1 and darken every picture a little on each import.
    void encodersRoundChannelsToTheNearestLevel()
    {
        const struct {
            int channel;
            int level;
        } cases[] = { { 3, 1 }, { 11, 1 }, { 12, 2 }, { 251, 31 }, { 19, 2 }, { 20, 3 }, { 255, 31 } };
        for (const auto& c : cases) {
            const QString what = QStringLiteral("channel %1").arg(c.channel);
            const Color16 expected = Color16((c.level << 10) | (c.level << 5) | c.level);
            QImage grey = filledImage(kLandSize, kLandSize, qRgb(c.channel, c.channel, c.channel));
            // Each channel on its own too: red, green and blue take the same rounding.
            QImage red = filledImage(64, 64, qRgb(c.channel, 0, 0));
            QImage blue = filledImage(64, 64, qRgb(0, 0, c.channel));
            QVERIFY2(wordAt(encodeLand(grey), 0) == expected, qPrintable(what));
            QVERIFY2(wordAt(encodeTexture(red), 0) == Color16(c.level << 10), qPrintable(what));
            QVERIFY2(wordAt(encodeTexture(blue), 0) == Color16(c.level), qPrintable(what));
            const QByteArray gump = encodeGump(filledImage(5, 1, qRgb(0, c.channel, 0)));
            QVERIFY2(wordAt(gump, 2) == Color16(c.level << 5), qPrintable(what));   // after the row table
            const QByteArray art = encodeStatic(filledImage(2, 1, qRgb(c.channel, c.channel, c.channel)));
            QVERIFY2(wordAt(art, 7) == expected, qPrintable(what));   // header, table, run header
        }
    }

    void canEncodeByKind()
    {
        QString error;
        QVERIFY(canEncode(Land, QImage(44, 44, QImage::Format_ARGB32)));
        QVERIFY(!canEncode(Land, QImage(44, 43, QImage::Format_ARGB32), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(canEncode(Texture, QImage(64, 64, QImage::Format_RGB32)));
        QVERIFY(canEncode(Texture, QImage(128, 128, QImage::Format_ARGB32)));
        QVERIFY(!canEncode(Texture, QImage(100, 100, QImage::Format_ARGB32)));
        QVERIFY(canEncode(Gump, QImage(1000, 700, QImage::Format_ARGB32)));
        QVERIFY(!canEncode(Gump, QImage(10, 32768, QImage::Format_ARGB32)));
        QVERIFY(!canEncode(Gump, QImage(5000, 5000, QImage::Format_ARGB32)));   // pixel cap
        QImage small = filledImage(30, 40, 0);
        QVERIFY(canEncode(Static, small));
        for (int kind = 0; kind < 4; ++kind)
            QVERIFY(!canEncode(kind, QImage()));
        QVERIFY(!canEncode(7, small));
    }
};

QTEST_GUILESS_MAIN(TestArtCodec)
#include "tst_artcodec.moc"
