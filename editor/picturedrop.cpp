#include "picturedrop.h"

#include "cataloguegridmodel.h"
#include "itemkind.h"

#include <QAbstractItemView>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

QString droppedPictureFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return QString();
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    return urls.first().toLocalFile();
}

namespace {

int defaultIdOf(const QModelIndex& index)
{
    const QVariant role = index.data(CatalogueGridModel::IdRole);
    if (role.isValid())
        return role.toInt();
    bool ok = false;
    const qint64 id = qm::parseTypedNumber(index.siblingAtColumn(0).data().toString(), &ok);
    return ok && id >= 0 && id <= INT_MAX ? int(id) : -1;
}

} // namespace

PictureDropTarget::PictureDropTarget(QAbstractItemView* view, int kind, IdOfIndex idOf)
    : QObject(view)
    , m_view(view)
    , m_kind(kind)
    , m_viewport(view->viewport())
    , m_idOf(idOf ? std::move(idOf) : IdOfIndex(defaultIdOf))
{
    m_viewport->setAcceptDrops(true);
    m_viewport->installEventFilter(this);
}

int PictureDropTarget::idAt(const QPoint& viewportPos) const
{
    const QModelIndex index = m_view->indexAt(viewportPos);
    return index.isValid() ? m_idOf(index) : -1;
}

bool PictureDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    // Compared with the pointer kept, not asked of the view: the viewport still has events
    // while the view around it is being destroyed.
    if (watched != m_viewport)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // Accepted over an item only, so the cursor tells the user where a drop would land.
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const bool usable = !droppedPictureFile(drag->mimeData()).isEmpty() && idAt(drag->position().toPoint()) >= 0;
        if (usable) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedPictureFile(drop->mimeData());
        const int id = idAt(drop->position().toPoint());
        if (path.isEmpty() || id < 0) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        emit pictureDropped(m_kind, id, path);
        return true;
    }
    default:
        return false;
    }
}
