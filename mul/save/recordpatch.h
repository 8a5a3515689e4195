#pragma once

#include "changeset.h"
#include "../formats/recordpatch.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace qm {

class SaveTransaction;

// Files whose records sit at fixed places (tiledata.mul, animdata.mul) are saved as a copy of
// the file with the edited records written over their old bytes: every other byte keeps its
// value.


// Stages a copy of mulDir/name (`size` bytes) with every patch written over it. The caller
// has checked that each patch lies inside the file.
bool stagePatchedCopy(SaveTransaction& tx, const QString& mulDir, const QString& name, qint64 size,
                      const QVector<RecordPatch>& patches, QString* error);

// The tile records of the change set into tiledata.mul (`size` bytes), in the layout its size
// gives; a record the file has no place for, or flag bits the layout cannot hold, fail it.
bool stageTileRecords(SaveTransaction& tx, const QString& mulDir, const ChangeSet& changes, qint64 size,
                      QString* error);
// The animation records of the change set into animdata.mul.
bool stageAnimRecords(SaveTransaction& tx, const QString& mulDir, const ChangeSet& changes, QString* error);

} // namespace qm
