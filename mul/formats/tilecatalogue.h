#pragma once

#include "records.h"

#include <QString>
#include <QVector>

namespace qm {

// Every tile record of one kind (Land or Static) from mulDir's tiledata.mul, read in one
// pass, indexed by id: what a catalogue's filter and name column need for all of its items
// at once. Ids the file is too short to hold get an empty record, as readTileRecord gives.
// False with `error` set when the file cannot be read or `kind` has no tile data.
bool readAllTileRecords(const QString& mulDir, int kind, QVector<tile_struct>* records, QString* error);

} // namespace qm
