#pragma once

#include "changeset.h"
#include "freeids.h"
#include "patchfile.h"
#include "records.h"

#include <QString>

namespace qm {

class EditSession;

// Moving one item between the data files (with their change set) and a patch.

// The item as the session serves it: its edits where it has them (an emptied item gives a
// patch without a picture), else the data files. Tile records that are not edited are copied
// from tiledata.mul byte for byte; a wide tiledata.mul gives a format 2 patch. Fails when they
// would have to come from a tiledata.mul of a layout this program does not know: their bytes
// would be another record's, and the patch would spread them.
bool buildPatch(const EditSession& session, ItemKind kind, int id, PatchItem* out, QString* error);

// The records the patch carries, as the change set stores them (a format 1 record has the
// high flag bits 0).
tile_struct patchTile(const PatchItem& patch);

// Empty when a directory whose tiledata.mul has `layout` can take the patch's tile record,
// else the status-bar sentence why not: a land or static patch into an unknown layout, or a
// format 2 record with high flag bits set into a classic one (they would be lost). Checked
// before anything is asked or changed.
QString tileLayoutRefusal(const PatchItem& patch, TileLayout layout);
// The same for mulDir's tiledata.mul; a missing one refuses nothing.
QString patchImportRefusal(const QString& mulDir, const PatchItem& patch);
anim_st patchAnim(const PatchItem& patch);

// Lists the item under `id` and stores everything the patch carries in the session, as one
// undo step; false with the reason when the session refuses it (nothing changes then).
bool importPatch(EditSession& session, const PatchItem& patch, int id, QString* error);

// The caption of the id question for a kind: "Land Tile id", "Static Tile id", "Gump id",
// "Texture id".
QString patchIdCaption(ItemKind kind);

// Empty when the data files can hold `id` as an item of `kind`, else why not. Land ids run
// to 16,383 and static ids to 65,535 (they share artidx.mul); gump and texture ids may lie
// past the end of their index, which Save extends as far as it will (kGrownIndexLimit), so
// that an imported item never makes every later Save fail.
QString idRangeError(ItemKind kind, qint64 id);

// The user's answer to the id question, white space simplified: empty takes the smallest free
// id; "0x"/"0X" then hexadecimal; otherwise decimal.
struct PatchIdAnswer {
    enum Status {
        Ok,
        NotANumber,   // not an integer: the command ends without a word
        NoFreeId,     // empty answer and no free id: "Unable to create a new item"
        OutOfRange,   // an id the files cannot hold; `message` says why
    };
    Status status = NotANumber;
    int id = -1;
    QString message;
};
PatchIdAnswer resolvePatchId(const QString& answer, ItemKind kind, const FreeIds& freeIds);

} // namespace qm
