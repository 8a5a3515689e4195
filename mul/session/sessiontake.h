#pragma once

#include "itemkind.h"
#include "itemstate.h"

#include <QString>
#include <QVector>

namespace qm {

class DiffSide;
class EditSession;

// The parts of an item a take may carry across (ItemPart bits); everything the kind has.
constexpr int kTakeAll = ImagePart | TilePart | AnimPart;

// Takes the items `ids` of `kind` from another side (a read-only directory) into the session,
// as one undo step like a patch import: for each, the parts named by `parts` that the kind
// has. A picture the other side lacks empties the item here; an id free here becomes a new
// entry. All or nothing: when any item is refused (a read-only catalogue, an id the files
// cannot hold, a picture or record the other side cannot read) nothing changes and `error`
// says why. `taken` (may be null) gets the number of items taken.
bool takeItems(EditSession& session, const DiffSide& other, ItemKind kind, const QVector<int>& ids, int parts,
               QString* error, int* taken = nullptr);

// "picture", "tile", "anim" (comma separated) as ItemPart bits; 0 with `error` for an unknown
// word.
int takePartsFromText(const QString& text, QString* error);

} // namespace qm
