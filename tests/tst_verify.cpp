// qmtool verify checks every file a save depends on and counts problems per file; export-image
// judges a record as verify does.
#include "demodata.h"
#include "indexfile.h"
#include "savedirs.h"
#include "testdata.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

struct Demo {
    QTemporaryDir dir;
    Demo()
    {
        QString error;
        if (!writeDemoDirectory(dir.path(), false, false, &error))
            qFatal("%s", qPrintable(error));
    }
    QString file(const QString& name) const { return dir.filePath(name); }
    ToolRun tool(const QStringList& args) const { return runToolIn(dir.path(), args); }
};

} // namespace

class TestVerify : public QObject {
    Q_OBJECT

private slots:
    // size -1: the file is replaced by a folder (it cannot be read); -2: the file is removed.
    void everyFileTheEditorReadsIsChecked_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("line");
        QTest::newRow("empty animdata") << "animdata.mul" << 0 << "animdata.mul: empty";
        QTest::newRow("cut animdata") << "animdata.mul" << 1000
                                      << "animdata.mul: its size of 1000 bytes is no whole number of 548-byte blocks";
        QTest::newRow("unreadable tiledata") << "tiledata.mul" << -1 << "tiledata.mul: not a file";
        QTest::newRow("empty gump index") << "gumpidx.mul" << 0 << "gumpidx.mul is damaged: it is empty but gumpart.mul holds";
        QTest::newRow("missing texture data") << "texmaps.mul" << -2 << "texmaps.mul: missing";
        QTest::newRow("unreadable art index") << "artidx.mul" << -1 << "artidx.mul: not a file";
    }

    void everyFileTheEditorReadsIsChecked()
    {
        QFETCH(QString, file);
        QFETCH(int, size);
        QFETCH(QString, line);
        Demo demo;
        if (size == -2 || size == -1)
            QVERIFY(QFile::remove(demo.file(file)));
        if (size == -1)
            QVERIFY(QDir(demo.dir.path()).mkdir(file));
        if (size >= 0)
            QVERIFY(QFile(demo.file(file)).resize(size));
        const ToolRun run = demo.tool({ "verify" });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.out.startsWith(line), qPrintable(run.out));
        QVERIFY2(run.err.contains(QStringLiteral("by file: %1 1").arg(file)), qPrintable(run.err));
    }

    // Thousands of broken entries are counted, not listed: the first few, then the rest's number.
    void problemsAreCountedPerFile()
    {
        Demo demo;
        QVector<IndexRecord> gumps = emptyIndex(40);
        for (IndexRecord& r : gumps)
            r = { 1 << 30, 8, 0x00020002 };
        writeBytes(demo.file("gumpidx.mul"), indexBytes(gumps));
        QVERIFY(QFile(demo.file("animdata.mul")).resize(1000));
        const ToolRun run = demo.tool({ "verify" });
        QCOMPARE(run.exitCode, 2);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5 + 1 + 1);
        QVERIFY(lines[0].startsWith("Gump 0x0: record at offset 1073741824 starts outside gumpart.mul"));
        QCOMPARE(lines[5], QStringLiteral("gumpart.mul: 35 more problem(s) not named"));
        QVERIFY(lines[6].startsWith("animdata.mul: "));
        QVERIFY2(run.err.startsWith("qmtool: 41 problem(s) by file: gumpart.mul 40, animdata.mul 1 ("), qPrintable(run.err));
    }

    // A record cut short: verify names it, export-image writes what it could and says so.
    void cutRecordIsNamedAndExportedWithAWarning()
    {
        Demo demo;
        const int id = readCatalogues(demo.dir.path()).listed[Static].value(3);
        QByteArray index = readBytes(demo.file("artidx.mul"));
        QByteArray art = readBytes(demo.file("art.mul"));
        const IndexRecord r = indexRecordAt(index, kLandCount + id);
        const QByteArray cut = art.mid(r.offset, r.length - 4);   // the last row loses its end
        const IndexRecord moved { qint32(art.size()), qint32(cut.size()), r.extra };
        QByteArray record;
        appendIndexRecord(record, moved);
        index.replace(int(kLandCount + id) * kIndexRecordSize, kIndexRecordSize, record);
        writeBytes(demo.file("artidx.mul"), index);
        writeBytes(demo.file("art.mul"), art + cut);

        const QString name = QStringLiteral("Static 0x%1").arg(id, 0, 16);
        const ToolRun verify = demo.tool({ "verify" });
        QCOMPARE(verify.out, name + ": record is damaged or cut short\n");
        const QString png = demo.file("cut.png");
        const ToolRun exported = demo.tool({ "export-image", "static", QString::number(id), png });
        QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
        QVERIFY(!QImage(png).isNull());
        QVERIFY2(exported.err.startsWith("qmtool: warning: " + name + ": record is damaged or cut short"),
                 qPrintable(exported.err));
    }
};

QTEST_GUILESS_MAIN(TestVerify)
#include "tst_verify.moc"
