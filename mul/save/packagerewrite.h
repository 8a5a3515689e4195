#pragma once

#include "changeset.h"
#include "packagenames.h"

#include <QString>
#include <QVector>

namespace qm {

class SaveTransaction;

// A package catalogue's ids, listed land and static ids (art) or gump ids, as package ids.
QVector<int> packageIds(PackageKind kind, const QVector<int>& first, const QVector<int>& second);

// Writes a package catalogue back as a package: kept entries keep their stored bytes, edited
// pictures are encoded, deleted, emptied and empty ids get no entry, and a catalogue without a
// change leaves its package as it is. The .mul pair beside it, if any, is never touched.
bool stagePackageCatalogue(SaveTransaction& tx, const QString& mulDir, PackageKind kind, const QVector<int>& listedIds,
                           const ChangeSet& changes, QString* error);

} // namespace qm
