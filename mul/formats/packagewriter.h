#pragma once

#include "packagefile.h"
#include "packagenames.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

class QIODevice;

namespace qm {

// One entry of a package being written, in the order it is written.
struct PackageWriteItem {
    quint64 hash = 0;
    int id = -1;          // the id it holds, -1 for a kept entry whose hash names no id
    int keptIndex = -1;   // >= 0: the source entry whose stored block is copied unchanged
};

// The package being replaced, whose entries may be kept as stored.
struct PackageWriteSource {
    const PackageDirectory* directory = nullptr;
    QIODevice* device = nullptr;
    // Optional: appends a kept entry's whole block to the output itself, leaving the output's
    // position after it (a writer that can have the kernel copy files). Unset: the block is
    // read from `device` and written through the output.
    std::function<bool(const PackageEntry& entry, QString* error)> copyBlock;
};

// The data of an entry that is not kept; called once per such entry, just before it is
// written, so only one entry's bytes are in memory at a time.
using PackageEntryData = std::function<bool(const PackageWriteItem& item, QByteArray* data, QString* error)>;

// The entries of a rewritten package: `ids` (any order, duplicates ignored; ids outside the
// kind's range are refused by writePackage through their hash 0) in increasing order, each
// kept as stored where the source has a readable entry for it and `keepStored(id)` says its
// data is unchanged; then the source's entries whose hash names no id, in the order read.
// Source entries of ids not in `ids` are left out: those ids are empty or deleted.
QVector<PackageWriteItem> planPackageWrite(PackageKind kind, const QVector<int>& ids,
                                           const PackageDirectory* source,
                                           const std::function<bool(int id)>& keepStored);

// The version, signature and capacity a package keeps from the one it replaces (a new one's
// are 5, 0xFD23EC43, 1000). A capacity of 0 or one that would make each table megabytes
// large gives 1000 instead.
PackageHeader packageFormatFrom(const PackageDirectory* source);
constexpr quint32 kPackageCapacityLimit = 65536;

// Writes a whole package to `out`, which must be seekable and positioned at 0: the header
// (bytes 28 to 511 zero), then tables of `format.capacity` headers from offset 0x200, each
// followed by the data of its entries in `items` order. New entries are stored uncompressed
// with no metadata and checksum 0; kept entries copy their metadata, stored bytes, lengths,
// checksum and compression, through a fixed-size buffer. `fileName` names the target in
// messages. False with `error` on a write or read failure, a kept entry that is damaged, an
// item without a hash, or data over the entry limit; `out` then holds an incomplete file.
bool writePackage(QIODevice& out, const QString& fileName, const PackageHeader& format,
                  const QVector<PackageWriteItem>& items, const PackageWriteSource& source,
                  const PackageEntryData& newData, QString* error);

} // namespace qm
