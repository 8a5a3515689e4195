#pragma once

#include "changeset.h"
#include "indexfile.h"
#include "tiledata.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

// Data directories for the tests of Save and its recovery, built by code.

// `length` bytes that name their entry, so that a misplaced or cut copy shows.
QByteArray entryBytes(int tag, int record, int length);

// One entry of an index/data pair as a test lays it out: its record number, where its bytes
// lie in the old data file, and its extra.
struct PlacedEntry {
    int record;
    qint32 offset;
    qint32 length;
    quint32 extra = 0;
};

class SaveDir {
public:
    SaveDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    // Writes the index of `kind` with `records` records (all empty but `entries`) and a data
    // file whose entry bytes come from entryBytes(kind, record, length) at each entry's
    // offset; the bytes between entries are 0xEE.
    void writePair(int kind, int records, const QVector<PlacedEntry>& entries);
    // tiledata.mul and animdata.mul of the given size, every byte patterned.
    void writeTileData(qint64 size);
    void writeAnimData(qint64 size);
    // A full directory: an art index with land, static and (past the static range) trailing
    // entries, gumps, textures, a whole tiledata.mul and a small animdata.mul.
    void writeStandard();

    // Every file in the directory, by name.
    QMap<QString, QByteArray> snapshot() const;

private:
    QTemporaryDir m_dir;
};

// Every file in `dir`, by name, to see that a refused command changed nothing.
QMap<QString, QByteArray> fileSnapshot(const QString& dir);

// The listed ids of every catalogue as the directory's indexes give them.
struct Listed {
    QVector<int> ids[qm::kItemKindCount];
};
Listed listedIn(const QString& dir);

// Bytes of the standard pattern used for tiledata.mul and animdata.mul.
QByteArray patternBytes(qint64 size, int seed);

// Runs qmtool with `args`; returns its exit code (-1 when it did not end normally). Extra
// environment entries are "NAME=value". Notes of the offscreen platform are left out of err.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};
ToolRun runTool(const QStringList& args, const QStringList& environment = {});
// runTool with "--dir DIR" in front of `args`.
ToolRun runToolIn(const QString& dir, const QStringList& args);
