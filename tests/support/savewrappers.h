#pragma once

// Save stages run on a bare change set, each in a transaction of its own, for the tests of
// the rewrite (the program itself always saves through its edit session). On success the
// maps the files now hold are emptied from `changes`.
#include "changeset.h"
#include "rewrite.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace qm {

// art.mul + artidx.mul, and the tile records of `changes` into tiledata.mul. When
// `tileDataWritable` is false (or tiledata.mul is missing or of another layout) the tile
// file is left untouched and the tile maps keep their records.
bool saveArtFiles(const QString& mulDir, const QVector<int>& landIds,
                  const QVector<int>& staticIds, ChangeSet& changes, bool tileDataWritable,
                  QString* error, QStringList* notes = nullptr);

// gumpart.mul + gumpidx.mul (kind Gump) or texmaps.mul + texidx.mul (kind Texture).
bool saveImageFiles(const QString& mulDir, ItemKind kind, const QVector<int>& ids,
                    ChangeSet& changes, QString* error);

// The stored animation records into animdata.mul; other bytes keep their values.
bool saveAnimFile(const QString& mulDir, const ChangeSet& changes, QString* error);

// The four stages as one Rewrite: on any failure no file changes and the change set stays
// whole.
bool saveAll(const QString& mulDir, const QVector<int> listed[kItemKindCount],
             ChangeSet& changes, bool tileDataWritable, QString* error,
             QStringList* notes = nullptr);

} // namespace qm
