#pragma once

#include "itemkind.h"

#include <QVector>

// What a command acting on "the current catalogue" needs to know of the browsing views: which
// catalogue the user is looking at and what is selected or shown there, and a way to point
// at an item afterwards.
class CatalogueSelection {
public:
    virtual ~CatalogueSelection() = default;

    virtual qm::ItemKind currentKind() const = 0;
    // The selected ids of the current catalogue, ascending.
    virtual QVector<int> selectedIds() const = 0;
    // Every id the current catalogue shows (a filter hides the others), ascending.
    virtual QVector<int> shownIds() const = 0;
    // Makes `id` of `kind` the only selected item and scrolls to it; false when not shown.
    virtual bool selectOnly(qm::ItemKind kind, int id) = 0;
};
