#pragma once

#include <QString>
#include <QtGlobal>

namespace qm {

// Whether an index file can be trusted to list its data file's records. An index that is
// empty while its data file holds data, or whose length is no whole number of 12-byte
// records, was cut short: a save that took it at its word would compact the data file down
// to what the short index still lists and lose the rest for good.
//
// The sentence for the user naming `indexName` when its sizes show such damage (what follows
// from it is the caller's to add), else empty.
// `dataSize` is -1 when the data file is missing.
QString indexDamageFromSizes(const QString& indexName, qint64 indexSize, const QString& dataName,
                             qint64 dataSize);

// The same, for the kind's index file in mulDir as it is on the disk now; empty when it is
// sound or missing (a missing index is no damage: there is nothing to lose).
QString indexDamage(const QString& mulDir, int kind);

} // namespace qm
