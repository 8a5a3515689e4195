#pragma once

#include "freeids.h"
#include "itemkind.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>


namespace qm {

// One 12-byte record of artidx.mul, gumpidx.mul or texidx.mul.
struct IndexRecord {
    qint32 offset = -1; // -1 marks an empty entry
    qint32 length = 0;
    quint32 extra = 0;

    bool isEmpty() const { return offset == -1; }
    bool operator==(const IndexRecord& o) const
    {
        return offset == o.offset && length == o.length && extra == o.extra;
    }
};

constexpr int kIndexRecordSize = 12;
constexpr int kLandCount = 16384;      // land ids 0..16383 are art records 0..16383
constexpr int kStaticCount = 65536;    // static ids 0..65535 are art records 16384..81919
constexpr int kArtRecordCount = kLandCount + kStaticCount;
// Save extends gumpidx.mul and texidx.mul for new ids up to this many records (the games' own
// files hold at most 65,536); an id beyond is surely a mistake.
constexpr qint64 kGrownIndexLimit = 65536;

// File names inside the data directory, without the leading separator.
QString indexFileName(int kind);
QString dataFileName(int kind);
// mulDir + "/" + name: the data directory carries no trailing separator.
QString mulPath(const QString& mulDir, const QString& fileName);

// Empty when the data files can hold `id` as an item of `kind`, else why not. Land ids run
// to 16,383 and static ids to 65,535 (they share artidx.mul); gump and texture ids may lie
// past the end of their index, which Save extends as far as it will (kGrownIndexLimit).
QString itemIdRangeError(int kind, qint64 id);

// The record number inside the kind's index file (static ids are shifted by 16,384).
qint64 indexRecordNumber(int kind, int id);

// Decodes record `number` of an index file held in memory; a record beyond the end is empty.
IndexRecord indexRecordAt(const QByteArray& indexBytes, qint64 number);
void appendIndexRecord(QByteArray& out, const IndexRecord& r);

// Reads one record from the kind's index file. A missing file, or a record past its end,
// gives an empty record; *found tells whether the record exists in the file.
IndexRecord readIndexRecord(const QString& mulDir, int kind, int id, bool* found = nullptr);

// What the three index files list: per kind, the ids with data (ascending) and the free ids.
struct Catalogues {
    QVector<int> listed[kItemKindCount];
    FreeIds free[kItemKindCount];
    // Whether the kind's index file was opened and read whole; a missing or unreadable one
    // gives empty catalogues.
    bool indexRead[kItemKindCount] {};
    // Per catalogue, empty when its index file can be trusted; else one sentence naming the
    // file: it could not be read, or it is damaged (see indexdamage.h: empty while its data
    // file holds data, or cut inside a record). Such a catalogue lists what its whole records
    // give but is read-only: editing it, or saving its list, could cost its data file records
    // it still holds. Land and static share artidx.mul, so they share its damage.
    QString damage[kItemKindCount];

    bool isDamaged(int kind) const { return !damage[kind].isEmpty(); }

    bool isListed(int kind, int id) const;
    // Lists `id` (the list stays ascending) and takes it from the free ids, as the editor's
    // list does when an item is added.
    void list(int kind, int id);
    // Takes an id off its list and makes it free.
    void unlist(int kind, int id);
};

// Reads artidx.mul (land and static; a short file's missing records count as empty, up to
// 81,920), gumpidx.mul and texidx.mul (one id per whole record). A missing file leaves its
// catalogues empty; a damaged one is read as far as it goes and named in `damage`.
Catalogues readCatalogues(const QString& mulDir);

// What a file looked like when it was read: size and modification time. Another program
// that changes an index file behind the editor's back changes its stamp.
struct FileStamp {
    qint64 size = -1;          // -1: no such file
    qint64 modifiedMs = 0;
    quint64 inode = 0;         // a save replaces the file by a new one; 0 where unknown
    bool operator==(const FileStamp& o) const
    {
        return size == o.size && modifiedMs == o.modifiedMs && inode == o.inode;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};
FileStamp stampOf(const QString& path);

// Save writes every entry missing from a list as deleted, so a list that is empty only
// because its index file could not be read must never be saved over a file that exists.
// False (with a sentence for the user) in exactly that case.
bool catalogueSafeToSave(const QString& mulDir, bool indexRead, int kind, QString* error);

} // namespace qm
