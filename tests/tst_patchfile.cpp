// The patch file format on its own: layout, refusals of broken or hostile files, the export
// dialog's extension rule and the answers to the import's id question.
#include "littleendian.h"
#include "patchfile.h"
#include "patchtransfer.h"
#include "pngslice.h"
#include "records.h"

#include <QBuffer>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

using namespace qm;

namespace {

QImage patternImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 5, y * 5, 200, (x + y) % 4 ? 255 : 0));
    return image;
}

PatchItem samplePatch(int kind, const QImage& image)
{
    PatchItem patch;
    patch.kind = ItemKind(kind);
    patch.id = 500;
    patch.image = image;
    if (kind == Land)
        patch.tileRecord = QByteArray(kLandTileRecordSize, '\x11');
    if (kind == Static) {
        patch.tileRecord = QByteArray(kStaticTileRecordSize, '\x22');
        patch.animRecord = QByteArray(kAnimRecordSize, '\x33');
    }
    return patch;
}

QByteArray serialised(const PatchItem& patch)
{
    QByteArray bytes;
    QString error;
    if (!serialisePatch(patch, &bytes, &error))
        qWarning() << error;
    return bytes;
}

QByteArray header(qint32 format, qint32 kind, qint32 id, qint32 height, qint32 width)
{
    QByteArray out;
    for (qint32 v : { format, kind, id, height, width })
        appendU32(out, quint32(v));
    return out;
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    const QByteArray body = QByteArray(type, 4) + data;
    out += body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    return out + crc;
}

// A PNG whose header claims width x height with valid CRCs, but which carries no pixels.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8;   // bit depth
    ihdr[9] = 6;   // RGBA
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr)
        + pngChunk("IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8))
        + pngChunk("IEND", QByteArray());
}

QString parseError(const QByteArray& bytes)
{
    PatchItem patch;
    patch.id = -12345;
    QString error;
    if (parsePatch(bytes, &patch, &error))
        return QStringLiteral("accepted");
    if (patch.id != -12345)
        return QStringLiteral("refused but changed its output");
    return error;
}

} // namespace

class TestPatchFile : public QObject {
    Q_OBJECT

private slots:
    void layoutAndSizesWithoutImage()
    {
        QCOMPARE(serialised(samplePatch(Gump, QImage())).size(), 20);
        QCOMPARE(serialised(samplePatch(Texture, QImage())).size(), 20);
        QCOMPARE(serialised(samplePatch(Land, QImage())).size(), 46);
        const QByteArray bytes = serialised(samplePatch(Static, QImage()));
        QCOMPARE(bytes.size(), 125);
        QCOMPARE(bytes.left(20), header(1, Static, 500, 0, 0));
        QCOMPARE(bytes.mid(20, 37), QByteArray(37, '\x22'));
        QCOMPARE(bytes.mid(57), QByteArray(68, '\x33'));
    }

    void layoutWithImage()
    {
        const QImage image = patternImage(7, 3);
        const QByteArray bytes = serialised(samplePatch(Land, image));
        QCOMPARE(bytes.left(20), header(1, Land, 500, 3, 7));
        QCOMPARE(readI32(bytes.constData() + 20), 1);   // image marker
        const QByteArray png = bytes.mid(24, bytes.size() - 24 - 26);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QVERIFY(png.endsWith(pngChunk("IEND", QByteArray())));
        QCOMPARE(QImage::fromData(png, "png").convertToFormat(QImage::Format_ARGB32), image);
        QCOMPARE(bytes.right(26), QByteArray(26, '\x11'));
    }

    void sizeFieldsOnlySayWhetherAnImageFollows()
    {
        // Marker 0: no image, though the sizes are not 0.
        QByteArray bytes = header(1, Gump, 9, 4, 4);
        appendU32(bytes, 0);
        PatchItem patch;
        QString error;
        QVERIFY2(parsePatch(bytes, &patch, &error), qPrintable(error));
        QVERIFY(patch.image.isNull());

        // Sizes that disagree with the PNG: the PNG's size counts.
        bytes = serialised(samplePatch(Gump, patternImage(5, 6)));
        qToLittleEndian<qint32>(100, bytes.data() + 12);
        qToLittleEndian<qint32>(-90, bytes.data() + 16);
        QVERIFY2(parsePatch(bytes, &patch, &error), qPrintable(error));
        QCOMPARE(patch.image.size(), QSize(5, 6));
    }

    void brokenAndHostileFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");

        const QByteArray good = serialised(samplePatch(Static, patternImage(10, 10)));
        QByteArray format3 = good;
        format3[0] = 3;
        QTest::newRow("format 3") << format3 << "Not a patch file: unknown format 3";
        QTest::newRow("kind 7") << header(1, 7, 0, 0, 0) << "Not a patch file: unknown item kind 7";
        QTest::newRow("kind -1") << header(1, -1, 0, 0, 0) << "Not a patch file: unknown item kind -1";
        QTest::newRow("trailing byte") << good + "x" << "Not a patch file: 1 unexpected bytes after the item";
        QByteArray gumpWithTile = header(1, Gump, 0, 0, 0) + QByteArray(26, '\0');
        QTest::newRow("a land patch labelled gump")
            << gumpWithTile << "Not a patch file: 26 unexpected bytes after the item";

        QByteArray marker2 = header(1, Gump, 0, 1, 1);
        appendU32(marker2, 2);
        QTest::newRow("image marker 2") << marker2 << "Not a patch file: unknown image marker 2";

        QByteArray notPng = header(1, Gump, 0, 1, 1);
        appendU32(notPng, 1);
        notPng += QByteArray("GIF89a and so on");
        QTest::newRow("not a PNG") << notPng << "Not a patch file: the image is not a PNG";

        // Damage the pixel data: the chunk walk still finds the end, the decoder refuses it.
        QByteArray damaged = good;
        const qsizetype idat = damaged.indexOf("IDAT");
        damaged[idat + 8] = char(damaged[idat + 8] ^ 0x55);
        QTest::newRow("damaged pixels") << damaged << "Not a patch file: the image cannot be decoded";

        // A chunk length that runs far past the end of the file.
        QByteArray longChunk = good;
        qToBigEndian<quint32>(0x7ffffff0u, longChunk.data() + idat - 4);
        QTest::newRow("chunk past the end") << longChunk << "Not a patch file: the file ends inside the image";

        QByteArray bomb = header(1, Gump, 0, 1, 1);
        appendU32(bomb, 1);
        bomb += pngClaiming(100000, 100000);
        QTest::newRow("100000 x 100000 PNG")
            << bomb << "Not a patch file: the image claims 100000 x 100000 pixels, far more than any item holds";
        QByteArray widest = header(1, Gump, 0, 1, 1);
        appendU32(widest, 1);
        widest += pngClaiming(0x7fffffff, 0x7fffffff);
        QTest::newRow("2^31-1 square PNG") << widest << "Not a patch file: the image claims 2147483647 x 2147483647";
        QByteArray negative = header(1, Gump, 0, 1, 1);
        appendU32(negative, 1);
        negative += pngClaiming(0x80000000u, 1);
        QTest::newRow("width past 2^31") << negative << "Not a patch file: the image's PNG header is broken";
    }

    void brokenAndHostileFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const QString error = parseError(bytes);
        QVERIFY2(error.startsWith(expected), qPrintable(error));
    }

    void decoderAllocationLimitHolds()
    {
        // 16-bit samples decode into 8 bytes a pixel: this header passes the 4-byte estimate
        // but the decoder's own limit must refuse it, and the process-wide limit is put back.
        QImage wide(3000, 3000, QImage::Format_RGBA64);
        wide.fill(QColor(10, 20, 30));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(wide.save(&buffer, "png"));
        wide = QImage();
        const int before = QImageReader::allocationLimit();
        QString error;
        QVERIFY(decodePatchPng(buffer.data(), &error).isNull());
        QVERIFY2(error.startsWith(QLatin1String("the image cannot be decoded")), qPrintable(error));
        QCOMPARE(QImageReader::allocationLimit(), before);
    }

    void extensionRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        const QString qmp = QStringLiteral("QMP (*.qmp)");
        const QString all = QStringLiteral("All Files (*.*)");
        QTest::newRow("no dot") << "/p/tree" << qmp << "/p/tree.qmp";
        QTest::newRow("QmP") << "/p/tree.QmP" << qmp << "/p/tree.QmP";
        QTest::newRow("other extension") << "/p/tree.png" << qmp << "/p/tree.png.qmp";
        QTest::newRow("dot in a folder") << "/p.qmp/tree" << qmp << "/p.qmp/tree.qmp";
        QTest::newRow("blank after qmp") << "/p/tree.qmp " << " QMP (*.qmp)" << "/p/tree.qmp ";
        QTest::newRow("all files") << "/p/tree" << all << "/p/tree";
    }

    void extensionRule()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(patchFileNameForFilter(name, filter), expected);
    }

    void idAnswers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("id");
        const int ok = PatchIdAnswer::Ok, nan = PatchIdAnswer::NotANumber,
                  range = PatchIdAnswer::OutOfRange;
        QTest::newRow("decimal") << int(Static) << "500" << ok << 500;
        QTest::newRow("blanks, 0X") << int(Static) << "  0X1F4 " << ok << 500;
        QTest::newRow("empty: smallest free") << int(Static) << "  " << ok << 3;
        QTest::newRow("letters") << int(Static) << "abc" << nan << -1;
        QTest::newRow("hex without 0x") << int(Static) << "1f4" << nan << -1;
        QTest::newRow("bare 0x") << int(Static) << "0x" << nan << -1;
        QTest::newRow("negative") << int(Static) << "-1" << range << -1;
        QTest::newRow("past land") << int(Land) << "16384" << range << -1;
        QTest::newRow("last static") << int(Static) << "0xffff" << ok << 65535;
        QTest::newRow("past static") << int(Static) << "65536" << range << -1;
        QTest::newRow("gump past its index") << int(Gump) << "60000" << ok << 60000;
        QTest::newRow("gump past what Save extends") << int(Gump) << "65536" << range << -1;
        QTest::newRow("absurd texture") << int(Texture) << "2000000000" << range << -1;
        QTest::newRow("past int") << int(Gump) << "99999999999" << range << -1;
    }

    void idAnswers()
    {
        QFETCH(int, kind);
        QFETCH(QString, answer);
        QFETCH(int, status);
        QFETCH(int, id);
        const PatchIdAnswer a = resolvePatchId(answer, ItemKind(kind), FreeIds { 7, 3, 9 });
        QCOMPARE(int(a.status), status);
        if (status == PatchIdAnswer::Ok)
            QCOMPARE(a.id, id);
        if (status == PatchIdAnswer::OutOfRange)
            QVERIFY(!a.message.isEmpty());
    }

};

QTEST_GUILESS_MAIN(TestPatchFile)
#include "tst_patchfile.moc"
