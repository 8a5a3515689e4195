// qmtool diff end to end: its lines and counts, the catalogue filter, JSON, exit codes with
// and without --exit-code, refusals, and the other directory left untouched.
#include "demodata.h"
#include "indexfile.h"
#include "savedirs.h"
#include "testdata.h"
#include "twodirs.h"
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

ToolRun diff(const QString& here, const QStringList& args)
{
    return runTool(QStringList { "--dir", here, "diff" } + args, { "XDG_CONFIG_HOME=" + QDir::tempPath() + "/qm-none" });
}

} // namespace

class TestQmtoolDiff : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_here = m_root.filePath("here");
        m_there = m_root.filePath("there");
        writeDemoAndCopy(m_here, m_there);
        // There: land 0x10 renamed, gump 0x0 dropped from its index.
        tile_struct land = readTileRecord(m_here, Land, 0x10);
        land.name = "elsewhere";
        QFile tiles(mulPath(m_there, "tiledata.mul"));
        QVERIFY(tiles.open(QIODevice::ReadWrite) && tiles.seek(landTileOffset(0x10)));
        tiles.write(landTileBytes(land));
        tiles.close();
        m_gump = readCatalogues(m_here).listed[Gump].value(0, -1);
        QVERIFY(m_gump >= 0);
        QFile index(mulPath(m_there, indexFileName(Gump)));
        QVERIFY(index.open(QIODevice::ReadWrite) && index.seek(qint64(m_gump) * kIndexRecordSize));
        QByteArray empty;
        appendIndexRecord(empty, IndexRecord());
        index.write(empty);
    }

    void linesCountsAndExitCodes()
    {
        const QMap<QString, QByteArray> before = fileSnapshot(m_there);
        ToolRun r = diff(m_here, { m_there });
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QString("land 0x10 tile name\n"
                                "gump %1 only-here\n"
                                "land: 1 items differ (1 lines)\n"
                                "static: 0 items differ (0 lines)\n"
                                "gump: 1 items differ (1 lines)\n"
                                "texture: 0 items differ (0 lines)\n")
                            .arg(hexId(m_gump)));
        QCOMPARE(r.err, QString());
        QCOMPARE(diff(m_here, { m_there, "--exit-code" }).exitCode, 3);
        // Only the catalogues asked for.
        r = diff(m_here, { m_there, "gump", "--exit-code" });
        QCOMPARE(r.exitCode, 3);
        QCOMPARE(r.out, QString("gump %1 only-here\ngump: 1 items differ (1 lines)\n").arg(hexId(m_gump)));
        r = diff(m_here, { m_there, "texture", "static", "--exit-code" });
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QString("static: 0 items differ (0 lines)\ntexture: 0 items differ (0 lines)\n"));
        QCOMPARE(fileSnapshot(m_there), before);
    }

    void json()
    {
        const ToolRun r = diff(m_here, { m_there, "land", "--json" });
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        const QJsonArray lines = o.value("differences").toArray();
        QCOMPARE(lines.size(), 1);
        const QJsonObject d = lines.at(0).toObject();
        QCOMPARE(d.value("kind").toString(), QString("land"));
        QCOMPARE(d.value("id").toInt(), 0x10);
        QCOMPARE(d.value("what").toString(), QString("tile"));
        QCOMPARE(d.value("fields").toArray(), QJsonArray { "name" });
        QCOMPARE(o.value("counts").toObject().value("land").toObject().value("items").toInt(), 1);
    }

    void refusals()
    {
        ToolRun r = diff(m_here, { m_here });
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("same directory"), qPrintable(r.err));
        QCOMPARE(r.out, QString());
        r = diff(m_here, { m_root.filePath("missing") });
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("does not exist"), qPrintable(r.err));
        r = diff(m_here, { m_there, "tiles" });
        QCOMPARE(r.exitCode, 1);
        r = diff(m_here, { "--help" });
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("Arguments:") && r.out.contains("OTHERDIR") && r.out.contains("--exit-code"));
    }

    // A damaged catalogue there is named on stderr, and its items are unreadable, not equal.
    void unreadableThere()
    {
        const QString broken = m_root.filePath("broken");
        copyDirectory(m_here, broken);
        QVERIFY(writeBytes(mulPath(broken, "gumpartLegacyMUL.uop"), QByteArray(64, 'x')));
        const ToolRun r = diff(m_here, { broken, "gump", "--exit-code" });
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.startsWith("qmtool: warning: gump there: cannot be listed: "), qPrintable(r.err));
        QVERIFY2(r.out.startsWith(QString("gump %1 unreadable there: ").arg(hexId(m_gump))), qPrintable(r.out));
    }

private:
    QTemporaryDir m_root;
    QString m_here, m_there;
    int m_gump = -1;
};

QTEST_GUILESS_MAIN(TestQmtoolDiff)
#include "tst_qmtool_diff.moc"
