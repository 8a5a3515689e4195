// qmtool's hue commands end to end on the demo directory: hues, hue N, export-image --hue,
// and what verify and info say about hues.mul; with the demo's pictures drawn for hues.
#include "animdata.h"
#include "demodata.h"
#include "hueapply.h"
#include "hues.h"
#include "itemsource.h"
#include "pixels.h"
#include "savedirs.h"
#include "testdata.h"
#include "tiledata.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

bool failsWith(const ToolRun& r, int code, const QString& part)
{
    return r.exitCode == code && r.out.isEmpty() && r.err.count('\n') == 1 && r.err.startsWith("qmtool: ")
        && r.err.contains(part);
}

// The opaque pixels of an image, as (stored, hued) pairs.
template <typename Check>
void forOpaquePixels(const QImage& stored, const QImage& hued, Check check)
{
    QCOMPARE(hued.size(), stored.size());
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width(); ++x)
            check(stored.pixel(x, y), hued.pixel(x, y));
}

bool isGrey(QRgb p)
{
    return qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
}

} // namespace

class TestQmtoolHues : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(writeDemoDirectory(m_demo.path(), false, false, &error, &m_summary), qPrintable(error));
    }

    void listAndShowHues()
    {
        ToolRun r = runToolIn(m_demo.path(), { "hues" });
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3000);
        QCOMPARE(m_summary.hues, 3000);
        QCOMPARE(lines.first(), QStringLiteral("1\tred 1"));
        QCOMPARE(lines[249], QString::fromLatin1("250\tgr\xfcn 250"));

        r = runToolIn(m_demo.path(), { "hue", "0x61" });
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        const HueEntry stored = *readHueFile(m_demo.path()).hue(97);
        QCOMPARE(o.value("name").toString(), stored.name());   // bytes after the name's end not shown
        QCOMPARE(o.value("tableStart").toInt(), int(stored.tableStart));
        QCOMPARE(o.value("tableEnd").toInt(), int(stored.tableEnd));
        const QJsonArray colors = o.value("colors").toArray();
        QCOMPARE(colors.size(), 32);
        for (int i = 0; i < 32; ++i)
            QCOMPARE(colors[i].toString(), QStringLiteral("0x%1").arg(stored.colors[size_t(i)], 4, 16, QLatin1Char('0')));

        QVERIFY(failsWith(runToolIn(m_demo.path(), { "hue", "0" }), 2, "hue: 0 names no hue"));
        QVERIFY(failsWith(runToolIn(m_demo.path(), { "hue", "3001" }), 2, "1 to 3000"));
        QVERIFY(failsWith(runToolIn(m_demo.path(), { "hue", "red" }), 1, "'red'"));
        QVERIFY(failsWith(runToolIn(m_demo.path(), { "hue" }), 1, "usage"));
        for (const char* command : { "hues", "hue" }) {
            const ToolRun help = runTool({ command, "--help" });
            QVERIFY(help.exitCode == 0 && help.out.contains("\nArguments:\n"));
        }
    }

    void damagedAndMissingHueFiles()
    {
        QTemporaryDir dir;
        for (const QString& name : demoFileNames())
            QVERIFY(QFile::copy(m_demo.filePath(name), dir.filePath(name)));
        ToolRun r = runToolIn(dir.path(), { "info" });
        QVERIFY2(r.out.contains("\nhues: 3000 (hues.mul, 265500 bytes)\n"), qPrintable(r.out));

        // A name with a line break and a tab still takes one line.
        QByteArray bytes = readBytes(dir.filePath("hues.mul"));
        bytes.replace(int(hueOffset(2)) + kHueNameOffset, 6, QByteArray("a\nb\tc\0", 6));
        QVERIFY(writeBytes(dir.filePath("hues.mul"), bytes));
        r = runToolIn(dir.path(), { "hues" });
        QCOMPARE(r.out.split('\n')[1], QStringLiteral("2\ta\\x0ab\\x09c"));
        QCOMPARE(QJsonDocument::fromJson(runToolIn(dir.path(), { "hue", "2" }).out.toUtf8())["name"].toString(),
                 QStringLiteral("a\nb\tc"));

        // A trailing part group: the whole groups shown with a warning, verify names the file.
        QVERIFY(writeBytes(dir.filePath("hues.mul"), bytes.left(2 * kHueGroupSize + 5)));
        r = runToolIn(dir.path(), { "hues" });
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.count('\n'), 16);
        QVERIFY(r.err.contains("warning") && r.err.contains("hues.mul is damaged"));
        QCOMPARE(runToolIn(dir.path(), { "hue", "16" }).exitCode, 0);
        QCOMPARE(runToolIn(dir.path(), { "hue", "17" }).exitCode, 2);
        r = runToolIn(dir.path(), { "verify" });
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.out.contains("hues.mul is damaged: its size (1421 bytes)"), qPrintable(r.out));
        QVERIFY(r.err.contains("hues.mul 1"));
        r = runToolIn(dir.path(), { "info" });
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("\nhues: 16 (hues.mul, 1421 bytes); read-only: "), qPrintable(r.out));

        // Missing: no hues, and nothing else is affected.
        QVERIFY(QFile::remove(dir.filePath("hues.mul")));
        QVERIFY(runToolIn(dir.path(), { "info" }).out.contains("\nhues: none (hues.mul missing)\n"));
        QCOMPARE(runToolIn(dir.path(), { "verify" }).exitCode, 0);
        QVERIFY(failsWith(runToolIn(dir.path(), { "hues" }), 2, "hues.mul is missing"));
        QVERIFY(failsWith(runToolIn(dir.path(), { "export-image", "static", "1", dir.filePath("a.png"), "--hue", "3" }),
                          2, "hues.mul is missing"));
        QCOMPARE(runToolIn(dir.path(), { "export-image", "static", "1", dir.filePath("a.png"), "--hue", "0" }).exitCode, 0);
    }

    void exportImageDrawsTheHue()
    {
        const HueEntry hue = *readHueFile(m_demo.path()).hue(5);
        auto ramp = [&](QRgb p) { return color16ToRgb(qint16(hue.colors[size_t(channelLevel(qRed(p)))])); };
        auto exported = [&](int kind, int id, const QStringList& options) {
            const QString out = m_out.filePath(QStringLiteral("%1-%2-%3.png").arg(kind).arg(id).arg(options.join("")));
            const ToolRun r = runToolIn(m_demo.path(), QStringList { "export-image", kindName(kind), QString::number(id), out } + options);
            if (r.exitCode != 0)
                qWarning("%s", qPrintable(r.err));
            return QImage(out).convertToFormat(QImage::Format_ARGB32);
        };

        // The grey urn, hued fully by default: every opaque pixel from the ramp, the rest clear.
        const QImage urn = readImageFromFiles(m_demo.path(), Static, m_summary.greyStatic);
        forOpaquePixels(urn, exported(Static, m_summary.greyStatic, { "--hue", "5" }), [&](QRgb s, QRgb h) {
            QVERIFY(qAlpha(s) == 0 ? h == s : isGrey(s) && h == ramp(s));
        });

        // The shield has the Partial Hue flag: only its greys are hued, unless --full is asked.
        QVERIFY(readTileRecord(m_demo.path(), Static, m_summary.partialHueStatic).flags & kPartialHueFlag);
        const QImage shield = readImageFromFiles(m_demo.path(), Static, m_summary.partialHueStatic);
        int greys = 0, colours = 0;
        forOpaquePixels(shield, exported(Static, m_summary.partialHueStatic, { "--hue", "5" }), [&](QRgb s, QRgb h) {
            if (qAlpha(s) == 0)
                return;
            ++(isGrey(s) ? greys : colours);
            QCOMPARE(h, isGrey(s) ? ramp(s) : s);
        });
        QVERIFY(greys > 100 && colours > 50);
        forOpaquePixels(shield, exported(Static, m_summary.partialHueStatic, { "--hue", "5", "--full" }),
                        [&](QRgb s, QRgb h) { QCOMPARE(h, qAlpha(s) == 0 ? s : ramp(s)); });

        // A gump fully unless --partial; hue 0 is the stored picture.
        const QImage gump = readImageFromFiles(m_demo.path(), Gump, m_summary.greyGump);
        QCOMPARE(exported(Gump, m_summary.greyGump, { "--hue", "5" }), applyHue(gump, hue, HueMode::Full));
        QCOMPARE(exported(Gump, m_summary.greyGump, { "--hue", "5", "--partial" }), applyHue(gump, hue, HueMode::Partial));
        QCOMPARE(exported(Gump, m_summary.greyGump, { "--hue", "0" }), gump);
        QCOMPARE(exported(Gump, m_summary.greyGump, { "--hue", "0x0" }), gump);
        QCOMPARE(exported(Land, 0, { "--hue", "5" }), applyHue(readImageFromFiles(m_demo.path(), Land, 0), hue, HueMode::Full));

        const QString png = m_out.filePath("refused.png");
        QVERIFY(failsWith(runToolIn(m_demo.path(), { "export-image", "gump", "1", png, "--hue", "3001" }), 2, "hue: 3001"));
        QVERIFY(failsWith(runToolIn(m_demo.path(), { "export-image", "gump", "1", png, "--hue", "x" }), 1, "'x'"));
        QVERIFY(failsWith(runToolIn(m_demo.path(), { "export-image", "gump", "1", png, "--partial" }), 1, "--hue"));
        QVERIFY(failsWith(runToolIn(m_demo.path(), { "export-image", "gump", "1", png, "--hue", "2", "--partial", "--full" }),
                          1, "exclude"));
        QVERIFY(!QFile::exists(png));
    }

    void demoHasPicturesForHuesAndAMovingCrystal()
    {
        QVERIFY(m_summary.greyStatic > 0 && m_summary.greyGump > 0 && m_summary.crystalStatic > 0);
        const anim_st a = readAnimRecord(m_demo.path(), m_summary.crystalStatic);
        QVERIFY(readTileRecord(m_demo.path(), Static, m_summary.crystalStatic).flags & kAnimatedFlag);
        QVERIFY(a.frameStart > 0 && a.frameCount == 4);
        QVector<QImage> frames;
        for (int f = 0; f < 3; ++f)
            frames << readImageFromFiles(m_demo.path(), Static, m_summary.crystalStatic + a.frames[size_t(f)]);
        QVERIFY(!frames[0].isNull() && frames[0] != frames[1] && frames[1] != frames[2] && frames[0] != frames[2]);
        const QImage gump = readImageFromFiles(m_demo.path(), Gump, m_summary.greyGump);
        forOpaquePixels(gump, gump, [&](QRgb s, QRgb) { QVERIFY(qAlpha(s) == 255 && isGrey(s)); });
        // Ramps of varied colours, some from black.
        const HueFile hues = readHueFile(m_demo.path());
        QCOMPARE(hues.hue(1)->colors[0], quint16(0));
        QVERIFY(hues.hue(2)->colors[31] != hues.hue(1)->colors[31]);
    }

private:
    QTemporaryDir m_demo;
    QTemporaryDir m_out;
    DemoSummary m_summary;
};

QTEST_GUILESS_MAIN(TestQmtoolHues)
#include "tst_qmtool_hues.moc"
