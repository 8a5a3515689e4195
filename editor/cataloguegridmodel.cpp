#include "cataloguegridmodel.h"

#include "hueapply.h"
#include "itemkind.h"

#include "thumbnailcache.h"

#include <QPainter>

#include <algorithm>
#include <functional>

using namespace qm;

namespace {

// Position of `id` in an ascending vector, or where it would go.
QVector<int>::const_iterator lowerBound(const QVector<int>& ids, int id)
{
    return std::lower_bound(ids.cbegin(), ids.cend(), id);
}

bool containsId(const QVector<int>& ids, int id)
{
    const auto it = lowerBound(ids, id);
    return it != ids.cend() && *it == id;
}

} // namespace

CatalogueGridModel::CatalogueGridModel(int kind, ThumbnailCache* cache, QObject* parent)
    : QAbstractListModel(parent)
    , m_kind(kind)
    , m_cache(cache)
{
    connect(cache, &ThumbnailCache::thumbnailReady, this, &CatalogueGridModel::thumbnailArrived);
}

void CatalogueGridModel::setIds(QVector<int> ids)
{
    // The catalogues hand their ids over ascending already: one pass to see it instead of
    // sorting 65,536 ids per tab at start-up.
    const bool strictlyAscending =
        std::adjacent_find(ids.cbegin(), ids.cend(), std::greater_equal<int>()) == ids.cend();
    if (!strictlyAscending) {
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    }
    m_ids = std::move(ids);
    rebuildShown();
}

void CatalogueGridModel::insertId(int id)
{
    if (id < 0 || containsId(m_ids, id))
        return;
    m_ids.insert(lowerBound(m_ids, id) - m_ids.cbegin(), id);
    refilter(id);
}

void CatalogueGridModel::removeId(int id)
{
    const auto it = lowerBound(m_ids, id);
    if (it == m_ids.cend() || *it != id)
        return;
    m_ids.remove(it - m_ids.cbegin());
    refilter(id);
}

void CatalogueGridModel::setTileLookup(TileLookup lookup)
{
    m_lookup = std::move(lookup);
    m_tiles.clear();
    if (m_filter.hasTileCondition())
        setFilter(m_filter);
}

void CatalogueGridModel::setTileRecords(QVector<tile_struct> records)
{
    m_tiles = std::move(records);
    if (m_filter.hasTileCondition())
        setFilter(m_filter);
}

void CatalogueGridModel::setTileRecord(int id, const tile_struct& record)
{
    if (id < 0)
        return;
    if (!m_lookup) {
        if (id >= m_tiles.size())
            m_tiles.resize(id + 1);
        m_tiles[id] = record;
    }
    refilter(id);
    const int row = rowOf(id);
    if (row >= 0)
        emit dataChanged(index(row), index(row), { Qt::ToolTipRole });
}

QString CatalogueGridModel::tileName(int id) const
{
    const tile_struct* tile = tileOf(id);
    return tile ? tile->name : QString();
}

void CatalogueGridModel::setEdited(int id, bool edited)
{
    if (m_edited.contains(id) == edited)
        return;
    if (edited)
        m_edited.insert(id);
    else
        m_edited.remove(id);
    const int row = rowOf(id);
    if (row >= 0)
        emit dataChanged(index(row), index(row), { EditedRole });
}

void CatalogueGridModel::setEditedIds(const QSet<int>& ids)
{
    m_edited = ids;
    if (!m_shown.isEmpty())
        emit dataChanged(index(0), index(rowCount() - 1), { EditedRole });
}

void CatalogueGridModel::pictureChanged(int id)
{
    m_cache->invalidate(m_kind, id);
    const int row = rowOf(id);
    if (row >= 0)
        emit dataChanged(index(row), index(row), { Qt::DecorationRole });
}

void CatalogueGridModel::setFilter(const qm::CatalogueFilter& filter)
{
    m_filter = filter;
    rebuildShown();
}

void CatalogueGridModel::rebuildShown()
{
    beginResetModel();
    m_shown.clear();
    for (int id : m_ids)
        if (passes(id))
            m_shown.append(id);
    endResetModel();
    emit matchCountChanged(int(m_shown.size()), listedCount());
}

int CatalogueGridModel::idAt(int row) const
{
    return row >= 0 && row < m_shown.size() ? m_shown[row] : -1;
}

int CatalogueGridModel::rowOf(int id) const
{
    const auto it = lowerBound(m_shown, id);
    return it != m_shown.cend() && *it == id ? int(it - m_shown.cbegin()) : -1;
}

void CatalogueGridModel::prefetch(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    for (int row = first; row <= last; ++row)
        m_cache->thumbnail(m_kind, m_shown[row]);
}

void CatalogueGridModel::cellSizeChanged()
{
    m_placeholder = QPixmap();
    if (!m_shown.isEmpty())
        emit dataChanged(index(0), index(rowCount() - 1), { Qt::DecorationRole, Qt::SizeHintRole });
}

int CatalogueGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant CatalogueGridModel::data(const QModelIndex& index, int role) const
{
    const int id = idAt(index.row());
    if (id < 0 || index.column() != 0)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return hexId(id);
    case Qt::DecorationRole: {
        const QPixmap thumbnail = m_cache->thumbnail(m_kind, id);
        return thumbnail.isNull() ? placeholder() : thumbnail;
    }
    case Qt::ToolTipRole: {
        const tile_struct* tile = tileOf(id);
        return tile && !tile->name.isEmpty() ? QVariant(tile->name) : QVariant();
    }
    case IdRole:
        return id;
    case EditedRole:
        return m_edited.contains(id);
    case AnimatedRole: {
        if (m_kind != qm::Static)
            return false;
        const tile_struct* tile = tileOf(id);
        return tile && (tile->flags & qm::kAnimatedFlag) != 0;
    }
    default:
        return QVariant();
    }
}

bool CatalogueGridModel::passes(int id) const
{
    return m_filter.isEmpty() || m_filter.matches(id, tileOf(id));
}

const tile_struct* CatalogueGridModel::tileOf(int id) const
{
    if (!hasTileData(m_kind))
        return nullptr;
    if (m_lookup) {
        m_looked = m_lookup(id);
        return &m_looked;
    }
    // Ids past the records read are empty records, as the file reader treats them.
    static const tile_struct empty;
    return id >= 0 && id < m_tiles.size() ? &m_tiles[id] : &empty;
}

void CatalogueGridModel::refilter(int id)
{
    const bool shown = containsId(m_shown, id);
    const bool wanted = containsId(m_ids, id) && passes(id);
    if (shown == wanted)
        return;
    const int row = int(lowerBound(m_shown, id) - m_shown.cbegin());
    if (wanted) {
        beginInsertRows(QModelIndex(), row, row);
        m_shown.insert(row, id);
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), row, row);
        m_shown.remove(row);
        endRemoveRows();
    }
    emit matchCountChanged(int(m_shown.size()), listedCount());
}

void CatalogueGridModel::thumbnailArrived(int kind, int id)
{
    if (kind != m_kind)
        return;
    const int row = rowOf(id);
    if (row >= 0)
        emit dataChanged(index(row), index(row), { Qt::DecorationRole });
}

QPixmap CatalogueGridModel::placeholder() const
{
    const int cell = m_cache->cellSize();
    if (m_placeholder.width() != cell) {
        // A faint frame the size of the cell, so the grid keeps its shape while pictures load.
        QPixmap p(cell, cell);
        p.fill(Qt::transparent);
        QPainter painter(&p);
        painter.setPen(QColor(0, 0, 0, 40));
        painter.drawRect(QRect(4, 4, cell - 9, cell - 9));
        painter.end();
        m_placeholder = p;
    }
    return m_placeholder;
}
