#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include "packagehashindex.h"

class QIODevice;

namespace qm {

// Package files (*.uop): numbered entries found through chained tables of entry headers.
// The file header is 28 bytes: magic "MYP\0", version, signature, first-table offset (64-bit),
// table capacity, entry count. A table is a 12-byte head (header count, next-table offset)
// followed by 34-byte entry headers. All numbers little-endian and unsigned.
constexpr char kPackageMagic[4] = { 'M', 'Y', 'P', '\0' };
constexpr quint32 kPackageVersion = 5;
constexpr quint32 kPackageSignature = 0xFD23EC43u;
constexpr quint32 kPackageCapacity = 1000;
constexpr int kPackageHeaderSize = 28;
constexpr qint64 kPackageFirstTableOffset = 0x200;
constexpr int kPackageTableHeadSize = 12;
constexpr int kPackageEntryHeaderSize = 34;
// The most an entry may hold once inflated; a larger entry is unreadable rather than a
// reason to allocate that much.
constexpr quint32 kPackageEntryDataLimit = 64u * 1024 * 1024;

enum PackageCompression : quint16 { PackageStored = 0, PackageZlib = 1 };

struct PackageHeader {
    quint32 version = kPackageVersion;
    quint32 signature = kPackageSignature;
    quint64 firstTable = 0;
    quint32 capacity = kPackageCapacity;
    quint32 entryCount = 0;   // as stored; readers don't rely on it
};

// One used entry header. Its block (metadata, then data as stored) spans offset to
// offset + metadataLength + storedLength.
struct PackageEntry {
    quint64 offset = 0;
    quint32 metadataLength = 0;
    quint32 storedLength = 0;
    quint32 dataLength = 0;
    quint64 hash = 0;
    quint32 checksum = 0;
    quint16 compression = PackageStored;
    // Why the entry cannot be read ("its data runs past the end of the file"); empty when
    // it can.
    QString damage;

    bool isReadable() const { return damage.isEmpty(); }
    quint64 dataOffset() const { return offset + metadataLength; }
    quint64 blockLength() const { return quint64(metadataLength) + storedLength; }
};

// What a package lists. Damage to one entry leaves the rest usable; damage to the package
// as a whole makes readPackageDirectory fail.
struct PackageDirectory {
    QString fileName;                 // names the file in messages
    PackageHeader header;
    QVector<PackageEntry> entries;    // the used entries, in the order the tables list them
    PackageHashIndex indexByHash;     // hash -> position in `entries`

    const PackageEntry* find(quint64 hash) const;
    int damagedEntryCount() const;
};

// Reads the header and every table of a package of `device.size()` bytes and checks every
// number against the file before use. False, with `error` naming `fileName` and the reason,
// when the package is unreadable as a whole: not a package, a table outside the file, inside
// the file header or overlapping another, a chain of tables that loops, or two used entries
// with one hash. Entry-level damage (block past the end, overlapping the header, a table or
// another entry, unknown compression, a data length over the limit) is recorded in
// PackageEntry::damage instead. Memory stays proportional to the file's size.
bool readPackageDirectory(QIODevice& device, const QString& fileName, PackageDirectory* out,
                          QString* error);
// The same on a file; the file's name (without its folder) names it in messages.
bool readPackageDirectory(const QString& path, PackageDirectory* out, QString* error);

// "artLegacyMUL.uop: Static 0x10: <reason>"; `label` names the entry, by default through
// its hash ("entry 0x99361f7d3a53aea8").
QString packageEntryMessage(const PackageDirectory& dir, const PackageEntry& entry,
                            const QString& reason, const QString& label = QString());
QString packageHashLabel(quint64 hash);

// The entry's data: the stored bytes, or for a zlib entry the complete stream inflated to
// exactly its data length (checksum checked, bytes after the stream ignored). False, with a
// message from packageEntryMessage, for a damaged entry, a read error, a broken stream or one
// that inflates to another size.
bool readPackageEntry(QIODevice& device, const PackageDirectory& dir, const PackageEntry& entry,
                      QByteArray* data, QString* error, const QString& label = QString());

// One complete zlib stream from `stored`, inflated to exactly `expectedLength` bytes. The
// output grows with what the stream really produces, never past `expectedLength`.
bool inflateExactly(const QByteArray& stored, quint32 expectedLength, QByteArray* out,
                    QString* reason);
// The other way: `data` as one complete zlib stream, the stored form of a compressed entry.
QByteArray deflateToZlib(const QByteArray& data);

} // namespace qm
