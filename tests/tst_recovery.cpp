// Save under failure: every failing write, interruption and crash leaves the files either
// wholly old or (once recovered) wholly new, and a failed save keeps the change set.
#include "rewrite.h"
#include "savedirs.h"
#include "savecheckpoint.h"
#include "savetransaction.h"
#include "savewrappers.h"
#include "testdata.h"
#include "tiledata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace qm;

namespace {


// The save every test interrupts: deletions in three catalogues, an edited image, a tile and
// an animation record.
struct Scenario {
    Listed listed;
    ChangeSet changes;

    explicit Scenario(const QString& dir)
        : listed(listedIn(dir))
    {
        listed.ids[Static].removeAll(1);
        listed.ids[Gump].removeAll(0);
        listed.ids[Texture].removeAll(3);
        QImage image = filledImage(5, 7, 0xff204080);
        changes.images[Static].insert(0, image);
        tile_struct tile;
        tile.name = QStringLiteral("saved");
        changes.tiles[Static].insert(300, tile);
        anim_st anim;
        anim.frameCount = 2;
        changes.animEntries.insert(3, anim);
    }
    bool run(const QString& dir, QString* error) { return saveAll(dir, listed.ids, changes, true, error); }
};

// The scenario run once on a fresh standard directory, while `guard` (a fault) is in place.
struct Attempt {
    SaveDir dir;
    QMap<QString, QByteArray> before;
    std::unique_ptr<Scenario> scenario;
    ChangeSet staged;
    QString error;
    bool ok = false;

    template <typename MakeGuard>
    explicit Attempt(MakeGuard&& makeGuard)
    {
        dir.writeStandard();
        before = dir.snapshot();
        scenario = std::make_unique<Scenario>(dir.path());
        staged = scenario->changes;
        const auto guard = makeGuard();
        ok = scenario->run(dir.path(), &error);
    }
    // A failed save keeps every staged edit.
    bool keptChanges() const
    {
        return scenario->changes.tiles[Static].keys() == staged.tiles[Static].keys()
            && scenario->changes.animEntries.keys() == staged.animEntries.keys();
    }
};

QMap<QString, QByteArray> savedStandard()
{
    SaveDir dir;
    dir.writeStandard();
    Scenario s(dir.path());
    QString error;
    if (!s.run(dir.path(), &error))
        qWarning("reference save failed: %s", qPrintable(error));
    return dir.snapshot();
}

class CheckpointFailure {
public:
    explicit CheckpointFailure(int at)
    {
        setSaveCheckpointHook([at, count = 0](const char*) mutable { return ++count != at; });
    }
    ~CheckpointFailure() { setSaveCheckpointHook(nullptr); }
};

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);   // a too large write then fails with EFBIG
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old {};
};

// Digests of every file, to compare large directories cheaply.
QMap<QString, QByteArray> digests(const QString& path)
{
    QMap<QString, QByteArray> out;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        QCryptographicHash hash(QCryptographicHash::Sha1);
        if (f.open(QIODevice::ReadOnly))
            hash.addData(&f);
        out.insert(name, hash.result());
    }
    return out;
}

// A directory big enough for a save to take a while: 12,000 statics of 2 to 4 KB, stored
// with gaps so that the compacted files differ from the old ones.
void writeLargeDirectory(SaveDir& dir)
{
    QVector<PlacedEntry> entries;
    qint32 offset = 0;
    for (int id = 0; id < 12000; ++id) {
        const qint32 length = 2048 + (id * 37) % 2048;
        entries.append({ kLandCount + id, offset, length, quint32(id) });
        offset += length + 16;
    }
    dir.writePair(Land, kArtRecordCount, entries);
    dir.writePair(Gump, 10, { { 2, 0, 100, 0x00050005 } });
    dir.writeTileData(kFullTileDataSize);
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT

private slots:
    void leftoversAreFinishedOrRemoved()
    {
        SaveDir dir;
        dir.writeStandard();
        const auto original = dir.snapshot();

        // A whole journal: the swap had begun (art.mul is already the new file).
        writeBytes(dir.file("art.mul"), "new art");
        writeBytes(dir.file("artidx.mul.qmg"), "new index");
        writeBytes(dir.file("savejournal.qmg"), "Quillmark save journal 1\nart.mul\nartidx.mul\nend\n");
        QStringList report;
        QString error;
        QVERIFY(hasPendingSave(dir.path()));
        QVERIFY2(recoverInterruptedSave(dir.path(), &report, &error), qPrintable(error));
        QCOMPARE(readBytes(dir.file("artidx.mul")), QByteArray("new index"));
        QCOMPARE(readBytes(dir.file("art.mul")), QByteArray("new art"));
        QVERIFY(!hasPendingSave(dir.path()) && !QFile::exists(dir.file("artidx.mul.qmg")));
        QCOMPARE(report.size(), 1);
        QVERIFY(report[0].contains("art.mul, artidx.mul"));

        // A journal cut short, or none: the swap never began; the staged files go.
        writeBytes(dir.file("gumpart.mul.qmg"), "partial");
        writeBytes(dir.file("savejournal.qmg"), "Quillmark save journal 1\ngumpart.mul\n");
        writeBytes(dir.file("animdata.mul.qmg"), "partial");
        report.clear();
        QVERIFY2(recoverInterruptedSave(dir.path(), &report, &error), qPrintable(error));
        QCOMPARE(readBytes(dir.file("gumpart.mul")), original["gumpart.mul"]);
        QVERIFY(!QFile::exists(dir.file("gumpart.mul.qmg")) && !QFile::exists(dir.file("animdata.mul.qmg")));
        QVERIFY(!hasPendingSave(dir.path()));
        QCOMPARE(report.size(), 1);
        QVERIFY(report[0].contains("animdata.mul.qmg") && report[0].contains("unchanged"));

        // Nothing to do: nothing said.
        report.clear();
        QVERIFY(recoverInterruptedSave(dir.path(), &report, &error));
        QVERIFY(report.isEmpty());

        // A journal naming a file no save writes is not acted on, and saving waits for it.
        writeBytes(dir.file("evil.qmg"), "x");
        writeBytes(dir.file("savejournal.qmg"), "Quillmark save journal 1\n../evil\nend\n");
        QVERIFY(!recoverInterruptedSave(dir.path(), &report, &error));
        QVERIFY(QFile::exists(dir.file("evil.qmg")));
        ChangeSet changes;
        QVERIFY(!saveImageFiles(dir.path(), Gump, { 1 }, changes, &error));
        QVERIFY2(error.contains("unfinished save"), qPrintable(error));
    }

    void onlyOneProgramSavesAtATime()
    {
        SaveDir dir;
        dir.writeStandard();
        const auto before = dir.snapshot();
        QLockFile other(dir.file("savelock.qmg"));   // as the editor holds it while saving
        QVERIFY(other.lock());
        ChangeSet changes;
        QString error;
        QVERIFY(!saveImageFiles(dir.path(), Gump, { 1 }, changes, &error));
        QVERIFY2(error.startsWith("Another program is saving into"), qPrintable(error));
        other.unlock();
        QCOMPARE(dir.snapshot(), before);
        QVERIFY(saveImageFiles(dir.path(), Gump, { 1 }, changes, &error));

        // A lock whose writer was killed before it could name itself is taken over.
        QFile ownerless(dir.file("savelock.qmg"));
        QVERIFY(ownerless.open(QIODevice::WriteOnly));
        QVERIFY(ownerless.setFileTime(QDateTime::currentDateTime().addSecs(-10), QFileDevice::FileModificationTime));
        ownerless.close();
        QVERIFY2(saveImageFiles(dir.path(), Gump, { 1 }, changes, &error), qPrintable(error));
        QVERIFY(!QFile::exists(dir.file("savelock.qmg")));
    }

    void failureAtEveryPointLeavesOldOrNew()
    {
        const auto expectedNew = savedStandard();
        int failures = 0;
        for (int at = 1;; ++at) {
            Attempt a([at] { return std::make_unique<CheckpointFailure>(at); });
            if (a.ok) {
                QCOMPARE(a.dir.snapshot(), expectedNew);
                break;
            }
            ++failures;
            QVERIFY2(a.error.contains("stopped by a test"), qPrintable(a.error));
            QVERIFY(a.keptChanges());
            if (hasPendingSave(a.dir.path())) {
                // Failed after the commit point: the next opening finishes the save, and so
                // does the next save, which then writes the kept edits again.
                QString nextError;
                if (at % 2)
                    QVERIFY2(recoverInterruptedSave(a.dir.path(), nullptr, &nextError), qPrintable(nextError));
                else
                    QVERIFY2(a.scenario->run(a.dir.path(), &nextError), qPrintable(nextError));
                QCOMPARE(a.dir.snapshot(), expectedNew);
            } else {
                QCOMPARE(a.dir.snapshot(), a.before);
            }
        }
        QVERIFY(failures > 10);
        qInfo("failed saves tried at %d points", failures);
    }

    void fileSizeLimitFailsEveryStepCleanly_data()
    {
        QTest::addColumn<qint64>("limit");
        // A real EFBIG at each kind of write: the lock, art.mul, artidx.mul and tiledata.mul
        // (the last one byte short); the checkpoint test stops every other point.
        for (qint64 limit : { 0LL, 150LL, 1000LL, 2861055LL })
            QTest::newRow(qPrintable(QString::number(limit))) << limit;
    }

    void fileSizeLimitFailsEveryStepCleanly()
    {
        QFETCH(qint64, limit);
        Attempt a([limit] { return std::make_unique<FileSizeLimit>(rlim_t(limit)); });
        if (a.ok) {
            QCOMPARE(a.dir.snapshot(), savedStandard());   // everything fitted
            return;
        }
        // The lock file is the first thing written.
        QVERIFY2(a.error.contains(".qmg failed: File too large") || a.error.contains("Cannot create savelock.qmg"),
                 qPrintable(a.error));
        QCOMPARE(a.dir.snapshot(), a.before);
        QVERIFY(a.keptChanges());
    }

    void blockedStagingPlaceFailsCleanly()
    {
        SaveDir dir;
        dir.writeStandard();
        const auto before = dir.snapshot();
        QVERIFY(QDir(dir.path()).mkdir("texidx.mul.qmg"));
        Scenario s(dir.path());
        QString error;
        QVERIFY(!s.run(dir.path(), &error));
        QVERIFY2(error.startsWith("Creating texidx.mul.qmg failed"), qPrintable(error));
        QCOMPARE(dir.snapshot(), before);
    }

    void crashedToolRunsRecover()
    {
        SaveDir reference;
        reference.writeStandard();
        QCOMPARE(runTool({ "--dir", reference.path(), "delete", "static", "1" }).exitCode, 0);
        const auto expectedNew = reference.snapshot();

        int crashes = 0;
        for (int at = 1;; ++at) {
            SaveDir dir;
            dir.writeStandard();
            const auto before = dir.snapshot();
            const ToolRun run = runTool({ "--dir", dir.path(), "delete", "static", "1" },
                                        { QStringLiteral("QMTOOL_SAVE_CRASH_AT=%1").arg(at) });
            if (run.exitCode == 0) {
                QCOMPARE(dir.snapshot(), expectedNew);
                break;
            }
            QCOMPARE(run.exitCode, 86);
            ++crashes;
            QString error;
            QVERIFY2(recoverInterruptedSave(dir.path(), nullptr, &error), qPrintable(error));
            const auto after = dir.snapshot();
            QVERIFY2(after == before || after == expectedNew, qPrintable(QString::number(at)));
        }
        QVERIFY(crashes > 10);
        qInfo("qmtool crashed at %d points, every one recovered", crashes);
    }

    void killedToolRunsRecover()
    {
        SaveDir reference;
        writeLargeDirectory(reference);
        const auto before = digests(reference.path());
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(runTool({ "--dir", reference.path(), "delete", "static", "--help" }).exitCode, 0);
        const qint64 startUp = timer.restart();
        QCOMPARE(runTool({ "--dir", reference.path(), "delete", "static", "7" }).exitCode, 0);
        const qint64 fullRun = qMax<qint64>(timer.elapsed(), startUp + 10);
        const auto expectedNew = digests(reference.path());
        QVERIFY(expectedNew != before);

        // Kills spread over the time the save runs, each at a random moment of its slice.
        const int kills = 6;
        int midSave = 0;
        for (int i = 0; i < kills; ++i) {
            SaveDir dir;
            writeLargeDirectory(dir);
            const qint64 slice = qMax<qint64>((fullRun - startUp) / kills, 1);
            const qint64 delay = startUp + slice * i + QRandomGenerator::global()->bounded(slice);
            QProcess process;
            timer.restart();
            process.start(QStringLiteral(QMTOOL_PATH), { "--dir", dir.path(), "delete", "static", "7" });
            QVERIFY(process.waitForStarted());
            QTest::qSleep(int(qMax<qint64>(delay - timer.elapsed(), 0)));
            process.kill();   // SIGKILL
            process.waitForFinished();
            const QStringList leftovers = QDir(dir.path()).entryList({ "*.mul.qmg", "savejournal.qmg" }, QDir::Files);
            if (!leftovers.isEmpty())
                ++midSave;
            QString error;
            QVERIFY2(recoverInterruptedSave(dir.path(), nullptr, &error), qPrintable(error));
            const auto after = digests(dir.path());
            QVERIFY2(after == before || after == expectedNew, qPrintable(QString::number(delay)));
        }
        qInfo("qmtool killed %d times, %d of them in the middle of writing files (start-up %lld ms, "
              "full run %lld ms); every one recovered", kills, midSave, startUp, fullRun);
    }
};

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
