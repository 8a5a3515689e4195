#pragma once

#include "changeset.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

namespace qm {

class SaveTransaction;

// A catalogue kept as an index file and its data file, rewritten into a transaction.
// `indexKind` is Land for artidx.mul (land and static records), else Gump or Texture;
// `listed` has one mark per index record (see markListed).

// Marks the record of every listed id of `kind` in `set`, growing it as needed. False when an
// id has no place in its index file (`limit` records).
bool markListed(ItemKind kind, const QVector<int>& ids, qint64 limit, std::vector<char>& set, QString* error);

// Rewrites the pair: kept entries one after the other in index order from offset 0, edited
// pictures encoded, deleted and emptied entries empty (offset -1); a pair the rewrite would
// give back byte for byte is left alone. A damaged index is left as it is, with a note, unless
// the change set holds edits to it, which fail the save instead of being lost.
bool rewriteSoundPair(SaveTransaction& tx, const QString& mulDir, ItemKind indexKind, const std::vector<char>& listed,
                      const ChangeSet& changes, QString* error, QStringList* notes);

} // namespace qm
