#pragma once

#include "packagenames.h"
#include "recordsource.h"

#include <QString>

namespace qm {

// Rewrites one catalogue of mulDir (art or gumps) into the other form in one crash-safe
// save: afterwards only the new form's files exist for it, and every id keeps its record
// bytes (art's unused extra value is dropped into a package and written back as 0; a gump's
// size moves between the index's extra value and the entry's first 8 bytes).
//
// Converting to the form in use changes nothing: true with `note` saying so. Refused, with
// nothing changed: a damaged or unreadable catalogue, a package holding entries whose hash
// names no id (to the pair they would be lost), a gump id past 65,535 or a gump without a
// size (to a package they have no place).
bool convertCatalogue(const QString& mulDir, PackageKind kind, CatalogueForm target, QString* note, QString* error);

} // namespace qm
