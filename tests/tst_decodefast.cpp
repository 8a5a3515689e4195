// The decoders' shortcuts (wide stores of one colour over a run, several pairs at once) give
// exactly the images of a plain pixel-by-pixel reading: on every entry of the demo data with
// short runs and with long runs, and on gump rows of runs of every length at every position.
#include "artdatafile.h"
#include "artcodec.h"
#include "demodata.h"
#include "indexfile.h"
#include "itemkind.h"
#include "littleendian.h"
#include "pixeldecode.h"
#include "pixels.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

// A gump record of the given rows of (value, count) pairs, laid out as the files do.
QByteArray gumpRecord(const QVector<QVector<QPair<quint16, int>>>& rows)
{
    QByteArray table, pairs;
    for (const auto& row : rows) {
        appendU32(table, quint32(rows.size() + pairs.size() / 4));
        for (const auto& [value, count] : row) {
            appendU16(pairs, value);
            appendU16(pairs, quint16(count));
        }
    }
    return table + pairs;
}

// Rows of runs mostly one to eight pixels long (groups of them are drawn at once) with
// longer ones now and then, in random colours including the transparent 0 and 0x8000.
QByteArray randomGumpRecord(QRandomGenerator& rng, int width, int height)
{
    QVector<QVector<QPair<quint16, int>>> rows;
    for (int y = 0; y < height; ++y) {
        QVector<QPair<quint16, int>> row;
        for (int x = 0; x < width;) {
            const int n = rng.bounded(10) == 0 ? 1 + int(rng.bounded(40)) : 1 + int(rng.bounded(8));
            const quint16 values[] = { quint16(rng.bounded(0x10000)), 0, 0x8000 };
            row.append({ values[rng.bounded(rng.bounded(4) == 0 ? 3 : 1)], std::min(n, width - x) });
            x += n;
        }
        rows.append(row);
    }
    return gumpRecord(rows);
}

// One kind of damage found in broken files, or none.
void damage(QRandomGenerator& rng, QByteArray& record, int height)
{
    const int pairs = (int(record.size()) - 4 * height) / 4;
    const qint64 somePair = 4 * height + 4 * qint64(rng.bounded(std::max(pairs, 1)));
    switch (rng.bounded(7)) {
    case 0: // a row's offset outside the record, or before its start
        writeU32(record.data() + 4 * rng.bounded(height),
                 rng.bounded(2) ? quint32(record.size() / 4 + rng.bounded(9)) : 0x80000000u);
        break;
    case 1: // a row starting inside another, so it ends elsewhere than its pairs say
        writeU32(record.data() + 4 * rng.bounded(height), quint32(somePair / 4));
        break;
    case 2: // a count of 0 or less
        if (pairs > 0)
            writeU16(record.data() + somePair + 2, quint16(-int(rng.bounded(3))));
        break;
    case 3: // a run reaching past the right edge
        if (pairs > 0)
            writeU16(record.data() + somePair + 2, quint16(1 + rng.bounded(300)));
        break;
    case 4: // the record cut short, inside a pair or between pairs
        record.truncate(4 * height + int(rng.bounded(record.size() - 4 * height + 1)));
        break;
    default:
        break;
    }
}

} // namespace

class TestDecodeFast : public QObject {
    Q_OBJECT

private slots:
    void everyEntryOfBothDemoDataSets_data()
    {
        QTest::addColumn<bool>("longRuns");
        QTest::newRow("drawn gumps, short runs") << false;
        QTest::newRow("flat gumps, long runs") << true;
    }

    void everyEntryOfBothDemoDataSets()
    {
        QFETCH(bool, longRuns);
        QTemporaryDir dir;
        QString error;
        QVERIFY2(writeDemoDirectory(dir.path(), false, false, &error, nullptr, longRuns), qPrintable(error));
        const Catalogues catalogues = readCatalogues(dir.path());
        qint64 gumpPixels = 0, gumpPairs = 0;
        for (int kind = 0; kind < kItemKindCount; ++kind) {
            QFile indexFile(mulPath(dir.path(), indexFileName(kind)));
            QVERIFY(indexFile.open(QIODevice::ReadOnly));
            const QByteArray index = indexFile.readAll();
            const ArtDataFile data(dir.path(), kind);
            QVERIFY(!catalogues.listed[kind].isEmpty());
            for (int id : catalogues.listed[kind]) {
                const IndexRecord record = indexRecordAt(index, indexRecordNumber(kind, id));
                const QImage expected = pixeldecode::byKind(kind, data.bytesFrom(record.offset), record.extra);
                const QImage decoded = data.decode(record);
                if (decoded != expected)
                    QFAIL(qPrintable(QStringLiteral("%1 differs from the pixel-by-pixel reading").arg(itemName(kind, id))));
                if (kind == Gump) {
                    gumpPixels += qint64(decoded.width()) * decoded.height();
                    gumpPairs += (record.length - 4 * decoded.height()) / 4;
                }
            }
        }
        // The data sets are what the benchmark says they are.
        const double averageRun = double(gumpPixels) / gumpPairs;
        if (longRuns)
            QVERIFY2(averageRun >= 10 && averageRun <= 30, qPrintable(QString::number(averageRun)));
        else
            QVERIFY2(averageRun < 3, qPrintable(QString::number(averageRun)));
    }

    // Runs of 1 to 70 pixels starting at every offset of a row, ending inside it or reaching
    // past its end, opaque and transparent (0 and 0x8000), in rows of many widths.
    void gumpRunsOfEveryLengthAtEveryPosition()
    {
        QRandomGenerator rng(21);
        for (int width : { 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 64, 67, 130 }) {
            QVector<QVector<QPair<quint16, int>>> rows;
            for (int start = 0; start < width; ++start) {
                for (int length = 1; length <= 70; length += (length < 20 ? 1 : 7)) {
                    QVector<QPair<quint16, int>> row;
                    if (start > 0)
                        row.append({ quint16(0x7C00 + start % 31), start });
                    const quint16 values[] = { quint16(1 + rng.bounded(0x7FFE)), 0, 0x8000, 0xFFFF };
                    row.append({ values[length % 4], length });
                    // Whatever the run leaves of the row: more runs of mixed lengths.
                    for (int x = start + length; x < width;) {
                        const int n = 1 + int(rng.bounded(std::max(1, width / 3)));
                        row.append({ quint16(rng.bounded(0x10000)), n });
                        x += n;
                    }
                    rows.append(row);
                }
            }
            const QByteArray record = gumpRecord(rows);
            const QImage expected = pixeldecode::gump(record, width, int(rows.size()));
            DecodeReport report;
            QCOMPARE(decodeGump(record, width, int(rows.size()), &report), expected);
            QVERIFY(report.complete);
        }
    }

    // Rows that end inside a group of pairs drawn at once, the next row's start overwritten
    // by the spill of the last runs, the last row that may not spill, the last pairs of a
    // record, and damaged records: the same pixels, the same bytes used and the same verdict
    // as a plain reading, in plain colours and through a colour table.
    void gumpRowsEndingAnywhereWholeOrDamaged()
    {
        QRandomGenerator rng(2112);
        QVector<QRgb> plain(0x8000);
        for (int v = 0; v < 0x8000; ++v)
            plain[v] = color16ToRgb(qint16(v));
        for (int i = 0; i < 4000; ++i) {
            const int width = i % 5 == 0 ? 1 + int(rng.bounded(300)) : 1 + int(rng.bounded(48));
            const int height = 1 + int(rng.bounded(6));
            QByteArray record = randomGumpRecord(rng, width, height);
            damage(rng, record, height);
            qint64 extent = 0;
            bool complete = false;
            const QImage expected = pixeldecode::gump(record, width, height, &extent, &complete);
            DecodeReport report;
            const QImage decoded = decodeGump(record, width, height, &report);
            if (decoded != expected || report.extent != extent || report.complete != complete)
                QFAIL(qPrintable(QStringLiteral("record %1 (%2 x %3, %4 bytes): %5 extent %6 (expected %7)%8")
                                     .arg(i).arg(width).arg(height).arg(record.size())
                                     .arg(decoded == expected ? "same image" : "other image")
                                     .arg(report.extent).arg(extent)
                                     .arg(report.complete != complete ? ", other verdict" : "")));
            QCOMPARE(decodeGumpColored(record, width, height, plain.constData()), expected);
        }
    }
};

QTEST_MAIN(TestDecodeFast)
#include "tst_decodefast.moc"
