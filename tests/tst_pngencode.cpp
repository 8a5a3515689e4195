// The export's PNG encoder and the deflate writer under it: every stream must inflate to
// exactly the bytes meant, whatever mix of literals, matches and blocks made it, and every
// picture must read back pixel for pixel.
#include "deflatewriter.h"
#include "huffmanlengths.h"
#include "pngencode.h"
#include "testdata.h"

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTest>

#include <zlib.h>

using namespace qm;

namespace {

// Raw deflate data inflated by zlib; empty with a message on any error.
QByteArray inflateRaw(const QByteArray& deflated, qsizetype expectedSize, QString* error)
{
    z_stream s {};
    if (inflateInit2(&s, -15) != Z_OK)
        return QByteArray();
    QByteArray out(expectedSize + 1, '\0');   // one spare byte shows a stream that runs long
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.constData()));
    s.avail_in = uInt(deflated.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    const int rc = inflate(&s, Z_FINISH);
    if (rc != Z_STREAM_END)
        *error = QStringLiteral("inflate: %1 (%2)").arg(rc).arg(QString::fromLatin1(s.msg ? s.msg : ""));
    if (s.avail_in != 0)
        *error += QStringLiteral(" %1 bytes left after the end").arg(s.avail_in);
    out.resize(out.size() - qsizetype(s.avail_out));
    inflateEnd(&s);
    return out;
}

// Writes literals and matches as a script says, and the bytes they stand for beside.
struct Script {
    QByteArray deflated;
    QByteArray expected;
    DeflateWriter writer;

    Script() { writer.begin(&deflated); }
    void literal(uchar b)
    {
        writer.literal(b);
        expected.append(char(b));
    }
    void match(qint64 length, int distance)
    {
        writer.match(length, distance);
        for (qint64 i = 0; i < length; ++i)
            expected.append(expected.at(expected.size() - distance));
    }
};

QImage readPng(QByteArray png, QString* error)
{
    QBuffer buffer(&png);
    QImageReader reader(&buffer, "png");
    const QImage image = reader.read();
    if (image.isNull())
        *error = reader.errorString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestPngEncode : public QObject {
    Q_OBJECT

private slots:
    void deflateStreamsInflateToWhatWasMeant_data()
    {
        QTest::addColumn<int>("script");
        QTest::newRow("nothing") << 0;
        QTest::newRow("one literal") << 1;
        QTest::newRow("every byte value once (fixed code's 9-bit literals)") << 2;
        QTest::newRow("long matches split, farthest distance") << 3;
        QTest::newRow("random mix over many blocks") << 4;
        QTest::newRow("skewed frequencies past the 15-bit limit") << 5;
    }
    void deflateStreamsInflateToWhatWasMeant()
    {
        QFETCH(int, script);
        Script s;
        QRandomGenerator random(quint32(script) + 7);
        switch (script) {
        case 0: break;
        case 1: s.literal(200); break;
        case 2:
            for (int b = 0; b < 256; ++b)
                s.literal(uchar(b));
            s.match(3, 256);
            break;
        case 3:
            for (int i = 0; i < 40000; ++i)
                s.literal(uchar(random.bounded(7)));
            s.match(DeflateWriter::kMinMatch, DeflateWriter::kMaxDistance);
            for (const qint64 length : { 258, 259, 260, 261, 516, 517, 100000 })
                s.match(length, int(1 + random.bounded(DeflateWriter::kMaxDistance)));
            break;
        case 4:
            s.literal(1);
            while (s.expected.size() < 600000) {
                if (random.bounded(3) == 0) {
                    s.match(DeflateWriter::kMinMatch + random.bounded(300),
                            int(1 + random.bounded(std::min<qint64>(s.expected.size(), DeflateWriter::kMaxDistance))));
                } else {
                    s.literal(uchar(random.bounded(random.bounded(2) ? 256 : 16)));
                }
            }
            break;
        case 5:
            // Fibonacci-like counts make the longest Huffman codes possible.
            for (int symbol = 0, count = 1, previous = 1; symbol < 27; ++symbol) {
                for (int i = 0; i < count; ++i)
                    s.literal(uchar(symbol));
                const int next = count + previous;
                previous = count;
                count = next;
            }
            break;
        }
        s.writer.finish();
        QString error;
        const QByteArray inflated = inflateRaw(s.deflated, s.expected.size(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(inflated.size(), s.expected.size());
        QVERIFY(inflated == s.expected);
    }

    // Codes are complete (every bit pattern decodes) and within their limit.
    void huffmanCodesAreCompleteAndLimited()
    {
        quint32 fibonacci[30];
        fibonacci[0] = fibonacci[1] = 1;
        for (int i = 2; i < 30; ++i)
            fibonacci[i] = fibonacci[i - 1] + fibonacci[i - 2];
        quint32 one[19] = {};
        one[5] = 1000;
        quint32 none[19] = {};
        struct Case {
            const quint32* frequencies;
            int count;
            int limit;
        };
        for (const Case& c : { Case { fibonacci, 30, 15 }, Case { fibonacci, 19, 7 }, Case { one, 19, 7 },
                               Case { none, 19, 7 } }) {
            quint8 lengths[30] = {};
            huffmanLengths(c.frequencies, c.count, c.limit, lengths);
            double kraft = 0;
            int used = 0;
            for (int s = 0; s < c.count; ++s) {
                QVERIFY(lengths[s] <= c.limit);
                if (lengths[s]) {
                    kraft += 1.0 / (1 << lengths[s]);
                    ++used;
                }
            }
            QCOMPARE(kraft, 1.0);
            QVERIFY(used >= 2);
        }
    }

    // Lossless whatever the picture holds; libpng checks the stream's checksum as it reads,
    // so a wrong sum for runs, repeated rows or long rows fails here too.
    void picturesReadBackExactly()
    {
        QImage art(37, 23, QImage::Format_ARGB32);   // odd sizes: no row happens to align
        QRandomGenerator random(21);
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x) {
                // Transparent margins, flat runs, noise, and every alpha an imported file can hold.
                const quint32 v = random.generate();
                art.setPixel(x, y, x < 3 ? 0u : y < 4 ? 0xFF102030u : x % 5 == 0 ? v : (v | 0xFF000000u));
            }
        // Flat art: runs, runs continuing those above, rows repeating the one above.
        QImage flat(300, 200, QImage::Format_ARGB32);
        for (int y = 0; y < flat.height(); ++y)
            for (int x = 0; x < flat.width(); ++x)
                flat.setPixel(x, y, y < 20 || y > 180 ? 0u : qRgb(8 * (x / 40), 8 * (y / 30), x > y ? 248 : 0));
        QImage noise(256, 300, QImage::Format_ARGB32);   // more tokens than one block takes
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, random.generate());
        // A run longer than the checksum's modulus, in a row too long to be repeated by a match.
        QImage longRun = filledImage(70000, 2, qRgba(7, 200, 9, 255));
        longRun.setPixel(69999, 1, 0u);
        // Three colours at random: runs and matches with the row above of every length,
        // ending anywhere in rows of every width modulo the four pixels compared at once.
        QVector<QImage> fewColours;
        for (int width = 1; width <= 13; ++width) {
            QImage picture(width, 40, QImage::Format_ARGB32);
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < width; ++x)
                    picture.setPixel(x, y, random.bounded(4) == 0 && y > 0 ? picture.pixel(x, y - 1)
                                           : QRgb(0xFF000000u | random.bounded(3) * 0x00400000u));
            fewColours << picture;
        }
        QImage premultiplied(5, 3, QImage::Format_ARGB32_Premultiplied);
        premultiplied.fill(qRgba(40, 20, 10, 128));
        QImage rgb16(9, 2, QImage::Format_RGB16);
        rgb16.fill(qRgb(255, 8, 128));
        QVector<QImage> pictures { art, flat, noise, longRun, filledImage(1, 1, qRgb(1, 2, 3)),
                                   filledImage(2000, 1, 0u), filledImage(1, 300, qRgb(250, 250, 250)),
                                   filledImage(8191, 3, 0u), premultiplied, rgb16 };
        pictures += fewColours;
        for (const QImage& picture : pictures) {
            QString error;
            const QByteArray png = encodePng(picture, &error);
            QVERIFY2(!png.isEmpty(), qPrintable(error));
            const QImage back = readPng(png, &error);
            QVERIFY2(error.isEmpty(), qPrintable(QStringLiteral("%1x%2: %3").arg(picture.width()).arg(picture.height()).arg(error)));
            QVERIFY2(back == picture.convertToFormat(QImage::Format_ARGB32),
                     qPrintable(QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height())));
        }
        QString error;
        QVERIFY(encodePng(QImage(), &error).isEmpty());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestPngEncode)
#include "tst_pngencode.moc"
