#pragma once

#include "records.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVector>

namespace qm {

// One side of a comparison as the difference engine sees it. A data directory on the disk is
// one (DirectoryView); an edit session can be another, answering with its edited items, so
// the engine never needs to know where an item comes from. Every call may come from a worker
// thread while the caller waits for the result: an implementation must stay readable, and
// unchanged, for as long as a comparison runs.
class DiffSide {
public:
    virtual ~DiffSide() = default;

    // The data directory behind the side (the two sides of a comparison must differ), or empty
    // when there is none.
    virtual QString directory() const = 0;

    // A warning about the side as a whole (an unfinished save left in it); empty when none.
    virtual QString sideWarning() const { return QString(); }

    // The ids of `kind` with a picture entry, ascending.
    virtual QVector<int> listedIds(int kind) const = 0;
    // Why the catalogue could not be listed at all (its ids are then unknown on this side);
    // empty when it was.
    virtual QString catalogueUnreadable(int kind) const = 0;
    // A warning about a catalogue that was listed only in part (a damaged index or package
    // entries); empty when none.
    virtual QString catalogueWarning(int kind) const = 0;

    // The stored record of a listed id, exactly its bytes and its index extra: two items whose
    // records are equal show the same picture without being decoded. `bytes` may be left null
    // for an item that has no stored form yet (an edit): it is then compared by its picture.
    // False with `error` when the entry cannot be read.
    virtual bool recordBytes(int kind, int id, QByteArray* bytes, quint32* extra, QString* error) const = 0;
    // The decoded picture (Format_ARGB32); null with `error` when it cannot be decoded whole.
    virtual QImage picture(int kind, int id, QString* error) const = 0;

    // The tile record of a land or static id. True with `*present` false and `error` saying why
    // when the side holds no record for it (no tile data file, or one that ends before it):
    // the engine then lists it as unreadable where the other side's record is not empty.
    // False with `error` when the record cannot be read at all.
    virtual bool tileRecord(int kind, int id, tile_struct* tile, bool* present, QString* error) const = 0;
    // The tile record's bytes as stored and the width of their flags (4 or 8), when the side
    // holds the record as stored bytes; empty otherwise. Two stored records of the same width
    // and bytes are equal without being parsed.
    virtual QByteArray storedTileRecord(int kind, int id, int* flagsBytes) const
    {
        Q_UNUSED(kind);
        Q_UNUSED(id);
        *flagsBytes = 0;
        return QByteArray();
    }
    // The 68 bytes of a static id's animation record, as tileRecord.
    virtual bool animRecord(int id, QByteArray* bytes, bool* present, QString* error) const = 0;
};

} // namespace qm
