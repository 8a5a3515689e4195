// Comparing two data directories: every kind of difference, pictures equal in another form
// or encoding, damaged items on either side, wide against classic tile data, and the other
// directory left byte for byte as it was.
#include "animdata.h"
#include "artcodec.h"
#include "convertcatalogue.h"
#include "demodata.h"
#include "demowide.h"
#include "directorydiff.h"
#include "directoryview.h"
#include "indexfile.h"
#include "littleendian.h"
#include "pixels.h"
#include "testdata.h"
#include "tilecatalogue.h"
#include "tiledata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

QMap<QString, QByteArray> hashes(const QString& dir)
{
    QMap<QString, QByteArray> out;
    for (const QString& name : QDir(dir).entryList(QDir::Files)) {
        QFile f(dir + "/" + name);
        if (f.open(QIODevice::ReadOnly))
            out.insert(name, QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256));
    }
    return out;
}

void copyDirectory(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QVERIFY(QFile::copy(from + "/" + name, to + "/" + name));
}

void patchFile(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(offset));
    QCOMPARE(f.write(bytes), bytes.size());
}

qint64 appendToFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::Append))
        return -1;
    const qint64 at = f.size();
    f.write(bytes);
    return at;
}

QByteArray indexRecordBytes(const IndexRecord& r)
{
    QByteArray out;
    appendIndexRecord(out, r);
    return out;
}

IndexRecord recordOf(const QString& dir, int kind, int id) { return readIndexRecord(dir, kind, id); }

void setIndexRecord(const QString& dir, int kind, int id, const IndexRecord& r)
{
    patchFile(mulPath(dir, indexFileName(kind)), indexRecordNumber(kind, id) * kIndexRecordSize, indexRecordBytes(r));
}

// Stores `record` at the end of the kind's data file and points the id's index record at it.
void storeRecord(const QString& dir, int kind, int id, const QByteArray& record, quint32 extra)
{
    const qint64 at = appendToFile(mulPath(dir, dataFileName(kind)), record);
    QVERIFY(at >= 0);
    setIndexRecord(dir, kind, id, { qint32(at), qint32(record.size()), extra });
}

QByteArray storedRecord(const QString& dir, int kind, int id)
{
    const IndexRecord r = recordOf(dir, kind, id);
    QFile f(mulPath(dir, dataFileName(kind)));
    if (!f.open(QIODevice::ReadOnly) || !f.seek(r.offset))
        return QByteArray();
    return f.read(r.length);
}

// A gump record in which every pixel is a run of its own: the same picture as the encoder's
// runs, in other bytes.
QByteArray gumpOfSinglePixelRuns(const QImage& image)
{
    QByteArray table, pairs;
    const int h = image.height(), w = image.width();
    for (int y = 0; y < h; ++y) {
        appendU32(table, quint32(h + pairs.size() / 4));
        for (int x = 0; x < w; ++x) {
            appendU16(pairs, storedColor16(image.pixel(x, y)));
            appendU16(pairs, 1);
        }
    }
    return table + pairs;
}

QString line(const Difference& d) { return kindName(d.kind).toLower() + " " + hexId(d.id) + " " + differenceText(d); }

QStringList lines(const DiffResult& r)
{
    QStringList out;
    for (const Difference& d : r.differences)
        out << line(d);
    return out;
}

DiffResult compare(const QString& here, const QString& there, const QVector<int>& kinds = {})
{
    DiffOptions options;
    options.kinds = kinds;
    DiffResult result;
    QString error;
    if (!compareDirectories(here, there, options, &result, &error))
        qWarning("compare failed: %s", qPrintable(error));
    return result;
}

int firstListed(const QString& dir, int kind, int skip = 0)
{
    const Catalogues c = readCatalogues(dir);
    return c.listed[kind].value(skip, -1);
}

} // namespace

class TestDirectoryDiff : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_demo = m_root.filePath("demo");
        QString error;
        QVERIFY2(writeDemoDirectory(m_demo, false, false, &error), qPrintable(error));
    }

    // One directory against a copy changed by code in every way an item can differ, and in
    // ways that must not count as a difference.
    void everyKindOfDifference()
    {
        const QString here = m_demo, there = m_root.filePath("changed");
        copyDirectory(here, there);
        const int stat = firstListed(here, Static, 3), moved = firstListed(here, Static, 4);
        const int gumpGone = firstListed(here, Gump, 0), gumpRecoded = firstListed(here, Gump, 1);
        const int texture = firstListed(here, Texture, 0);
        QVERIFY(stat > 0 && moved > stat && gumpRecoded > gumpGone && texture >= 0);

        // A static drawn differently.
        QImage image = decodeStatic(storedRecord(here, Static, stat));
        image.setPixel(image.width() / 2, image.height() / 2, color16ToRgb(0x7fff));
        storeRecord(there, Static, stat, encodeStatic(image), 0);
        // The same static moved to another offset, and a gump in another encoding: equal.
        storeRecord(there, Static, moved, storedRecord(here, Static, moved), 0);
        const IndexRecord gr = recordOf(here, Gump, gumpRecoded);
        const QImage gump = decodeGump(storedRecord(here, Gump, gumpRecoded), gumpWidthFromExtra(gr.extra),
                                       gumpHeightFromExtra(gr.extra));
        const QByteArray recoded = gumpOfSinglePixelRuns(gump);
        QVERIFY(recoded != storedRecord(here, Gump, gumpRecoded));
        storeRecord(there, Gump, gumpRecoded, recoded, gr.extra);
        // A gump only here, a texture only there (past the end of the texture index).
        setIndexRecord(there, Gump, gumpGone, IndexRecord());
        const int newTexture = int(QFileInfo(mulPath(there, indexFileName(Texture))).size() / kIndexRecordSize);
        storeRecord(there, Texture, newTexture, storedRecord(here, Texture, texture), recordOf(here, Texture, texture).extra);
        // Tile data: a land tile's name (the bytes after its zero do not count) and flags, a
        // static's height; animation data of the drawn static.
        const QString tiles = mulPath(there, "tiledata.mul");
        tile_struct land = readTileRecord(here, Land, 0x10);
        land.name = "renamed";
        land.flags ^= 0x40;
        patchFile(tiles, landTileOffset(0x10), landTileBytes(land));
        QByteArray garbageAfterZero = tileNameBytes(readTileRecord(here, Land, 0x11).name);
        const int zero = garbageAfterZero.indexOf('\0');
        QVERIFY(zero >= 0 && zero < kTileNameSize - 1);
        garbageAfterZero[kTileNameSize - 1] = 'x';
        patchFile(tiles, landTileOffset(0x11) + kLandTileRecordSize - kTileNameSize, garbageAfterZero);
        tile_struct st = readTileRecord(here, Static, stat);
        st.height = quint8(st.height + 1);
        patchFile(tiles, staticTileOffset(stat), staticTileBytes(st));
        anim_st anim = readAnimRecord(here, stat);
        anim.frameInterval = qint8(anim.frameInterval ^ 0x11);
        patchFile(mulPath(there, "animdata.mul"), animOffset(stat), animBytes(anim));

        const QMap<QString, QByteArray> before = hashes(there);
        const DiffResult r = compare(here, there);
        QVERIFY(!r.cancelled);
        const QStringList expected {
            "land 0x10 tile name,flags",
            QString("static %1 picture").arg(hexId(stat)),
            QString("static %1 tile height").arg(hexId(stat)),
            QString("static %1 anim").arg(hexId(stat)),
            QString("gump %1 only-here").arg(hexId(gumpGone)),
            QString("texture %1 only-there").arg(hexId(newTexture)),
        };
        QCOMPARE(lines(r), expected);
        QCOMPARE(r.itemCount(Static), 1);
        QCOMPARE(r.lineCount(Static), 3);
        QCOMPARE(hashes(there), before);

        // The other way round, the sides swap.
        const DiffResult back = compare(there, here, { Gump, Texture });
        QCOMPARE(lines(back), (QStringList { QString("gump %1 only-there").arg(hexId(gumpGone)),
                                             QString("texture %1 only-here").arg(hexId(newTexture)) }));
    }

    // The demo against a copy whose art and gumps are packages: the same pictures in another
    // form compare equal, and a change inside the package still shows.
    void pairAgainstPackage()
    {
        const QString packaged = m_root.filePath("packaged");
        copyDirectory(m_demo, packaged);
        QString note, error;
        QVERIFY2(convertCatalogue(packaged, PackageKind::Art, CatalogueForm::Package, &note, &error), qPrintable(error));
        QVERIFY2(convertCatalogue(packaged, PackageKind::Gump, CatalogueForm::Package, &note, &error), qPrintable(error));
        const DirectoryView view(packaged);
        QCOMPARE(view.form(Static), CatalogueForm::Package);
        QCOMPARE(view.form(Gump), CatalogueForm::Package);

        const QMap<QString, QByteArray> before = hashes(packaged);
        QCOMPARE(lines(compare(m_demo, packaged)), QStringList());
        QCOMPARE(lines(compare(packaged, m_demo)), QStringList());

        // A gump stored in other bytes in the pair is still the package's picture; a changed
        // one is not.
        const QString recoded = m_root.filePath("recoded");
        copyDirectory(m_demo, recoded);
        const int same = firstListed(m_demo, Gump, 2), changed = firstListed(m_demo, Gump, 3);
        for (int id : { same, changed }) {
            const IndexRecord r = recordOf(m_demo, Gump, id);
            QImage image = decodeGump(storedRecord(m_demo, Gump, id), gumpWidthFromExtra(r.extra), gumpHeightFromExtra(r.extra));
            if (id == changed)
                image.setPixel(0, 0, color16ToRgb(0x0001));
            storeRecord(recoded, Gump, id, gumpOfSinglePixelRuns(image), r.extra);
        }
        QCOMPARE(lines(compare(recoded, packaged)), QStringList { QString("gump %1 picture").arg(hexId(changed)) });
        QCOMPARE(hashes(packaged), before);
    }

    // Damaged items on either side are listed as unreadable with their reason, never as
    // equal, and the rest is still compared.
    void damagedItemsOnEitherSide()
    {
        const QString here = m_root.filePath("damaged-here"), there = m_root.filePath("damaged-there");
        copyDirectory(m_demo, here);
        copyDirectory(m_demo, there);
        const int outside = firstListed(m_demo, Static, 2), broken = firstListed(m_demo, Gump, 0);
        const int changed = firstListed(m_demo, Gump, 1);
        // There: a static whose record lies past the end of art.mul.
        setIndexRecord(there, Static, outside, { 1 << 30, 100, 0 });
        // Here: a gump whose record is garbage of the same length.
        const IndexRecord gr = recordOf(m_demo, Gump, broken);
        storeRecord(here, Gump, broken, QByteArray(gr.length, char(0x7f)), gr.extra);
        // A picture change still shows beside them.
        const IndexRecord cr = recordOf(m_demo, Gump, changed);
        QImage image = decodeGump(storedRecord(m_demo, Gump, changed), gumpWidthFromExtra(cr.extra), gumpHeightFromExtra(cr.extra));
        image.setPixel(0, 0, color16ToRgb(0x1234));
        storeRecord(there, Gump, changed, encodeGump(image), cr.extra);
        // There: tiledata.mul cut to a size neither layout gives, inside the static section.
        const qint64 cut = staticTileOffset(0x8) + 5;
        QVERIFY(QFile::resize(mulPath(there, "tiledata.mul"), cut));

        const QMap<QString, QByteArray> before = hashes(there);
        const DiffResult r = compare(here, there, { Static, Gump });
        QStringList got = lines(r);
        QCOMPARE(got.filter(QString("static %1 ").arg(hexId(outside))).value(0),
                 QString("static %1 unreadable there: its record lies outside art.mul (offset 1073741824, length "
                         "100, file size %2)").arg(hexId(outside)).arg(QFileInfo(mulPath(there, "art.mul")).size()));
        QVERIFY(got.contains(QString("gump %1 unreadable here: its picture is damaged: part of it cannot be decoded").arg(hexId(broken)))
                || got.contains(QString("gump %1 unreadable here: its picture cannot be decoded").arg(hexId(broken))));
        QVERIFY(got.contains(QString("gump %1 picture").arg(hexId(changed))));
        // Statics whose tile record was cut off are unreadable there; those before the cut are read.
        const QString cutShort = "unreadable there: tiledata.mul is cut short (" + QString::number(cut) + " bytes) before its record";
        QVERIFY(got.filter(cutShort).size() > 0);
        QVERIFY(got.filter(QRegularExpression("^static 0x7 ")).isEmpty());
        QVector<tile_struct> records;
        QString error;
        QVERIFY(readAllTileRecords(here, Static, &records, &error));
        const auto cutOff = std::count_if(records.cbegin() + 0x8, records.cend(), [](const tile_struct& t) { return t != tile_struct(); });
        QVERIFY(cutOff > 0);
        QCOMPARE(got.filter("unreadable there: tiledata.mul").size(), int(cutOff));
        QCOMPARE(hashes(there), before);
    }

    // A hostile package and a damaged index on the other side: what can be read is compared,
    // the catalogue that cannot be listed makes every id listed here unreadable there.
    void damagedCataloguesThere()
    {
        const QString there = m_root.filePath("hostile");
        copyDirectory(m_demo, there);
        QVERIFY(writeBytes(mulPath(there, "gumpartLegacyMUL.uop"), QByteArray(4096, char(0x5a))));
        // artidx.mul cut inside a record: the records before the cut are still compared.
        const qint64 artIndexSize = QFileInfo(mulPath(there, "artidx.mul")).size();
        QVERIFY(QFile::resize(mulPath(there, "artidx.mul"), artIndexSize - 6));
        // An unfinished save there is named, and left for its own directory's next opening.
        QVERIFY(writeBytes(mulPath(there, "savejournal.qmg"), "art.mul\n"));

        const QMap<QString, QByteArray> before = hashes(there);
        const DiffResult r = compare(m_demo, there, { Static, Gump });
        QVERIFY2(r.sideWarnings[1].contains("interrupted"), qPrintable(r.sideWarnings[1]));
        QVERIFY(r.sideWarnings[0].isEmpty());
        QVERIFY(!r.unreadable[Gump][1].isEmpty());
        QVERIFY(r.unreadable[Gump][0].isEmpty());
        QVERIFY(!r.warnings[Static][1].isEmpty());
        const int gumps = int(readCatalogues(m_demo).listed[Gump].size());
        QCOMPARE(r.lineCount(Gump), gumps);
        for (const Difference& d : r.differences) {
            if (d.kind == Gump) {
                QCOMPARE(d.part, DiffPart::Unreadable);
                QCOMPARE(d.side, DiffSideName::There);
            }
        }
        // Only the last static lost its record with the cut.
        const QStringList statics = lines(r).filter(QRegularExpression("^static "));
        QVERIFY2(statics.size() <= 1, qPrintable(statics.join('\n')));
        QCOMPARE(hashes(there), before);
    }

    // A tile data file of a layout's size that holds fewer records, and no animation data at
    // all: the records only here are listed as unreadable there unless they are empty.
    void shortTileDataAndMissingAnimData()
    {
        const QString there = m_root.filePath("short");
        copyDirectory(m_demo, there);
        const qint64 size = kLandTileSectionSize;   // a classic file without static blocks
        QVERIFY(QFile::resize(mulPath(there, "tiledata.mul"), size));
        QVERIFY(QFile::remove(mulPath(there, "animdata.mul")));

        QVector<tile_struct> tiles;
        QString error;
        QVERIFY(readAllTileRecords(m_demo, Static, &tiles, &error));
        int tileLines = 0, animLines = 0;
        for (int id = 0; id < kStaticCount; ++id)
            tileLines += tiles[id] != tile_struct();
        for (int id = 0; id < kStaticCount; ++id)
            animLines += animBytes(readAnimRecord(m_demo, id)).count('\0') != kAnimRecordSize;
        QVERIFY(tileLines > 0 && animLines > 0);

        const DiffResult r = compare(m_demo, there, { Land, Static });
        const QStringList got = lines(r);
        QCOMPARE(got.filter(QString("unreadable there: tiledata.mul ends (%1 bytes) before its record").arg(size)).size(), tileLines);
        QCOMPARE(got.filter("unreadable there: animdata.mul is missing").size(), animLines);
        QCOMPARE(got.size(), tileLines + animLines);
        QVERIFY(r.warnings[Static][1].contains("animdata.mul is missing"));
    }

    // Wide tile data against the classic file it was made from: only the statics given high
    // flag bits differ, in their flags alone.
    void wideAgainstClassic()
    {
        const QString wide = m_root.filePath("wide");
        copyDirectory(m_demo, wide);
        QString error;
        int highFlagged = 0;
        QVERIFY2(widenDemoTileData(wide, &error, &highFlagged), qPrintable(error));
        QVERIFY(highFlagged > 0);
        const DirectoryView view(wide);
        QCOMPARE(view.tileLayout(), TileLayout::Wide);

        const DiffResult r = compare(m_demo, wide, { Land, Static });
        QCOMPARE(r.differences.size(), highFlagged);
        for (const Difference& d : r.differences) {
            QCOMPARE(d.kind, int(Static));
            QCOMPARE(d.part, DiffPart::Tile);
            QCOMPARE(d.fields, QStringList { "flags" });
        }
    }

    // The same directory on both sides (also by another path) is refused; a missing other
    // directory is named.
    void sameOrMissingDirectory()
    {
        DiffResult r;
        QString error;
        QVERIFY(!compareDirectories(m_demo, m_demo, {}, &r, &error));
        QVERIFY2(error.contains("same directory"), qPrintable(error));
        error.clear();
        QVERIFY(!compareDirectories(m_demo, m_demo + "/../demo/", {}, &r, &error));
        QVERIFY2(error.contains("same directory"), qPrintable(error));
        error.clear();
        QVERIFY(!compareDirectories(m_demo, m_root.filePath("nowhere"), {}, &r, &error));
        QVERIFY2(error.contains("does not exist"), qPrintable(error));
    }

    // Progress rises to the total, and a cancel stops the walk with the result marked.
    void progressAndCancel()
    {
        const QString copy = m_root.filePath("copy");
        copyDirectory(m_demo, copy);
        std::atomic_bool cancel { false };
        qint64 last = -1, total = -1;
        bool rising = true;
        DiffOptions options;
        options.cancel = &cancel;
        options.progress = [&](qint64 done, qint64 all) {
            rising = rising && done > last;
            last = done;
            total = all;
        };
        DiffResult r;
        QString error;
        QVERIFY(compareDirectories(m_demo, copy, options, &r, &error));
        QVERIFY(rising && total > kStaticCount && last == total);
        QVERIFY(!r.cancelled);

        options.progress = [&](qint64, qint64) { cancel = true; };
        QVERIFY(compareDirectories(m_demo, copy, options, &r, &error));
        QVERIFY(r.cancelled);
    }

private:
    QTemporaryDir m_root;
    QString m_demo;
};

QTEST_GUILESS_MAIN(TestDirectoryDiff)
#include "tst_directorydiff.moc"
