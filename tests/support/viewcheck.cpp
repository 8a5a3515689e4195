#include "viewcheck.h"

#include "cataloguefilterbox.h"
#include "cataloguegridmodel.h"
#include "cataloguepane.h"
#include "imageview.h"
#include "mainwindow.h"
#include "mywidget.h"
#include "thumbnailcache.h"

#include <QCoreApplication>
#include <QFont>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeView>

using namespace qm;

namespace {

// Premultiplied, as a pixmap holds it: the thumbnails went through one.
QImage comparable(const QImage& image)
{
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void checkList(mainwindow& w, ItemKind kind, QStringList* out)
{
    EditSession& session = *w.editSession();
    const QTreeView* list = w.listForKind(kind);
    const QAbstractItemModel* model = list->model();
    const CatalogueFilter filter = w.paneForKind(kind)->filterBox()->filter();
    QStringList expected, shown;
    for (int id : session.listed(kind)) {
        const tile_struct tile = hasTileData(kind) ? session.tile(kind, id) : tile_struct();
        if (filter.matches(id, hasTileData(kind) ? &tile : nullptr))
            expected << hexId(id);
    }
    for (int row = 0; row < model->rowCount(); ++row)
        shown << model->index(row, 0).data().toString();
    std::sort(expected.begin(), expected.end());
    std::sort(shown.begin(), shown.end());
    if (shown != expected)
        *out << QStringLiteral("%1 list shows %2, the session %3").arg(kindName(kind), shown.join(' '), expected.join(' '));

    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        const int id = index.data(CatalogueGridModel::IdRole).toInt();
        const bool marked = index.data(Qt::FontRole).value<QFont>().bold();
        if (marked != session.isEdited(kind, id))
            *out << QStringLiteral("%1 is %2marked as edited").arg(itemName(kind, id), marked ? "" : "not ");
        if (hasTileData(kind)) {
            const QString name = model->index(row, 1).data().toString();
            if (name != session.tile(kind, id).name)
                *out << QStringLiteral("%1 is named %2 in the list, %3 in the session")
                            .arg(itemName(kind, id), name, session.tile(kind, id).name);
        }
    }
}

void checkGrid(mainwindow& w, ItemKind kind, QStringList* out)
{
    EditSession& session = *w.editSession();
    CatalogueGridModel* model = w.paneForKind(kind)->model();
    ThumbnailCache* cache = w.thumbnails();
    for (int row = 0; row < model->rowCount(); ++row)
        model->index(row).data(Qt::DecorationRole);   // as the grid asks when the cell shows
    cache->waitUntilIdle();
    QCoreApplication::processEvents();   // the decoded pictures arrive as events
    for (int row = 0; row < model->rowCount(); ++row) {
        const int id = model->idAt(row);
        const QImage shown = comparable(cache->thumbnail(kind, id).toImage());
        const QImage expected = comparable(ThumbnailCache::fitToCell(session.image(kind, id), cache->cellSize()));
        if (shown != expected)
            *out << QStringLiteral("the grid cell of %1 shows another picture (%2x%3, the session's %4x%5)")
                        .arg(itemName(kind, id))
                        .arg(shown.width()).arg(shown.height())
                        .arg(expected.width()).arg(expected.height());
    }
}

void checkItemWindows(mainwindow& w, QStringList* out)
{
    EditSession& session = *w.editSession();
    for (QMdiSubWindow* frame : w.workspace->subWindowList()) {
        auto* editor = qobject_cast<myWidget*>(frame->widget());
        if (!editor || editor->hasUnappliedEdits())
            continue;
        const ItemKind kind = ItemKind(editor->kind());
        const int id = editor->itemId();
        const auto* picture = editor->findChild<ImageView*>(QStringLiteral("pixImage"));
        if (picture && comparable(picture->shownImage()) != comparable(session.image(kind, id)))
            *out << QStringLiteral("the item window of %1 shows another picture").arg(itemName(kind, id));
        const auto* name = editor->findChild<QLineEdit*>(QStringLiteral("lineName"));
        if (hasTileData(kind) && name && name->text() != session.tile(kind, id).name)
            *out << QStringLiteral("the item window of %1 shows the name %2").arg(itemName(kind, id), name->text());
    }
}

} // namespace

QStringList viewMismatches(mainwindow& w)
{
    QStringList out;
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        checkList(w, ItemKind(kind), &out);
        checkGrid(w, ItemKind(kind), &out);
    }
    checkItemWindows(w, &out);
    return out;
}
