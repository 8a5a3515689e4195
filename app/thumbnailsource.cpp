#include "thumbnailsource.h"

#include "itemsource.h"

#include <QMutexLocker>

using namespace qm;

void ThumbnailSource::reset(const QString& mulDir)
{
    QMutexLocker locker(&m_lock);
    m_dir = mulDir;
    for (auto& pictures : m_edited)
        pictures.clear();
}

void ThumbnailSource::setEdited(int kind, int id, const QImage& picture)
{
    if (!isValidKind(kind))
        return;
    QMutexLocker locker(&m_lock);
    m_edited[kind].insert(id, picture);
}

void ThumbnailSource::clearEdited(int kind, int id)
{
    if (!isValidKind(kind))
        return;
    QMutexLocker locker(&m_lock);
    m_edited[kind].remove(id);
}

QImage ThumbnailSource::picture(int kind, int id) const
{
    if (!isValidKind(kind))
        return QImage();
    QString dir;
    {
        QMutexLocker locker(&m_lock);
        const auto it = m_edited[kind].constFind(id);
        if (it != m_edited[kind].constEnd())
            return it.value();   // the copy shares its pixels; nobody writes to them
        dir = m_dir;
    }
    // Decoded outside the lock, so several threads decode at once.
    return readImageFromFiles(dir, ItemKind(kind), id);
}
