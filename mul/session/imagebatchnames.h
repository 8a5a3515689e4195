#pragma once

#include "itemkind.h"

#include <QString>

namespace qm {

// How batch export names its files and batch import finds them: one PNG per item, the kind
// in lower case and the id as the lists show it, e.g. "static-0x1a2b.png".
QString batchImageFileName(ItemKind kind, int id);

enum class BatchName {
    Other,        // any other file: ignored
    Item,         // kind and id set
    OutOfRange,   // named so, but the id lies beyond the kind's range; kind set
};

// Reads such a name back. Case is ignored and leading zeros are allowed, as people rename
// files by hand.
BatchName parseBatchImageFileName(const QString& fileName, int* kind, int* id);

} // namespace qm
