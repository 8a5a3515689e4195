// A save replaces files with new ones; the new ones keep what the old ones had: permission
// bits, owner and group, and the symbolic links that point at them.
#include "rewrite.h"
#include "savedirs.h"
#include "savewrappers.h"
#include "testdata.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace qm;

namespace {

struct stat statOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Deleting gump 1 rewrites both gump files.
bool saveGumpDeletion(const SaveDir& dir, QString* error)
{
    ChangeSet changes;
    return saveImageFiles(dir.path(), Gump, { 0, 4 }, changes, error);
}

} // namespace

class TestSaveKeeps : public QObject {
    Q_OBJECT

private slots:
    void modeOwnerAndGroupSurvive()
    {
        SaveDir dir;
        dir.writeStandard();
        const QByteArray data = QFile::encodeName(dir.file("gumpart.mul"));
        const QByteArray index = QFile::encodeName(dir.file("gumpidx.mul"));
        QCOMPARE(::chmod(data.constData(), 0600), 0);
        QCOMPARE(::chmod(index.constData(), 0660), 0);
        const bool root = ::geteuid() == 0;
        if (root)   // files of another user in a directory root saves into
            QCOMPARE(::chown(data.constData(), 1234, 5678), 0);

        QString error;
        QVERIFY2(saveGumpDeletion(dir, &error), qPrintable(error));
        QCOMPARE(readBytes(dir.file("gumpart.mul")), entryBytes(Gump, 0, 12) + entryBytes(Gump, 4, 6));
        QCOMPARE(statOf(dir.file("gumpart.mul")).st_mode & 07777, mode_t(0600));
        QCOMPARE(statOf(dir.file("gumpidx.mul")).st_mode & 07777, mode_t(0660));
        if (root) {
            QCOMPARE(statOf(dir.file("gumpart.mul")).st_uid, uid_t(1234));
            QCOMPARE(statOf(dir.file("gumpart.mul")).st_gid, gid_t(5678));
        }
    }

    // The link stays; the file it points to gets the new data, replaced beside itself.
    void linkedFileIsWrittenThrough()
    {
        SaveDir dir;
        dir.writeStandard();
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath("shared-gumps.mul");
        QVERIFY(QFile::rename(dir.file("gumpart.mul"), target));
        QCOMPARE(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(dir.file("gumpart.mul")).constData()), 0);

        QString error;
        QVERIFY2(saveGumpDeletion(dir, &error), qPrintable(error));
        QVERIFY(QFileInfo(dir.file("gumpart.mul")).isSymLink());
        QCOMPARE(QFileInfo(dir.file("gumpart.mul")).symLinkTarget(), target);
        QCOMPARE(readBytes(target), entryBytes(Gump, 0, 12) + entryBytes(Gump, 4, 6));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList { "shared-gumps.mul" });
        QVERIFY(dir.snapshot().keys().filter(".qmg").isEmpty());

        // A link to nothing is refused rather than replaced by a plain file.
        QVERIFY(QFile::remove(target));
        const auto before = dir.snapshot();
        QVERIFY(!saveGumpDeletion(dir, &error));
        QVERIFY2(error.contains("gumpart.mul is a link to") && error.contains("does not exist"), qPrintable(error));
        QVERIFY(QFileInfo(dir.file("gumpart.mul")).isSymLink());
        QCOMPARE(dir.snapshot(), before);
    }

    // A user saving into a shared directory cannot give the new files to their owner: the
    // save is refused instead of handing the files to that user.
    void ownerThatCannotBeKeptRefusesTheSave()
    {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (::geteuid() != 0 || setpriv.isEmpty())
            QSKIP("needs root to act as two users");
        SaveDir dir;
        dir.writeStandard();
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
        for (const QString& name : dir.snapshot().keys()) {
            const QByteArray path = QFile::encodeName(dir.file(name));
            QCOMPARE(::chown(path.constData(), 1235, 1235), 0);
            QCOMPARE(::chmod(path.constData(), 0666), 0);
        }
        const auto before = dir.snapshot();
        QProcess run;
        run.start(setpriv, { "--reuid=1234", "--regid=1234", "--clear-groups", QStringLiteral(QMTOOL_PATH),
                             "--dir", dir.path(), "delete", "gump", "1" });
        QVERIFY(run.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(run.readAllStandardError());
        QCOMPARE(run.exitCode(), 2);
        QVERIFY2(err.contains("belongs to user 1235 and group 1235") && err.contains("nothing was written"), qPrintable(err));
        QCOMPARE(dir.snapshot(), before);
    }

    void fileNobodyMayWriteIsRefused()
    {
        SaveDir dir;
        dir.writeStandard();
        QVERIFY(QFile::setPermissions(dir.file("gumpidx.mul"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const auto before = dir.snapshot();
        QString error;
        QVERIFY(!saveGumpDeletion(dir, &error));
        QVERIFY2(error.contains("gumpidx.mul is read-only") && error.contains("nothing was written"), qPrintable(error));
        QCOMPARE(dir.snapshot(), before);
        QCOMPARE(statOf(dir.file("gumpidx.mul")).st_mode & 07777, mode_t(0444));
    }
};

QTEST_GUILESS_MAIN(TestSaveKeeps)
#include "tst_savekeeps.moc"
