// The session as the one source the views follow: a step abandoned half-way leaves no trace,
// an emptied picture is one state for the view, Save, patch export and undo alike, Save tells
// what it wrote, tile records come from the session, and other threads read a snapshot.
#include "convertcatalogue.h"
#include "demodata.h"
#include "editsession.h"
#include "imagebatchimport.h"
#include "indexfile.h"
#include "patchtransfer.h"
#include "recordsource.h"
#include "savedirs.h"
#include "testdata.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

using namespace qm;

namespace {

// The first listed item of a kind that has a picture.
int picturedId(const EditSession& s, ItemKind kind, int skip = 0)
{
    for (int id : s.listed(kind))
        if (!s.image(kind, id).isNull() && skip-- == 0)
            return id;
    return -1;
}

// Everything Undo, Redo and Save would act on.
struct Observed {
    bool canUndo, canRedo, modified;
    QString undoText, redoText;
    QMap<int, QImage> images[kItemKindCount];
    QSet<int> emptied[kItemKindCount];
    QMap<int, tile_struct> tiles[2];
    QVector<int> listed[kItemKindCount];

    bool operator==(const Observed& o) const
    {
        for (int k = 0; k < kItemKindCount; ++k)
            if (images[k] != o.images[k] || emptied[k] != o.emptied[k] || listed[k] != o.listed[k])
                return false;
        return canUndo == o.canUndo && canRedo == o.canRedo && modified == o.modified && undoText == o.undoText
            && redoText == o.redoText && tiles[0] == o.tiles[0] && tiles[1] == o.tiles[1];
    }
};

Observed observe(const EditSession& s)
{
    Observed o { s.canUndo(), s.canRedo(), s.isModified(), s.undoText(), s.redoText(), {}, {}, {}, {} };
    for (int k = 0; k < kItemKindCount; ++k) {
        o.images[k] = s.changes().images[k];
        o.emptied[k] = s.changes().emptied[k];
        o.listed[k] = s.listed(ItemKind(k));
    }
    o.tiles[0] = s.changes().tiles[0];
    o.tiles[1] = s.changes().tiles[1];
    return o;
}

// A session with a step to undo and one to redo.
void editBothWays(EditSession& s)
{
    tile_struct named = sampleStaticTile();
    named.name = QStringLiteral("redo me");
    QVERIFY(s.setImage(Static, 1, filledImage(10, 10, qRgb(8, 0, 0))));
    QVERIFY(s.setTile(Static, 1, named));
    s.undo();
    QVERIFY(s.canUndo() && s.canRedo());
}

} // namespace

class TestSessionSource : public QObject {
    Q_OBJECT

private slots:
    // A batch that fails part-way must leave nothing to redo: the partial import is gone, and
    // the step that could be redone before still can.
    void aStepAbandonedHalfWayLeavesEditsAndHistoryAsBefore()
    {
        SaveDir dir;
        dir.writeStandard();
        EditSession s;
        s.open(dir.path());
        editBothWays(s);
        const Observed before = observe(s);

        s.beginStep(QStringLiteral("Import Pictures"));
        QVERIFY(s.setImage(Static, 1, filledImage(12, 12, qRgb(0, 8, 0))));
        QVERIFY(s.setImage(Gump, 9, filledImage(3, 3, qRgb(0, 0, 8))) && s.insert(Gump, 9));
        QVERIFY(s.emptyImage(Static, 2));
        s.abandonStep();
        QVERIFY(observe(s) == before);
        s.redo();
        QCOMPARE(s.tileName(Static, 1), QStringLiteral("redo me"));

        // The batch import refused by the session at its second picture (a land picture of
        // the wrong size) after the first was applied.
        s.undo();
        const Observed again = observe(s);
        const QVector<AcceptedPicture> pictures { { 0, filledImage(44, 44, qRgb(8, 8, 0)), "a" },
                                                  { 1, filledImage(10, 10, qRgb(8, 8, 0)), "b" } };
        QVector<int> newIds;
        QString error;
        QVERIFY(!applyImageImport(s, Land, pictures, QStringLiteral("Import Pictures"), &newIds, &error));
        QVERIFY2(error.contains("Land 0x1"), qPrintable(error));
        QVERIFY(observe(s) == again);
        QCOMPARE(s.redoText(), QStringLiteral("Change Tile Data of Static 0x1"));
    }

    void anEmptiedPictureIsEmptyEverywhere_data()
    {
        QTest::addColumn<bool>("packages");
        QTest::newRow("pairs") << false;
        QTest::newRow("packages") << true;
    }

    void anEmptiedPictureIsEmptyEverywhere()
    {
        QFETCH(bool, packages);
        QTemporaryDir dir;
        writeSmallDemo(dir.path(), packages);
        EditSession s;
        s.open(dir.path());
        QString error;
        for (ItemKind kind : { Static, Gump }) {
            const int id = picturedId(s, kind);
            QVERIFY(id >= 0);
            const QImage stored = s.image(kind, id);
            QVERIFY(!s.setImage(kind, id, QImage(), &error));   // a null image is never an edit
            QVERIFY(!s.isEdited(kind, id));

            QVERIFY(s.emptyImage(kind, id, &error));
            QVERIFY(s.image(kind, id).isNull() && s.isEmptied(kind, id) && s.isEdited(kind, id));
            QVERIFY(s.pictureSnapshot()->picture(kind, id).isNull());
            s.undo();
            QCOMPARE(s.image(kind, id), stored);
            QVERIFY(!s.isEmptied(kind, id));
            s.redo();

            // Exported, it carries no picture; imported elsewhere it empties that item too.
            PatchItem patch;
            QVERIFY2(buildPatch(s, kind, id, &patch, &error), qPrintable(error));
            QVERIFY(patch.image.isNull());
            const int other = picturedId(s, kind, 1);
            QVERIFY(importPatch(s, patch, other, &error));
            QVERIFY(s.isEmptied(kind, other) && s.image(kind, other).isNull());
            s.undo();
            QVERIFY(!s.image(kind, other).isNull());
        }
        const int emptiedStatic = s.changes().emptied[Static].values().first();
        const int emptiedGump = s.changes().emptied[Gump].values().first();
        QVERIFY2(s.save(&error), qPrintable(error));
        QVERIFY(s.image(Static, emptiedStatic).isNull() && !s.isEdited(Static, emptiedStatic));

        // Read back: no data (an index record with offset -1, no package entry), not listed.
        for (ItemKind kind : { Static, Gump }) {
            const int id = kind == Static ? emptiedStatic : emptiedGump;
            ItemRecord record;
            QVERIFY(RecordSource(dir.path(), kind).read(id, &record));
            QVERIFY(!record.found);
            EditSession reopened;
            reopened.open(dir.path());
            QVERIFY(reopened.image(kind, id).isNull() && !reopened.isListed(kind, id));
        }
        if (!packages) {
            const QByteArray index = readBytes(QDir(dir.path()).filePath(indexFileName(Gump)));
            QCOMPARE(indexRecordAt(index, emptiedGump).offset, -1);
        }

        // Undone past the save, the stored picture comes back and saves again.
        s.undo();   // the gump
        s.undo();   // the static
        QVERIFY(!s.image(Static, emptiedStatic).isNull() && !s.image(Gump, emptiedGump).isNull());
        const QImage gump = s.image(Gump, emptiedGump);
        QVERIFY2(s.save(&error), qPrintable(error));
        EditSession reopened;
        reopened.open(dir.path());
        QCOMPARE(reopened.image(Gump, emptiedGump), gump);
        QVERIFY(reopened.isListed(Static, emptiedStatic));
    }

    // Views follow Save through the session's signals alone: every item it wrote, then saved().
    void saveAnnouncesWhatItWrote()
    {
        SaveDir dir;
        dir.writeStandard();
        EditSession s;
        s.open(dir.path());
        QVERIFY(s.setImage(Static, 1, filledImage(10, 10, qRgb(8, 0, 0))));
        QVERIFY(s.setTile(Land, 2, sampleStaticTile()));
        QVERIFY(s.emptyImage(Gump, 1));
        QCOMPARE(s.editedIds(Static), QVector<int> { 1 });
        QStringList heard;
        connect(&s, &EditSession::itemChanged, this,
                [&](ItemKind kind, int id, int parts) { heard << QStringLiteral("%1 %2").arg(itemName(kind, id)).arg(parts); });
        connect(&s, &EditSession::saved, this, [&] { heard << QStringLiteral("saved"); });
        QString error;
        QVERIFY2(s.save(&error), qPrintable(error));
        heard.sort();   // "saved" sorts last, as it comes
        QCOMPARE(heard, (QStringList { "Gump 0x1 1", "Land 0x2 2", "Static 0x1 1", "saved" }));
        for (ItemKind kind : { Land, Static, Gump })
            QVERIFY(s.editedIds(kind).isEmpty());
        QVERIFY(!s.isModified() && s.changes().isEmpty());
        QCOMPARE(s.image(Static, 1), filledImage(10, 10, qRgb(8, 0, 0)));
    }

    // The grid's threads see what the session served when they took the snapshot, stored,
    // edited and emptied alike, and a later edit only shows in a later snapshot.
    void snapshotHoldsThePicturesOfItsMoment()
    {
        QTemporaryDir dir;
        writeSmallDemo(dir.path(), false);
        EditSession s;
        s.open(dir.path());
        const int stored = picturedId(s, Static, 0), edited = picturedId(s, Static, 1), emptied = picturedId(s, Static, 2);
        QVERIFY(s.setImage(Static, edited, filledImage(9, 9, qRgb(8, 8, 8))) && s.emptyImage(Static, emptied));
        const auto snapshot = s.pictureSnapshot();
        for (int id : { stored, edited, emptied })
            QCOMPARE(snapshot->picture(Static, id), s.image(Static, id));
        const QImage storedPicture = s.image(Static, stored);

        std::atomic<bool> differed { false };
        std::thread reader([&] {
            for (int round = 0; round < 30; ++round)
                if (snapshot->picture(Static, stored) != storedPicture || !snapshot->picture(Static, emptied).isNull())
                    differed = true;
        });
        for (int round = 0; round < 30; ++round) {
            QVERIFY(s.setImage(Static, stored, filledImage(5 + round, 5, qRgb(8, 0, 8))));
            QVERIFY(!s.pictureSnapshot()->picture(Static, stored).isNull());
        }
        s.undo();
        QVERIFY(s.pictureSnapshot()->picture(Static, emptied).isNull());
        reader.join();
        QVERIFY(!differed);
        QCOMPARE(s.pictureSnapshot()->picture(Static, stored), s.image(Static, stored));
        QCOMPARE(snapshot->picture(Static, stored), storedPicture);
    }

    // Filters and name columns read every record from the session, edits included, in the
    // layout the file has.
    void tileRecordsComeFromTheSession_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("classic") << kFullTileDataSize;
        QTest::newRow("wide") << kFullWideTileDataSize;
    }

    void tileRecordsComeFromTheSession()
    {
        QFETCH(qint64, size);
        SaveDir dir;
        dir.writeStandard();
        dir.writeTileData(size);
        EditSession s;
        s.open(dir.path());
        const QVector<tile_struct> records = s.tileRecords(Static);
        QCOMPARE(records.size(), kStaticCount);
        for (int id : { 0, 5, 4000, kStaticCount - 1 })
            QCOMPARE(records[id], readTileRecord(dir.path(), Static, id));
        QCOMPARE(s.tileRecords(Land).size(), kLandCount);
        QCOMPARE(s.tileRecords(Land)[7], readTileRecord(dir.path(), Land, 7));

        tile_struct named = s.tile(Static, 5);
        named.name = QStringLiteral("edited");
        QVERIFY(s.setTile(Static, 5, named));
        QCOMPARE(s.tileName(Static, 5), QStringLiteral("edited"));
        QCOMPARE(s.tileRecords(Static)[5].name, QStringLiteral("edited"));
        QByteArray raw;
        readTileRecord(dir.path(), Static, 5, &raw);
        QCOMPARE(s.storedTileBytes(Static, 5), raw);   // the stored bytes, not the edit
    }
};

QTEST_MAIN(TestSessionSource)
#include "tst_session_source.moc"
