#include "storedtiledata.h"

#include "indexfile.h"
#include "itemkind.h"

#include <QFile>

namespace qm {

void StoredTileData::reset(const QString& mulDir)
{
    m_dir = mulDir;
    m_loaded = false;
    m_bytes.clear();
    m_parsed[Land].clear();
    m_parsed[Static].clear();
}

void StoredTileData::load() const
{
    if (m_loaded)
        return;
    m_loaded = true;
    QFile file(mulPath(m_dir, QStringLiteral("tiledata.mul")));
    if (!m_dir.isEmpty() && file.open(QIODevice::ReadOnly))
        m_bytes = file.readAll();
    m_layout = tileLayoutForSize(m_bytes.size());
}

QByteArray StoredTileData::rawRecord(ItemKind kind, int id) const
{
    load();
    const qint64 offset = tileOffset(kind, id, m_layout);
    const int size = tileRecordSize(kind, m_layout);
    if (offset < 0 || size <= 0 || offset + size > m_bytes.size())
        return QByteArray();
    return m_bytes.mid(offset, size);
}

tile_struct StoredTileData::record(ItemKind kind, int id) const
{
    if (!hasTileData(kind))
        return tile_struct();
    if (!m_parsed[kind].isEmpty())
        return id >= 0 && id < m_parsed[kind].size() ? m_parsed[kind][id] : tile_struct();
    const QByteArray raw = rawRecord(kind, id);
    return raw.isEmpty() ? tile_struct() : parseTile(kind, raw.constData(), m_layout);
}

const QVector<tile_struct>& StoredTileData::records(ItemKind kind) const
{
    static const QVector<tile_struct> none;
    if (!hasTileData(kind))
        return none;
    QVector<tile_struct>& parsed = m_parsed[kind];
    if (parsed.isEmpty()) {
        load();
        const int count = kind == Land ? kLandCount : kStaticCount;
        parsed.resize(count);
        const int size = tileRecordSize(kind, m_layout);
        for (int id = 0; id < count; ++id) {
            const qint64 offset = tileOffset(kind, id, m_layout);
            if (offset + size > m_bytes.size())
                break;   // the rest stay zero records
            parsed[id] = parseTile(kind, m_bytes.constData() + offset, m_layout);
        }
    }
    return parsed;
}

} // namespace qm
