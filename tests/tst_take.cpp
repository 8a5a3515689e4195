// Taking items from another directory and the session as a side of a comparison: each part
// as one undo step, Save writing what was taken, refusals changing nothing, qmtool take all
// or nothing, and the other directory's files untouched throughout.
#include "animdata.h"
#include "demodata.h"
#include "directorydiff.h"
#include "directoryview.h"
#include "editsession.h"
#include "savedirs.h"
#include "sessiondiffside.h"
#include "sessiontake.h"
#include "testdata.h"
#include "twodirs.h"
#include "tiledata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

QStringList lines(const DiffResult& r)
{
    QStringList out;
    for (const Difference& d : r.differences)
        out << kindName(d.kind).toLower() + " " + hexId(d.id) + " " + differenceText(d);
    return out;
}

QStringList diffLines(const QString& here, const QString& there)
{
    DiffResult result;
    QString error;
    if (!compareDirectories(here, there, {}, &result, &error))
        return { error };
    return lines(result);
}

QStringList sessionDiffLines(const EditSession& session, const QString& there)
{
    const SessionDiffSide here(session);
    const DirectoryView other(there);
    DiffResult result;
    QString error;
    if (!compareSides(here, other, {}, &result, &error))
        return { error };
    return lines(result);
}

} // namespace

class TestTake : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_base = m_root.filePath("base");
        m_there = m_root.filePath("there");
        // There: a new picture for one static, another tile record for a second, another
        // animation record for a third, and a gump at an id free in the base.
        const CopyEdits edits = writeBaseAndEditedCopy(m_base, m_there, [&](EditSession& other, const CopyEdits& e) {
            const QVector<int> statics = other.listed(Static);
            QVERIFY(statics.size() >= 3);
            m_anim = statics.at(2);
            QString error;
            tile_struct t = other.tile(Static, e.tile);
            t.weight = 77;
            QVERIFY(other.setTile(Static, e.tile, t, &error));
            anim_st a = other.anim(m_anim);
            a.frameCount = 3;
            a.frameInterval = 9;
            QVERIFY(other.setAnim(m_anim, a, &error));
        });
        m_picture = edits.picture;
        m_tile = edits.tile;
        m_newGump = edits.newGump;
        m_thereHashes = hashes(m_there);

        const QStringList all = diffLines(m_base, m_there);
        QCOMPARE(all.size(), 4);
    }

    void init()
    {
        QDir(m_root.filePath("here")).removeRecursively();
        copyDirectory(m_base, m_root.filePath("here"));
        m_here = m_root.filePath("here");
    }

    void cleanup() { QCOMPARE(hashes(m_there), m_thereHashes); }

    // The session's side answers what the session serves: its edits count before any Save,
    // and an edit that makes an item equal to the other side's takes its difference away.
    void sessionAsASide()
    {
        EditSession session;
        session.open(m_here);
        QCOMPARE(sessionDiffLines(session, m_there), diffLines(m_here, m_there));
        // A static of a classic art pair reads as the static the session serves, not as
        // the land tile of the same number.
        QString why;
        QCOMPARE(DirectoryView(m_here).picture(Static, m_tile, &why),
                 session.image(Static, m_tile).convertToFormat(QImage::Format_ARGB32));

        QString error;
        const QImage thereImage = DirectoryView(m_there).picture(Static, m_picture, &error);
        QVERIFY(session.setImage(Static, m_picture, thereImage, &error));
        QVERIFY(!sessionDiffLines(session, m_there).contains("static " + hexId(m_picture) + " picture"));
        // The side keeps what it was built with while the session goes on.
        const SessionDiffSide side(session);
        QVERIFY(session.emptyImage(Static, m_picture, &error));
        QCOMPARE(side.picture(Static, m_picture, &error), thereImage);
        QVERIFY(sessionDiffLines(session, m_there).contains("static " + hexId(m_picture) + " only-there"));
        // A deleted item shows as missing here.
        const int other = session.listed(Texture).value(0, -1);
        QVERIFY(other >= 0);
        QVERIFY(session.remove(Texture, { other }, &error));
        QVERIFY(sessionDiffLines(session, m_there).contains("texture " + hexId(other) + " only-there"));
        // Both sides the same directory.
        const SessionDiffSide same(session);
        const DirectoryView sameThere(m_here);
        DiffResult result;
        QVERIFY(!compareSides(same, sameThere, {}, &result, &error));
        QVERIFY(error.contains("same directory"));
    }

    // Every part of a take is one undo step; Undo puts the item back, Save writes it, and the
    // saved directory then agrees with the other one on what was taken.
    void takeEachPartAsOneStepAndSave()
    {
        EditSession session;
        session.open(m_here);
        const DirectoryView there(m_there);
        QString error;
        const QStringList before = diffLines(m_here, m_there);

        QVERIFY2(takeItems(session, there, Static, { m_picture }, ImagePart, &error), qPrintable(error));
        QCOMPARE(session.undoText(), "Take " + itemName(Static, m_picture));
        session.undo();
        QVERIFY(!session.isModified());
        QCOMPARE(sessionDiffLines(session, m_there), before);
        session.redo();

        QVERIFY(takeItems(session, there, Static, { m_tile }, TilePart, &error));
        QVERIFY(takeItems(session, there, Static, { m_anim }, AnimPart, &error));
        QVERIFY(takeItems(session, there, Gump, { m_newGump }, kTakeAll, &error));
        QVERIFY(session.isListed(Gump, m_newGump));
        QCOMPARE(sessionDiffLines(session, m_there), QStringList());
        // Only the parts asked for: the tile take left the picture and animation alone.
        QVERIFY(session.changes().images[Static].contains(m_picture));
        QVERIFY(!session.changes().images[Static].contains(m_tile));
        QVERIFY(!session.changes().animEntries.contains(m_tile));

        QVERIFY2(session.save(&error), qPrintable(error));
        QCOMPARE(diffLines(m_here, m_there).join('\n'), QString());
        // Byte for byte: the taken tile and animation records are the other side's.
        QCOMPARE(readTileRecord(m_here, Static, m_tile).name, QString("carried"));
        QCOMPARE(animBytes(readAnimRecord(m_here, m_anim)), animBytes(readAnimRecord(m_there, m_anim)));
        QCOMPARE(fileSnapshot(m_here).value("tiledata.mul"), fileSnapshot(m_there).value("tiledata.mul"));
    }

    // Several items in one take are one step; any item refused leaves everything as it was.
    void severalItemsAllOrNothing()
    {
        EditSession session;
        session.open(m_here);
        const DirectoryView there(m_there);
        QString error;
        QVERIFY(takeItems(session, there, Static, { m_picture, m_tile, m_anim }, kTakeAll, &error));
        QCOMPARE(session.undoText(), QString("Take 3 Static Items"));
        session.undo();
        QVERIFY(!session.canUndo());

        // A gump id past anything the files can hold refuses the whole take.
        QVERIFY(!takeItems(session, there, Gump, { m_newGump, 0x7fffffff }, kTakeAll, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!session.isListed(Gump, m_newGump));
        QVERIFY(!session.canUndo());
        QVERIFY(!session.isModified());

        QCOMPARE(takePartsFromText("picture,anim", &error), ImagePart | AnimPart);
        QCOMPARE(takePartsFromText("tile,colour", &error), 0);
        QVERIFY(error.contains("colour"));
    }

    // qmtool take saves what it took; a refused take changes no file.
    void qmtoolTake()
    {
        ToolRun r = runTool({ "--dir", m_here, "take", m_there, "static", hexId(m_tile), "--what", "tile" });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(diffLines(m_here, m_there).filter("static " + hexId(m_tile)), QStringList());
        QVERIFY(!diffLines(m_here, m_there).filter("static " + hexId(m_picture)).isEmpty());

        const QMap<QString, QByteArray> saved = fileSnapshot(m_here);
        r = runTool({ "--dir", m_here, "take", m_there, "static", hexId(m_picture), "--what", "colour" });
        QCOMPARE(r.exitCode, 1);
        r = runTool({ "--dir", m_here, "take", m_here, "static", hexId(m_picture) });
        QCOMPARE(r.exitCode, 2);
        r = runTool({ "--dir", m_here, "take", m_there, "gump", hexId(m_newGump), "0x7fffffff" });
        QVERIFY(r.exitCode != 0);
        QCOMPARE(fileSnapshot(m_here), saved);

        r = runTool({ "--dir", m_here, "take", m_there, "static", hexId(m_picture), hexId(m_anim) });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        r = runTool({ "--dir", m_here, "take", m_there, "gump", hexId(m_newGump) });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(diffLines(m_here, m_there).join('\n'), QString());

        r = runTool({ "take", "--help" });
        QVERIFY(r.out.contains("Arguments:"));
        QVERIFY(r.out.contains("OTHERDIR"));
    }

private:
    QTemporaryDir m_root;
    QString m_base, m_here, m_there;
    int m_picture = -1, m_tile = -1, m_anim = -1, m_newGump = -1;
    QMap<QString, QByteArray> m_thereHashes;
};

QTEST_GUILESS_MAIN(TestTake)
#include "tst_take.moc"
