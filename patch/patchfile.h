#pragma once

#include "itemkind.h"

#include "tiledata.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qm {

// A patch file (.qmp) carries one item of one catalogue between installations. Layout, all
// numbers little-endian 32-bit signed, no padding, no length or checksum:
//   format (1 or 2), kind (0 land, 1 static, 2 gump, 3 texture), id, height, width,
//   when height + width != 0: image marker (1, or 0 for "no image") and a complete PNG file,
//   land: its tiledata.mul record; static: its tiledata.mul record and 68 bytes of
//   animdata.mul. Gump and texture patches end after the image.
// Format 1 carries classic tile records (26 / 37 bytes), format 2 the wide ones with 64-bit
// flags (30 / 41 bytes); nothing else differs. Gumps and textures are always format 1.
constexpr qint32 kPatchFormat = 1;
constexpr qint32 kWidePatchFormat = 2;
constexpr int kPatchHeaderSize = 20;
// Far above any real patch (a PNG of the largest gump is a few megabytes); a bigger file is
// not read into memory at all.
constexpr qint64 kPatchFileSizeLimit = 64LL * 1024 * 1024;

struct PatchItem {
    int format = kPatchFormat;
    ItemKind kind = Land;
    int id = 0;
    QImage image;            // null when the item has no image
    QByteArray tileRecord;   // land / static: the record of the format's layout as stored; else empty
    QByteArray animRecord;   // static: 68 bytes as stored; else empty
};

// The tile data layout of a format's records (Classic for format 1, Wide for format 2) and
// the record size a kind has in a format (0 for gumps and textures).
TileLayout patchTileLayout(int format);
int patchTileRecordSize(int format, int kind);

// The file's bytes. Fails only when the image cannot be encoded as PNG or a record has the
// wrong size for the kind and format (a programming error).
bool serialisePatch(const PatchItem& patch, QByteArray* out, QString* error);

// Reads and checks a whole patch: header, image (decoded, and one that Save can store for
// the kind), records, and no bytes left over. On failure `out` is untouched and `error` is a
// sentence for the status bar ("Not a patch file: ..." or "Cannot import this patch: ...").
// The id is not checked here: it is only the default answer to the id question.
bool parsePatch(const QByteArray& bytes, PatchItem* out, QString* error);

// parsePatch on a file, refusing files larger than kPatchFileSizeLimit before reading them.
bool readPatchFile(const QString& fileName, PatchItem* out, QString* error);

// Writes the patch to exactly `fileName`, all or nothing: an existing file is replaced only
// once the new one is completely written.
bool writePatchFile(const QString& fileName, const PatchItem& patch, QString* error);

// The export dialog's extension rule: with the "QMP" filter chosen, a name whose part after
// the last dot isn't qmp (any case) gets ".qmp" appended; with any other filter the name
// stays as typed.
QString patchFileNameForFilter(const QString& chosenName, const QString& selectedFilter);

} // namespace qm
