// The entry copier builds a data file from scattered old entries and new ones: the bytes in
// the order asked, and small scattered entries gathered into large writes.
#include "entrycopier.h"
#include "savecheckpoint.h"
#include "savedirs.h"
#include "savetransaction.h"
#include "testdata.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qm;

class TestEntryCopier : public QObject {
    Q_OBJECT

private slots:
    void scatteredEntriesAreGatheredInOrder()
    {
        QTemporaryDir dir;
        // 2,000 entries of 1 to 300 bytes, then one large entry; each 5 bytes after the last.
        QByteArray source;
        QVector<QPair<qint64, qint64>> entries;
        for (int i = 0; i < 2000; ++i) {
            const QByteArray bytes = entryBytes(Gump, i, 1 + (i * 37) % 300);
            entries.append({ source.size(), bytes.size() });
            source += bytes + QByteArray(5, '\xEE');
        }
        const QByteArray large = entryBytes(Gump, 9999, 700 << 10);
        const qint64 largeAt = source.size();
        source += large;
        QVERIFY(writeBytes(dir.filePath("old.mul"), source));

        // Back to front, with the large entry and a new one in between.
        QByteArray expected;
        QFile target(dir.filePath("new.mul"));
        QVERIFY(target.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        int copies = 0;
        setSaveCheckpointHook([&](const char* label) {
            copies += QByteArray(label) == "copied";
            return true;
        });
        EntryCopier copier(dir.filePath("old.mul"), target);
        QString error;
        for (int i = entries.size() - 1; i >= 0; --i) {
            QCOMPARE(copier.position(), qint64(expected.size()));
            QVERIFY2(copier.copy(entries[i].first, entries[i].second, &error), qPrintable(error));
            expected += source.mid(entries[i].first, entries[i].second);
            if (i == 1000) {
                QVERIFY(copier.copy(largeAt, large.size(), &error));
                QVERIFY(copier.append("new entry", &error));
                expected += large + "new entry";
            }
        }
        QVERIFY2(copier.flush(&error), qPrintable(error));
        setSaveCheckpointHook(nullptr);
        target.close();
        QCOMPARE(readBytes(dir.filePath("new.mul")), expected);
        // A few large writes (and the large entry's own), not one copy per entry.
        QVERIFY2(copies < 10, qPrintable(QString::number(copies)));
    }
};

QTEST_GUILESS_MAIN(TestEntryCopier)
#include "tst_entrycopier.moc"
