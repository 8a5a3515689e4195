#pragma once

#include "cataloguefilter.h"
#include "records.h"

#include <QAbstractListModel>
#include <QPixmap>
#include <QSet>
#include <QVector>

#include <functional>

class ThumbnailCache;

// The listed items of one catalogue as rows for a list or grid view: the id as text, the
// thumbnail (a placeholder until the cache has it), the tile name as tool tip, and whether
// the change set holds an edit. Only the items passing the filter are rows; the id list
// and the edits come from whoever owns the catalogue.
class CatalogueGridModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        IdRole = Qt::UserRole + 1,   // int
        EditedRole,                  // bool: the change set holds an edit of the item
        AnimatedRole,                // bool: a static whose tile data has the Animated flag
    };

    CatalogueGridModel(int kind, ThumbnailCache* cache, QObject* parent = nullptr);

    int kind() const { return m_kind; }
    ThumbnailCache* cache() const { return m_cache; }

    // The catalogue's listed ids, in any order (rows go by ascending id).
    void setIds(QVector<int> ids);
    // An item was listed (New, Undo of Delete) or unlisted (Delete): one row in or out.
    void insertId(int id);
    void removeId(int id);
    int listedCount() const { return int(m_ids.size()); }

    // Tile records by id (land and static) for the filter's name and flag conditions and
    // the tool tip; one record changed by an edit may move its item in or out. Either all of
    // them at once, or a lookup asked for one record when it is needed (nothing is read
    // before a row is shown or a filter asks); a lookup wins over records.
    using TileLookup = std::function<qm::tile_struct(int id)>;
    void setTileLookup(TileLookup lookup);
    void setTileRecords(QVector<qm::tile_struct> records);
    void setTileRecord(int id, const qm::tile_struct& record);
    // The item's tile name; empty for kinds without tile data.
    QString tileName(int id) const;

    // Items with an edit in the change set; a picture edit also drops the old thumbnail.
    void setEdited(int id, bool edited);
    void setEditedIds(const QSet<int>& ids);
    void pictureChanged(int id);

    void setFilter(const qm::CatalogueFilter& filter);
    const qm::CatalogueFilter& filter() const { return m_filter; }

    // Row <-> id of the rows shown; -1 when there is none.
    int idAt(int row) const;
    int rowOf(int id) const;
    const QVector<int>& shownIds() const { return m_shown; }

    // Asks the cache for rows first..last ahead of being shown (the margin around the view).
    void prefetch(int first, int last);
    // The cell size changed: placeholders are redrawn and every decoration is asked again.
    void cellSizeChanged();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

signals:
    void matchCountChanged(int shown, int listed);

private:
    bool passes(int id) const;
    void rebuildShown();   // the rows anew from the id list and the filter
    const qm::tile_struct* tileOf(int id) const;
    void refilter(int id);
    void thumbnailArrived(int kind, int id);
    QPixmap placeholder() const;

    int m_kind;
    ThumbnailCache* m_cache;
    QVector<int> m_ids;      // listed, ascending
    QVector<int> m_shown;    // passing the filter, ascending
    QVector<qm::tile_struct> m_tiles;
    TileLookup m_lookup;
    mutable qm::tile_struct m_looked;   // the last record the lookup gave
    QSet<int> m_edited;
    qm::CatalogueFilter m_filter;
    mutable QPixmap m_placeholder;
};
