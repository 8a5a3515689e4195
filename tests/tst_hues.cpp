// hues.mul read and written in place, hues applied to pictures as the game applies them, and
// the timing of animated statics against a fake clock.
#include "animtiming.h"
#include "hueapply.h"
#include "hues.h"
#include "indexfile.h"
#include "itemkind.h"
#include "pixels.h"
#include "testdata.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

// `groups` groups of arbitrary bytes: every field, header and name byte used.
QByteArray noiseBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

// A ramp whose colours all differ, black at 0 and bit 15 set on the last.
HueEntry sampleHue()
{
    HueEntry h;
    for (int i = 0; i < kHueColorCount; ++i)
        h.colors[size_t(i)] = quint16((i << 10) | ((31 - i) << 5) | (i / 2));
    h.colors[0] = 0;
    h.colors[31] = 0x8000 | 0x03FF;
    return h;
}

QRgb stored(int r, int g, int b)
{
    return color16ToRgb(qint16((r << 10) | (g << 5) | b));
}

} // namespace

class TestHues : public QObject {
    Q_OBJECT

private slots:
    void fileReadsEveryHueAndWritesItBackByteForByte()
    {
        const QByteArray bytes = noiseBytes(3 * kHueGroupSize, 7);
        const HueFile file = parseHueFile(bytes);
        QVERIFY(file.present && file.problem.isEmpty() && !file.isReadOnly());
        QCOMPARE(file.count(), 24);
        QCOMPARE(hueOffset(1), qint64(4));
        QCOMPARE(hueOffset(8), qint64(4 + 7 * 88));
        QCOMPARE(hueOffset(9), qint64(708 + 4));
        QCOMPARE(hueOffset(0), qint64(-1));
        for (int h = 1; h <= file.count(); ++h)
            QCOMPARE(hueEntryBytes(*file.hue(h)), bytes.mid(int(hueOffset(h)), kHueEntrySize));
        QVERIFY(!file.hue(0) && !file.hue(25));

        // Fields little-endian in place; the name up to its zero, or all 20 bytes without one.
        QByteArray entry(kHueEntrySize, '\0');
        entry[2] = '\x34';
        entry[3] = '\x92';
        entry[64] = '\x01';
        entry[65] = '\xff';
        entry[67] = '\x80';
        entry.replace(68, 9, QByteArray("gr\xfcn\0old", 9));
        HueEntry h = parseHueEntry(entry.constData());
        QCOMPARE(h.colors[1], quint16(0x9234));
        QCOMPARE(h.tableStart, quint16(0xFF01));
        QCOMPARE(h.tableEnd, quint16(0x8000));
        QCOMPARE(h.name(), QString::fromLatin1("gr\xfcn"));
        QCOMPARE(hueEntryBytes(h), entry);   // the bytes after the zero are kept
        entry.replace(68, 20, QByteArray(20, 'x'));
        QCOMPARE(parseHueEntry(entry.constData()).name(), QString(20, QLatin1Char('x')));
    }

    void inPlaceWriteChangesOnlyTheEditedEntries()
    {
        const QByteArray bytes = noiseBytes(3 * kHueGroupSize, 11);
        const HueFile file = parseHueFile(bytes);
        QMap<int, HueEntry> changes;
        HueEntry nine = *file.hue(9);
        nine.colors[3] = 0x1234;   // name left alone: its junk bytes stay
        changes[9] = nine;
        HueEntry last = *file.hue(24);
        QString error;
        QVERIFY(setHueName(last, QStringLiteral("blue"), &error));
        last.tableEnd = 77;
        changes[24] = last;

        QByteArray out;
        QVERIFY2(writeHuesInPlace(bytes, changes, &out, &error), qPrintable(error));
        QCOMPARE(out.size(), bytes.size());
        for (int i = 0; i < bytes.size(); ++i) {
            const bool inNine = i >= hueOffset(9) && i < hueOffset(9) + kHueEntrySize;
            const bool inLast = i >= hueOffset(24) && i < hueOffset(24) + kHueEntrySize;
            if (!inNine && !inLast && out[i] != bytes[i])
                QFAIL(qPrintable(QStringLiteral("byte %1 changed").arg(i)));
        }
        const HueFile again = parseHueFile(out);
        QCOMPARE(*again.hue(9), nine);
        QCOMPARE(again.hue(9)->nameBytes, file.hue(9)->nameBytes);
        QCOMPARE(again.hue(24)->nameBytes, QByteArray("blue") + QByteArray(16, '\0'));
        QCOMPARE(again.hue(24)->tableEnd, quint16(77));

        QVector<RecordPatch> patches;
        QVERIFY(hueRecordPatches(changes, bytes.size(), &patches, &error));
        QCOMPARE(patches.size(), 2);
        QCOMPARE(patches[0].offset, hueOffset(9));
        QCOMPARE(patches[1].bytes.size(), kHueEntrySize);

        // Refusals leave the output alone: a number outside the file, a damaged size.
        for (int bad : { 0, 25, -3 }) {
            QByteArray untouched("keep");
            QVERIFY(!writeHuesInPlace(bytes, { { bad, nine } }, &untouched, &error));
            QVERIFY2(error.startsWith("hue: "), qPrintable(error));
            QCOMPARE(untouched, QByteArray("keep"));
        }
        QVERIFY(!writeHuesInPlace(bytes + "x", { { 9, nine } }, &out, &error));
        QVERIFY(error.contains("hues.mul") && error.contains("damaged"));
    }

    void damagedAndMissingFiles()
    {
        // A trailing part group: the whole groups are shown, the file is read-only and named.
        HueFile file = parseHueFile(noiseBytes(2 * kHueGroupSize + 100, 3), QStringLiteral("/x/hues.mul"));
        QCOMPARE(file.count(), 16);
        QVERIFY(file.isReadOnly());
        QVERIFY2(file.problem.contains("/x/hues.mul") && file.problem.contains("708"), qPrintable(file.problem));
        file = parseHueFile(noiseBytes(500, 3));
        QCOMPARE(file.count(), 0);
        QVERIFY(file.isReadOnly());
        file = parseHueFile(QByteArray());   // empty: sound, no hues
        QVERIFY(file.present && file.problem.isEmpty() && file.count() == 0);

        QTemporaryDir dir;
        file = readHueFile(dir.path());
        QVERIFY(!file.present && file.problem.isEmpty() && file.count() == 0 && !file.hue(1));
        QVERIFY(!hueNumberProblem(1, 0).isEmpty());
        QVERIFY(writeBytes(dir.filePath("hues.mul"), noiseBytes(kHueGroupSize + 1, 5)));
        file = readHueFile(dir.path());
        QVERIFY(file.present && file.count() == 8 && file.isReadOnly());
        QVERIFY(file.problem.contains(QDir::toNativeSeparators(dir.filePath("hues.mul"))));
    }

    void editsAreCheckedFieldByField()
    {
        const HueEntry stored = [] {
            HueEntry h = sampleHue();
            h.nameBytes = QByteArray("ash\0junk", 8) + QByteArray(12, '\0');
            return h;
        }();
        QString error;
        HueEntry h = stored;
        QVERIFY(setHueName(h, QStringLiteral("ash"), &error));   // the same text keeps the junk
        QCOMPARE(h.nameBytes, stored.nameBytes);
        QVERIFY(!setHueName(h, QString(21, QLatin1Char('a')), &error));
        QVERIFY(error.startsWith("name: "));
        QVERIFY(!setHueName(h, QStringLiteral("fire \u20ac"), &error));
        QVERIFY(error.startsWith("name: "));
        QVERIFY(!setHueName(h, QStringLiteral("a") + QChar(0) + QStringLiteral("b"), &error));
        QCOMPARE(h, stored);
        QVERIFY(setHueName(h, QString(20, QLatin1Char('z')), &error));
        QCOMPARE(h.nameBytes, QByteArray(20, 'z'));

        // Colours: a changed one at most 0x7FFF; one left as stored keeps bit 15.
        h = stored;
        QVERIFY(hueEditProblem(3, 8, stored, h).isEmpty());   // colors[31] has bit 15, unchanged
        h.colors[5] = 0x8000;
        QVERIFY(hueEditProblem(3, 8, stored, h).startsWith("colors[5]: "));
        h.colors[5] = 0x7FFF;
        QVERIFY(hueEditProblem(3, 8, stored, h).isEmpty());
        QVERIFY(hueEditProblem(0, 8, stored, h).startsWith("hue: "));
        QVERIFY(hueEditProblem(9, 8, stored, h).startsWith("hue: "));

        // qmtool's assignments: all or nothing.
        h = stored;
        QStringList colours;
        for (quint16 c : stored.colors)
            colours << QStringLiteral("0x%1").arg(c, 0, 16);
        colours[2] = QStringLiteral("7");
        QVERIFY2(applyHueAssignments(h, { "name=ember", "colors=" + colours.join(','), "tableStart=0xFFFF",
                                          "tableEnd=12" }, &error), qPrintable(error));
        QCOMPARE(h.name(), QStringLiteral("ember"));
        QCOMPARE(h.colors[2], quint16(7));
        QCOMPARE(h.colors[31], stored.colors[31]);
        QCOMPARE(h.tableStart, quint16(0xFFFF));
        const HueEntry before = h;
        const QList<QPair<QStringList, QString>> refused {
            { { "tableEnd=3", "colors=1,2,3" }, "colors: " },
            { { "colors=" + QStringList(32, "0x8000").join(',') }, "colors[0]: " },
            { { "colors=" + QStringList(32, "x").join(',') }, "colors[0]: " },
            { { "tableStart=65536" }, "tableStart: " },
            { { "tableEnd=-1" }, "tableEnd: " },
            { { "name=" + QString(21, 'n') }, "name: " },
            { { "hue=3" }, "'hue'" },
            { { "name" }, "'name'" },
        };
        for (const auto& [assignments, start] : refused) {
            QVERIFY(!applyHueAssignments(h, assignments, &error));
            QVERIFY2(error.startsWith(start), qPrintable(error));
            QCOMPARE(h, before);
        }
    }

    void fullAndPartialHueGiveTheGamesPixels()
    {
        const HueEntry hue = sampleHue();
        auto ramp = [&](int level) { return color16ToRgb(qint16(hue.colors[size_t(level)])); };
        QImage image(7, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, 0u);                        // transparent
        image.setPixel(1, 0, qRgba(200, 10, 10, 0));     // transparent with a colour under it
        image.setPixel(2, 0, stored(0, 0, 0) | 0);       // opaque black: a grey of level 0
        image.setPixel(3, 0, stored(10, 10, 10));        // grey
        image.setPixel(4, 0, stored(20, 5, 3));          // coloured
        image.setPixel(5, 0, stored(31, 31, 31));        // white: the ramp's last, bit 15 ignored
        image.setPixel(6, 0, qRgb(252, 3, 2));           // not from a decoder: nearest levels 31, 0, 0

        const QImage full = applyHue(image, hue, HueMode::Full);
        const QImage partial = applyHue(image, hue, HueMode::Partial);
        QCOMPARE(full.format(), QImage::Format_ARGB32);
        const QRgb fullExpected[] = { 0u, qRgba(200, 10, 10, 0), 0xFF000000u, ramp(10), ramp(20), ramp(31), ramp(31) };
        const QRgb partialExpected[] = { 0u, qRgba(200, 10, 10, 0), 0xFF000000u, ramp(10), stored(20, 5, 3),
                                         ramp(31), qRgb(252, 3, 2) };
        for (int x = 0; x < image.width(); ++x) {
            QCOMPARE(full.pixel(x, 0), fullExpected[x]);
            QCOMPARE(partial.pixel(x, 0), partialExpected[x]);
        }
        QCOMPARE(ramp(31), stored(0, 31, 31));
        QCOMPARE(qAlpha(full.pixel(2, 0)), 255);   // a ramp's 0 is black, never transparent

        // The table's other entry points agree; other formats are converted first.
        const HueTable table(hue, HueMode::Full);
        QImage inPlace = image;
        table.applyInPlace(inPlace);
        QCOMPARE(inPlace, full);
        QCOMPARE(table.apply(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)).pixel(3, 0), ramp(10));
        QCOMPARE(table.apply(image.pixel(4, 0)), ramp(20));
        QVERIFY(table.apply(QImage()).isNull());

        // The table for a decoder that hues as it converts gives the same colours.
        for (HueMode mode : { HueMode::Full, HueMode::Partial }) {
            const QVector<QRgb> colours = huedColorTable(hue, mode);
            const HueTable pixels(hue, mode);
            QCOMPARE(colours.size(), 0x8000);
            for (int c = 0; c < 0x8000; ++c)
                if (colours[c] != pixels.apply(color16ToRgb(qint16(c))))
                    QFAIL(qPrintable(QStringLiteral("colour 0x%1").arg(c, 0, 16)));
        }

        // Which mode the game uses.
        QCOMPARE(defaultHueMode(Static, kPartialHueFlag), HueMode::Partial);
        QCOMPARE(defaultHueMode(Static, kPartialHueFlag | (quint64(1) << 40)), HueMode::Partial);
        QCOMPARE(defaultHueMode(Static, kAnimatedFlag), HueMode::Full);
        QCOMPARE(defaultHueMode(Gump, kPartialHueFlag), HueMode::Full);
        QCOMPARE(defaultHueMode(Land, kPartialHueFlag), HueMode::Full);
        QCOMPARE(defaultHueMode(Texture, 0), HueMode::Full);
    }

    void animationFollowsTheClock()
    {
        anim_st a;
        a.frames = { { 0, 1, 2, 1 } };
        a.frameCount = 4;
        a.frameInterval = 3;   // 150 ms a frame
        a.frameStart = 4;      // first frame after 200 ms
        // A fake clock ticking every 10 ms: each change of the shown id, with its time.
        QVector<QPair<qint64, int>> changes;
        int shown = -2;
        for (qint64 t = 0; t <= 1400; t += 10) {
            const AnimMoment m = animMomentAt(a, 100, t);
            QVERIFY(m.animated);
            if (m.shownId != shown)
                changes.append({ t, m.shownId });
            shown = m.shownId;
        }
        const QVector<QPair<qint64, int>> expected {
            { 0, 100 }, { 350, 101 }, { 500, 102 }, { 650, 101 }, { 800, 100 },   // frame 0 = own id
            { 950, 101 }, { 1100, 102 }, { 1250, 101 }, { 1400, 100 },
        };
        QCOMPARE(changes, expected);
        AnimMoment m = animMomentAt(a, 100, 199);
        QCOMPARE(m.frame, -1);   // still the own picture, before the first frame
        QCOMPARE(m.nextChangeMs, qint64(200));
        m = animMomentAt(a, 100, 200);
        QCOMPARE(m.frame, 0);
        QCOMPARE(m.nextChangeMs, qint64(350));
        QCOMPARE(animMomentAt(a, 100, 800 + 3 * 600 + 160).frame, 1);   // loops without waiting again
        QCOMPARE(animMomentAt(a, 100, -40).frame, -1);
    }

    void oddAnimationRecordsPlayWithoutSurprises()
    {
        anim_st a;
        a.frames = { { -1, 0, 1 } };
        for (qint8 count : { qint8(0), qint8(-1), qint8(65), qint8(127) }) {
            a.frameCount = count;
            const AnimMoment m = animMomentAt(a, 7, 5000);
            QVERIFY(!m.animated);
            QCOMPARE(m.shownId, 7);
            QCOMPARE(m.frame, -1);
            QCOMPARE(m.nextChangeMs, qint64(-1));
        }
        a.frameCount = 64;
        QVERIFY(isAnimated(a));

        // Interval 0 or below counts as 1 step, a start below 0 as 0.
        a.frameCount = 3;
        a.frameInterval = 0;
        a.frameStart = -5;
        QCOMPARE(animFrameMs(a), qint64(50));
        QCOMPARE(animStartMs(a), qint64(0));
        QCOMPARE(animMomentAt(a, 7, 0).shownId, 6);
        a.frameInterval = -128;
        QCOMPARE(animMomentAt(a, 7, 50).shownId, 7);
        QCOMPARE(animMomentAt(a, 7, 100).shownId, 8);

        // Frames outside the static ids are drawn empty and the animation goes on.
        QCOMPARE(animMomentAt(a, 0, 0).shownId, -1);
        QCOMPARE(animMomentAt(a, 0, 50).shownId, 0);
        QCOMPARE(animMomentAt(a, kStaticCount - 1, 100).shownId, -1);
        QCOMPARE(animFrameId(a, kStaticCount - 1, 1), kStaticCount - 1);
        QCOMPARE(animFrameId(a, 5, 3), -1);   // past the count
    }
};

QTEST_GUILESS_MAIN(TestHues)
#include "tst_hues.moc"
