// The edit session: every edit is one undo step that restores the exact change set, Save is
// one transaction shared by the editor and qmtool, and neither a stale list nor a read-only
// catalogue costs anyone's data.
#include "artcodec.h"
#include "editsession.h"
#include "itemsource.h"
#include "mainwindow.h"
#include "patchfile.h"
#include "patchtransfer.h"
#include "savecheckpoint.h"
#include "savedirs.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "uodir.h"

#include "historyprobe.h"

#include <QDir>
#include <QTest>

#include <functional>

using namespace qm;

namespace {

// What a session holds that Save writes: the change set and the lists.
struct Held {
    ChangeSet changes;
    QVector<int> listed[kItemKindCount];

    bool operator==(const Held& o) const
    {
        for (int k = 0; k < kItemKindCount; ++k)
            if (changes.images[k] != o.changes.images[k] || changes.emptied[k] != o.changes.emptied[k]
                || listed[k] != o.listed[k])
                return false;
        return changes.tiles[Land] == o.changes.tiles[Land] && changes.tiles[Static] == o.changes.tiles[Static]
            && changes.animEntries == o.changes.animEntries;
    }
};

Held held(const EditSession& s)
{
    Held h;
    h.changes = s.changes();
    for (int k = 0; k < kItemKindCount; ++k)
        h.listed[k] = s.listed(ItemKind(k));
    return h;
}

struct Edit {
    const char* name;
    QString undoText;
    std::function<void(EditSession&)> run;
};

tile_struct namedTile(const char* name)
{
    tile_struct t = sampleStaticTile();
    t.name = QString::fromLatin1(name);
    return t;
}

// One edit of every kind the session offers.
QVector<Edit> everyEdit()
{
    return {
        { "image", "Replace Picture of Static 0x1",
          [](EditSession& s) { QVERIFY(s.setImage(Static, 1, filledImage(20, 30, qRgb(200, 8, 8)))); } },
        { "empty", "Remove Picture of Gump 0x1", [](EditSession& s) { QVERIFY(s.emptyImage(Gump, 1)); } },
        { "tile", "Change Tile Data of Land 0x2",
          [](EditSession& s) { QVERIFY(s.setTile(Land, 2, namedTile("moss"))); } },
        { "anim", "Change Animation Data of Static 0x3",
          [](EditSession& s) {
              anim_st a;
              a.frameCount = 3;
              QVERIFY(s.setAnim(3, a));
          } },
        { "new", "New Gump 0x2", [](EditSession& s) { QVERIFY(s.insert(Gump, 2)); } },
        { "delete", "Delete Texture 0x3", [](EditSession& s) { QVERIFY(s.remove(Texture, { 3 })); } },
        { "patch", "Import Patch as Static 0x5",
          [](EditSession& s) {
              PatchItem patch;
              patch.kind = Static;
              patch.id = 9;
              patch.image = filledImage(8, 8, qRgb(9, 90, 9));
              patch.tileRecord = staticTileBytes(namedTile("crate"));
              patch.animRecord = QByteArray(kAnimRecordSize, 2);
              QString error;
              QVERIFY2(importPatch(s, patch, 5, &error), qPrintable(error));
          } },
        { "grouped", "Edit Static 0x1",
          [](EditSession& s) {
              s.beginStep();
              QVERIFY(s.setImage(Static, 1, filledImage(20, 30, qRgb(8, 200, 8))));
              QVERIFY(s.setTile(Static, 1, namedTile("barrel")));
              s.endStep();
          } },
    };
}

// Fails the N-th point of a save at which a crash could strike.
class FailAt {
public:
    explicit FailAt(int n)
    {
        setSaveCheckpointHook([n, count = 0](const char*) mutable { return ++count != n; });
    }
    ~FailAt() { setSaveCheckpointHook(nullptr); }
};

// The labels of the points a successful save of `edit` passes, in order.
QStringList checkpointsOf(const std::function<void(EditSession&)>& edit)
{
    SaveDir dir;
    dir.writeStandard();
    EditSession s;
    s.open(dir.path());
    edit(s);
    QStringList labels;
    setSaveCheckpointHook([&labels](const char* label) {
        labels << QString::fromLatin1(label);
        return true;
    });
    QString error;
    const bool saved = s.save(&error);
    setSaveCheckpointHook(nullptr);
    return saved ? labels : QStringList();
}

// Edits that give every stage of Save something to write.
void editEveryFile(EditSession& s)
{
    QVERIFY(s.setImage(Static, 1, filledImage(20, 30, qRgb(200, 8, 8))));
    QVERIFY(s.setTile(Land, 2, namedTile("moss")));
    QVERIFY(s.remove(Gump, { 4 }));
    QVERIFY(s.setImage(Texture, 1, filledImage(64, 64, qRgb(8, 8, 200))));
    QVERIFY(s.setAnim(2, anim_st()));
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void everyEditIsOneStepThatUndoRestoresExactly()
    {
        for (const Edit& edit : everyEdit()) {
            SaveDir dir;
            dir.writeStandard();
            EditSession s;
            s.open(dir.path());
            const Held before = held(s);
            edit.run(s);
            const Held after = held(s);
            QVERIFY2(!(after == before), edit.name);
            QCOMPARE(undoDepth(s), 1);
            QCOMPARE(s.undoText(), edit.undoText);
            QVERIFY(s.isModified());

            s.undo();
            QVERIFY2(held(s) == before, edit.name);
            QVERIFY(!s.isModified());
            s.redo();
            QVERIFY2(held(s) == after, edit.name);

            // Redone, the edit saves exactly as the edit made once does.
            SaveDir direct;
            direct.writeStandard();
            EditSession once;
            once.open(direct.path());
            edit.run(once);
            QString error;
            QVERIFY2(s.save(&error), qPrintable(error));
            QVERIFY2(once.save(&error), qPrintable(error));
            QVERIFY2(dir.snapshot() == direct.snapshot(), edit.name);
            QVERIFY(!s.isModified());
        }
    }

    void undoingPastASaveRestoresWhatTheFilesHeld()
    {
        SaveDir dir;
        dir.writeStandard();
        EditSession s;
        s.open(dir.path());
        // Colours whose every channel survives the round trip through the files.
        const QImage first = filledImage(20, 30, qRgb(8, 0, 0));
        const QImage gump = filledImage(2, 2, qRgb(0, 8, 8));
        QString error;
        QVERIFY(s.setImage(Static, 1, first) && s.setImage(Gump, 1, gump));
        QVERIFY2(s.save(&error), qPrintable(error));
        QVERIFY(s.setImage(Static, 1, filledImage(10, 10, qRgb(0, 0, 8))) && s.remove(Gump, { 1 }));
        QVERIFY2(s.save(&error), qPrintable(error));
        QVERIFY(!s.isModified());
        QVERIFY(!s.isListed(Gump, 1));

        s.undo();   // the deletion
        s.undo();   // the second picture
        QVERIFY(s.isModified());
        QCOMPARE(s.image(Static, 1), first);
        QVERIFY(s.isListed(Gump, 1));
        QVERIFY2(s.save(&error), qPrintable(error));
        QCOMPARE(readImageFromFiles(dir.path(), Static, 1), first);
        QCOMPARE(readImageFromFiles(dir.path(), Gump, 1), gump);
        QCOMPARE(listedIn(dir.path()).ids[Gump], (QVector<int> { 0, 1, 4 }));
        QVERIFY(!s.isModified());
    }

    void refusedEditsChangeNothing()
    {
        SaveDir dir;
        dir.writeStandard();
        EditSession s;
        s.open(dir.path());
        QString error;
        QVERIFY(!s.setImage(Land, 3, filledImage(20, 20, qRgb(1, 1, 1)), &error));   // not a land tile
        QVERIFY(!s.setImage(Static, kStaticCount, filledImage(4, 4, qRgb(1, 1, 1)), &error));
        QVERIFY(!s.setTile(Gump, 1, tile_struct(), &error));
        QVERIFY(!s.insert(Land, -1, &error));
        QVERIFY(!s.canUndo() && !s.canRedo());
        QVERIFY(s.changes().isEmpty());
    }

    // The transaction the editor and qmtool share: a failure at any point before the commit
    // leaves every file byte for byte and the session as it was, edits and history included.
    void failureAtAnyPointOfSaveChangesNothing()
    {
        const QStringList points = checkpointsOf(editEveryFile);
        const int commitPoint = int(points.indexOf(QStringLiteral("journal")));
        QVERIFY(commitPoint > 4);
        for (int n = 1; n <= commitPoint; ++n) {
            SaveDir dir;
            dir.writeStandard();
            const auto before = dir.snapshot();
            EditSession s;
            s.open(dir.path());
            editEveryFile(s);
            const Held edited = held(s);
            QString error;
            {
                FailAt failure(n);
                QVERIFY(!s.save(&error));
            }
            QVERIFY2(dir.snapshot() == before, qPrintable(QStringLiteral("point %1: %2").arg(n).arg(points[n - 1])));
            QVERIFY(held(s) == edited);
            QVERIFY(s.isModified());
            QVERIFY2(s.save(&error), qPrintable(error));   // and the edits still save
        }
    }

    void editorSaveFailingAtAnyPointChangesNothing()
    {
        const QStringList points = checkpointsOf(editEveryFile);
        const int commitPoint = int(points.indexOf(QStringLiteral("journal")));
        for (int n = 1; n <= commitPoint; ++n) {
            TestSettings settings;
            SaveDir dir;
            dir.writeStandard();
            const auto before = dir.snapshot();
            writeUODir(dir.path());
            ScriptedDialogs dialogs;
            mainwindow w;
            editEveryFile(*w.editSession());
            const Held edited = held(*w.editSession());
            {
                FailAt failure(n);
                w.fileSave();
            }
            QVERIFY(w.lastSaveFailed());
            QCOMPARE(dialogs.messages.size(), 1);
            QVERIFY(dialogs.messages[0].contains("No file was changed"));
            QVERIFY2(dir.snapshot() == before, qPrintable(QStringLiteral("point %1: %2").arg(n).arg(points[n - 1])));
            QVERIFY(held(*w.editSession()) == edited);
            QVERIFY(w.isWindowModified());
        }
    }

    // Another program saved into the directory after it was read: the editor refuses and
    // names the file; a caller that can make its edit again (qmtool) makes it on the
    // directory as it is now, and both edits are saved.
    void staleListsNeverUndoAnotherProgramsSave()
    {
        SaveDir dir;
        dir.writeStandard();
        QString error;
        EditSession compacting;   // so that the next save changes only what it edits
        compacting.open(dir.path());
        QVERIFY2(compacting.save(&error), qPrintable(error));
        EditSession editor, other;
        editor.open(dir.path());
        other.open(dir.path());
        QVERIFY(other.remove(Gump, { 0 }));
        QVERIFY2(other.save(&error), qPrintable(error));
        const auto afterOther = dir.snapshot();

        QVERIFY(editor.remove(Static, { 1 }));
        const Held edited = held(editor);
        QVERIFY(!editor.save(&error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(dir.file("gumpidx.mul"))), qPrintable(error));
        QVERIFY(!error.contains("artidx.mul"));
        QVERIFY(dir.snapshot() == afterOther);
        QVERIFY(held(editor) == edited);

        const EditSession::Reapply again = [](EditSession& s, QString* e) { return s.remove(Static, { 1 }, e); };
        QVERIFY2(editor.save(&error, nullptr, again), qPrintable(error));
        const Listed listed = listedIn(dir.path());
        QCOMPARE(listed.ids[Gump], (QVector<int> { 1, 4 }));
        QCOMPARE(listed.ids[Static], (QVector<int> { 0, 300 }));
    }

    // An index that cannot be read makes its catalogue read-only: its edits are refused
    // naming the file, and Save leaves its pair alone while the others save.
    void readOnlyCatalogueKeepsItsFiles()
    {
        SaveDir dir;
        dir.writeStandard();
        QVERIFY(QFile::remove(dir.file("gumpidx.mul")));
        QVERIFY(QDir(dir.path()).mkdir("gumpidx.mul"));
        const QByteArray gumpData = readBytes(dir.file("gumpart.mul"));
        EditSession s;
        EditSession::OpenReport report;
        s.open(dir.path(), &report);
        QVERIFY(s.isReadOnly(Gump));
        QVERIFY(!s.isReadOnly(Static));
        QCOMPARE(report.catalogueWarnings.size(), 1);
        QVERIFY(report.catalogueWarnings[0].contains(QDir::toNativeSeparators(dir.file("gumpidx.mul"))));

        QString error;
        QVERIFY(!s.setImage(Gump, 1, filledImage(3, 3, qRgb(5, 5, 5)), &error));
        QVERIFY2(error.contains("gumpidx.mul"), qPrintable(error));
        QVERIFY(!s.insert(Gump, 7, &error));
        QVERIFY(!s.canEditItem(Gump, 1, &error));

        QVERIFY(s.remove(Static, { 1 }));
        QVERIFY2(s.save(&error), qPrintable(error));
        QCOMPARE(listedIn(dir.path()).ids[Static], (QVector<int> { 0, 300 }));
        QCOMPARE(readBytes(dir.file("gumpart.mul")), gumpData);
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
