#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace qm {

// The two catalogues that newer installations keep in package files, and which entry of
// such a package holds which id. Art ids are the art index's record numbers: land tiles
// 0..16,383, static tile N at 16,384 + N.
enum class PackageKind { Art, Gump };

constexpr int kArtPackageIdCount = 81920;
constexpr int kGumpPackageIdCount = 65536;

// "artLegacyMUL.uop" or "gumpartLegacyMUL.uop".
QString packageFileName(PackageKind kind);
// Ids 0 .. packageIdCount(kind) - 1 have names.
int packageIdCount(PackageKind kind);

// "build/artlegacymul/00000042.tga" and its hash; empty / 0 for an id without a name.
QByteArray packageEntryName(PackageKind kind, int id);
quint64 packageEntryHash(PackageKind kind, int id);
// The id whose name has this hash, or -1. A hash map built once per kind, safe to call from
// any thread.
int packageIdForHash(PackageKind kind, quint64 hash);

// How messages name an entry: "Static 0x10", "Gump 0x5" where its hash names an id, else
// by its hash ("entry 0x0123456789abcdef"). Pass it as the label of readPackageEntry.
QString packageEntryLabel(PackageKind kind, quint64 hash);

// The package that holds an item kind (Land, Static: Art; Gump: Gump); false for textures.
bool packageKindOf(int itemKind, PackageKind* out);
// Item (kind, id) <-> art package id; -1 / false outside the ranges.
int artPackageId(int itemKind, int id);
bool itemOfArtPackageId(int artId, int* itemKind, int* id);

// A gump entry: 4 bytes width and 4 bytes height (signed 32-bit), then the gump record that
// gumpart.mul would hold. The size takes the place of the index record's extra value.
constexpr int kGumpEntryPrefixSize = 8;
constexpr int kGumpSideLimit = 65535;
struct GumpEntry {
    int width = 0;
    int height = 0;
    QByteArray record;
};
// False (with the reason) for an entry shorter than 8 bytes or a side outside 1..65,535.
bool splitGumpEntry(const QByteArray& data, GumpEntry* out, QString* reason);
QByteArray gumpEntryData(int width, int height, const QByteArray& record);

} // namespace qm
