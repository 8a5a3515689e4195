// Hues as the session serves, edits and saves them, and qmtool's set-hue over the same path:
// an edit is one undo step, Save writes only the changed hue's 88 bytes, refusals change nothing.
#include "demodata.h"
#include "editsession.h"
#include "hues.h"
#include "savedirs.h"
#include "testdata.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

// The bytes of `after` equal those of `before` everywhere outside [offset, offset + length).
bool sameOutside(const QByteArray& before, const QByteArray& after, qint64 offset, int length)
{
    return before.size() == after.size() && before.left(int(offset)) == after.left(int(offset))
        && before.mid(int(offset + length)) == after.mid(int(offset + length));
}

HueEntry storedHue(const QString& dir, int number)
{
    return parseHueEntry(readBytes(dir + "/hues.mul").constData() + hueOffset(number));
}

} // namespace

class TestSessionHues : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QString error;
        QVERIFY2(writeDemoDirectory(m_dir->path(), false, false, &error), qPrintable(error));
    }

    void editUndoAndSaveWriteOnlyTheHue()
    {
        const QString dir = m_dir->path();
        const QMap<QString, QByteArray> before = fileSnapshot(dir);
        EditSession s;
        s.open(dir);
        QCOMPARE(s.hueCount(), 3000);
        const HueEntry stored = s.hue(5);
        QCOMPARE(stored, storedHue(dir, 5));

        HueEntry edited = stored;
        edited.colors[3] = 0x7C00;
        edited.tableStart = 0x1234;
        QString error;
        QVERIFY(setHueName(edited, "Deep Red", &error));
        QSignalSpy changed(&s, &EditSession::hueChanged);
        QVERIFY2(s.setHue(5, edited, &error), qPrintable(error));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(s.hue(5), edited);
        QVERIFY(s.isHueEdited(5));
        QCOMPARE(s.editedHues(), QVector<int> { 5 });
        QCOMPARE(s.undoText(), QString("Change Hue 5"));
        QVERIFY(s.isModified());

        s.undo();
        QCOMPARE(s.hue(5), stored);
        QVERIFY(!s.isHueEdited(5));
        QVERIFY(!s.isModified());
        s.redo();
        QCOMPARE(s.hue(5), edited);

        QVERIFY2(s.save(&error), qPrintable(error));
        QVERIFY(!s.isHueEdited(5));
        QCOMPARE(s.hue(5), edited);
        const QMap<QString, QByteArray> after = fileSnapshot(dir);
        QCOMPARE(after.keys(), before.keys());
        for (const QString& name : before.keys())
            if (name != "hues.mul")
                QVERIFY2(after[name] == before[name], qPrintable(name));
        QVERIFY(sameOutside(before["hues.mul"], after["hues.mul"], hueOffset(5), kHueEntrySize));
        QCOMPARE(storedHue(dir, 5), edited);
        QCOMPARE(storedHue(dir, 5).name(), QString("Deep Red"));

        // Undo past the save brings back what the file held before it; saving that restores
        // the file byte for byte.
        s.undo();
        QCOMPARE(s.hue(5), stored);
        QVERIFY2(s.save(&error), qPrintable(error));
        QCOMPARE(readBytes(dir + "/hues.mul"), before["hues.mul"]);

        // Setting a hue to what it is is no step.
        QVERIFY(s.setHue(7, s.hue(7), &error));
        QVERIFY(!s.isHueEdited(7));
        QVERIFY(!s.canUndo());
        QCOMPARE(s.redoText(), QString("Change Hue 5"));
    }

    void refusalsNameTheFieldAndChangeNothing()
    {
        EditSession s;
        s.open(m_dir->path());
        const HueEntry stored = s.hue(1);
        QString error;

        QVERIFY(!s.setHue(0, stored, &error));
        QVERIFY2(error.contains("hue") && error.contains('0'), qPrintable(error));
        QVERIFY(!s.setHue(3001, stored, &error));
        QVERIFY2(error.contains("3001"), qPrintable(error));

        HueEntry bad = stored;
        bad.colors[31] = 0x8000;
        QVERIFY(!s.setHue(1, bad, &error));
        QVERIFY2(error.contains("colors[31]") && error.contains("0x7FFF"), qPrintable(error));

        bad = stored;
        bad.nameBytes = QByteArray(21, 'a');
        QVERIFY(!s.setHue(1, bad, &error));
        QVERIFY2(error.startsWith("name"), qPrintable(error));
        bad = stored;
        QVERIFY(!setHueName(bad, QString(21, 'a'), &error));
        QVERIFY2(error.startsWith("name"), qPrintable(error));
        QVERIFY(!setHueName(bad, QString::fromUtf8("Блеск"), &error));
        QVERIFY2(error.startsWith("name"), qPrintable(error));

        QVERIFY(!s.canUndo());
        QVERIFY(s.editedHues().isEmpty());
        QCOMPARE(s.hue(1), stored);
    }

    void missingAndDamagedFilesAreReadOnly()
    {
        const QString dir = m_dir->path();
        QByteArray bytes = readBytes(dir + "/hues.mul");
        QVERIFY(writeBytes(dir + "/hues.mul", bytes + QByteArray(5, 'x')));
        EditSession s;
        s.open(dir);
        QCOMPARE(s.hueCount(), 3000);   // the whole groups are shown
        QString error;
        HueEntry edited = s.hue(2);
        edited.colors[0] = 1;
        QVERIFY(!s.setHue(2, edited, &error));
        QVERIFY2(error.contains("hues.mul") && error.contains("read-only"), qPrintable(error));
        QVERIFY(s.huesStatus().contains("hues.mul"));

        QVERIFY(QFile::remove(dir + "/hues.mul"));
        s.open(dir);
        QCOMPARE(s.hueCount(), 0);
        QVERIFY(!s.huesPresent());
        QVERIFY2(s.huesStatus().contains("missing"), qPrintable(s.huesStatus()));
        QVERIFY(!s.setHue(1, edited, &error));
        // Other edits still save without a hues.mul.
        QVERIFY2(s.save(&error), qPrintable(error));
        QVERIFY(!QFile::exists(dir + "/hues.mul"));
    }

    void anotherProgramsRewriteRefusesSave()
    {
        const QString dir = m_dir->path();
        EditSession s;
        s.open(dir);
        HueEntry edited = s.hue(9);
        edited.colors[0] = 0x001F;
        QString error;
        QVERIFY(s.setHue(9, edited, &error));
        const QByteArray theirs = readBytes(dir + "/hues.mul") + QByteArray(kHueGroupSize, '\0');
        QVERIFY(writeBytes(dir + "/hues.mul", theirs));
        QVERIFY(!s.save(&error));
        QVERIFY2(error.contains("hues.mul") && error.contains("another program"), qPrintable(error));
        QCOMPARE(readBytes(dir + "/hues.mul"), theirs);
        QVERIFY(s.isHueEdited(9));   // the edit is kept
    }

    void qmtoolSetHue()
    {
        const QString dir = m_dir->path();
        const QByteArray before = readBytes(dir + "/hues.mul");
        QStringList colors;
        for (int i = 0; i < kHueColorCount; ++i)
            colors << QString("0x%1").arg(i * 0x421, 4, 16, QChar('0'));
        ToolRun r = runToolIn(dir, { "set-hue", "12", "name=Moss", "colors=" + colors.join(','), "tableEnd=0x20" });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QByteArray after = readBytes(dir + "/hues.mul");
        QVERIFY(sameOutside(before, after, hueOffset(12), kHueEntrySize));
        const QJsonObject hue = QJsonDocument::fromJson(runToolIn(dir, { "hue", "12" }).out.toUtf8()).object();
        QCOMPARE(hue["name"].toString(), QString("Moss"));
        QCOMPARE(hue["colors"].toArray().at(2).toString(), QString("0x0842"));
        QCOMPARE(hue["tableEnd"].toInt(), 0x20);
        QCOMPARE(hue["tableStart"].toInt(), int(parseHueEntry(before.constData() + hueOffset(12)).tableStart));

        // Refusals: each names the field (or the number) and leaves every file as it was.
        const QMap<QString, QByteArray> files = fileSnapshot(dir);
        const struct {
            QStringList args;
            int code;
            QString part;
        } refused[] = {
            { { "set-hue", "0", "name=x" }, 2, "0" },
            { { "set-hue", "3001", "name=x" }, 2, "3001" },
            { { "set-hue", "red", "name=x" }, 1, "'red'" },
            { { "set-hue", "3", "colors=1,2,3" }, 1, "colors" },
            { { "set-hue", "3", "colors=" + QStringList(32, "0x8000").join(',') }, 1, "colors" },
            { { "set-hue", "3", "name=" + QString(21, 'n') }, 1, "name" },
            { { "set-hue", "3", "tableStart=70000" }, 1, "tableStart" },
            { { "set-hue", "3", "shade=1" }, 1, "shade" },
            { { "set-hue", "3" }, 1, "usage" },
        };
        for (const auto& c : refused) {
            r = runToolIn(dir, c.args);
            QVERIFY2(r.exitCode == c.code && r.err.contains(c.part), qPrintable(c.args.join(' ') + ": " + r.err));
            QVERIFY(fileSnapshot(dir) == files);
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestSessionHues)
#include "tst_session_hues.moc"
