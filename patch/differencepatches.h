#pragma once

#include "directorydiff.h"
#include "itemstate.h"
#include "patchfile.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace qm {

class DirectoryView;
class EditSession;

// An item of a read-only directory as a patch: its picture, its tile record as stored (a wide
// tiledata.mul gives a format 2 patch) and its animation record. False with `error` when
// a part it has cannot be read.
bool buildPatchFromDirectory(const DirectoryView& dir, ItemKind kind, int id, PatchItem* out, QString* error);

// The distinct items of `differences`, in their order.
QVector<ItemKey> differingItems(const QVector<Difference>& differences);

// "static-0x1a2b.qmp": the batch export's names with the patch extension.
QString differencePatchFileName(ItemKind kind, int id);

// Writes one patch per item into `folder` (created when needed), each from the chosen side:
// the session as it serves the item, or the other directory. Items without a picture entry on
// that side and without tile data are left out (named in `skipped`). Stops at the first
// failure with `error`; the files written so far are listed in `written`.
bool exportDifferencePatches(const EditSession& session, const DirectoryView& other, DiffSideName from,
                             const QVector<ItemKey>& items, const QString& folder, QStringList* written,
                             QStringList* skipped, QString* error);

} // namespace qm
