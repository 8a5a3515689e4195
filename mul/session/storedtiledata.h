#pragma once

#include "itemkind.h"
#include "records.h"
#include "tiledata.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace qm {

// tiledata.mul as the files hold it: read once, when first asked (3 MB at most), and parsed
// on demand, in the layout its size gives. A missing file or an id past its end gives the
// reader's zero record.
class StoredTileData {
public:
    // Forgets what was read; the next question reads mulDir's tiledata.mul again.
    void reset(const QString& mulDir);

    tile_struct record(ItemKind kind, int id) const;
    // The stored bytes of a record, unchanged (26/37 or 30/41 of them); empty when the file
    // does not hold it.
    QByteArray rawRecord(ItemKind kind, int id) const;
    // Every record of a kind, indexed by id (16,384 land, 65,536 static).
    const QVector<tile_struct>& records(ItemKind kind) const;

private:
    void load() const;

    QString m_dir;
    mutable bool m_loaded = false;
    mutable QByteArray m_bytes;
    mutable TileLayout m_layout = TileLayout::Classic;
    mutable QVector<tile_struct> m_parsed[2];
};

} // namespace qm
