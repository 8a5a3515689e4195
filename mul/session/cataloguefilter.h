#pragma once

#include "records.h"

#include <QMetaType>
#include <QString>

namespace qm {

// What a catalogue's filter box asks for: an id or id range, a tile name substring, a flag
// that must be set or clear. Conditions combine with "and"; an empty filter matches all.
struct CatalogueFilter {
    int firstId = 0;          // id range, both ends included; lastId < 0: no id condition
    int lastId = -1;
    QString name;             // matched case-insensitively anywhere in the tile name
    int flagBit = -1;         // 0..31; -1: no flag condition
    bool flagSet = true;      // "has" (true) or "has not" (false)

    bool isEmpty() const { return lastId < 0 && name.isEmpty() && flagBit < 0; }
    bool hasTileCondition() const { return !name.isEmpty() || flagBit >= 0; }

    // Whether item `id` passes. `tile` is its tile record, or nullptr for a kind without tile
    // data, which fails every name and flag condition.
    bool matches(int id, const tile_struct* tile) const;
};

// Reads the filter box's text: "0x100-0x1ff" or "256-511" (either order), a single id
// ("0x1f4", "500"), or else a name substring (surrounding blanks dropped). The flag
// condition comes from the box's drop-downs.
CatalogueFilter parseCatalogueFilter(const QString& text, int flagBit = -1, bool flagSet = true);

} // namespace qm

Q_DECLARE_METATYPE(qm::CatalogueFilter)
