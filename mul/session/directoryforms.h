#pragma once

#include "indexfile.h"
#include "recordsource.h"
#include "tiledata.h"

#include <QString>
#include <QVector>

namespace qm {

// Which forms a data directory's files are in, for the user: the status bar after opening
// and qmtool info.
struct CatalogueFormInfo {
    QString label;          // "art", "gumps", "textures"
    CatalogueForm form = CatalogueForm::Pair;
    QString fileName;       // the file that lists the entries
    bool present = false;   // that file exists
    qint64 entries = 0;     // ids with data
    QString problem;        // why the catalogue is read-only; empty when it is not
};

struct DirectoryForms {
    QVector<CatalogueFormInfo> catalogues;   // art, gumps, textures
    TileLayout tileLayout = TileLayout::Unknown;
    qint64 tileDataSize = -1;                // -1: no tiledata.mul
};

DirectoryForms directoryForms(const QString& mulDir, const Catalogues& catalogues);
// "Art: package (81920 entries), gumps: classic pair (3 entries), textures: classic pair
// (0 entries), tile data: wide".
QString directoryFormsLine(const DirectoryForms& forms);

} // namespace qm
