#include "thumbnailcache.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

ThumbnailCache::ThumbnailCache(Decoder decoder, QObject* parent)
    : QObject(parent)
    , m_decoder(std::move(decoder))
    , m_cache(kDefaultByteLimit)
{
    // One thread is left to the GUI on small machines.
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

ThumbnailCache::~ThumbnailCache()
{
    cancelQueued();
    m_pool.waitForDone();
}

QPixmap ThumbnailCache::thumbnail(int kind, int id)
{
    const Key key = keyOf(kind, id);
    if (const QPixmap* found = m_cache.object(key))   // marks it most recently used
        return *found;
    if (!m_queued.contains(key)) {
        m_queued.insert(key, true);
        m_queue.append(key);
        if (m_queue.size() > m_queueLimit) {
            m_queued.remove(m_queue.first());
            m_queue.removeFirst();
        }
        startDecodes();
    }
    return QPixmap();
}

bool ThumbnailCache::contains(int kind, int id) const
{
    return m_cache.contains(keyOf(kind, id));
}

void ThumbnailCache::setCellSize(int pixels)
{
    pixels = std::clamp(pixels, 32, 256);
    if (pixels == m_cellSize)
        return;
    m_cellSize = pixels;
    clear();
}

void ThumbnailCache::setByteLimit(qint64 bytes)
{
    m_cache.setMaxCost(qsizetype(std::max<qint64>(bytes, 0)));
}

void ThumbnailCache::invalidate(int kind, int id)
{
    const Key key = keyOf(kind, id);
    m_cache.remove(key);
    ++m_itemGeneration[key];
    if (m_queued.contains(key) && !m_queue.contains(key))
        m_queued.remove(key);   // running: its result will be dropped, a new request decodes again
}

void ThumbnailCache::clear()
{
    ++m_generation;
    m_cache.clear();
    cancelQueued();
}

void ThumbnailCache::waitUntilIdle()
{
    while (m_running > 0 || !m_queue.isEmpty()) {
        m_pool.waitForDone(5);
        QCoreApplication::sendPostedEvents(this);
    }
}

QImage ThumbnailCache::fitToCell(const QImage& picture, int cell)
{
    if (picture.isNull() || (picture.width() <= cell && picture.height() <= cell))
        return picture;
    return picture.scaled(cell, cell, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void ThumbnailCache::startDecodes()
{
    while (m_running < m_pool.maxThreadCount() && !m_queue.isEmpty()) {
        const Key key = m_queue.takeLast();   // newest first: what the view shows now
        const int kind = int(key >> 32);
        const int id = int(quint32(key));
        // The generations travel with the job, so a result made stale meanwhile is dropped.
        const Generation generation { m_generation, m_itemGeneration.value(key) };
        const int cell = m_cellSize;
        ++m_running;
        m_pool.start([this, decoder = m_decoder, key, kind, id, generation, cell] {
            // Shrunk and brought to the format pixmaps are painted from here, so the GUI thread
            // only wraps the finished pixels.
            QImage image = fitToCell(decoder(kind, id), cell);
            if (!image.isNull())
                image.convertTo(QImage::Format_ARGB32_Premultiplied);
            QMetaObject::invokeMethod(
                this, [this, key, generation, image = std::move(image)]() mutable {
                    deliver(key, generation, std::move(image));
                },
                Qt::QueuedConnection);
        });
    }
}

void ThumbnailCache::deliver(Key key, Generation generation, QImage image)
{
    --m_running;
    if (generation.all == m_generation && generation.item == m_itemGeneration.value(key)) {
        m_queued.remove(key);
        m_queue.removeOne(key);
        // An item without a picture still gets an entry, so it is not decoded again and again.
        const qint64 bytes = std::max<qint64>(64, qint64(image.sizeInBytes()));
        QPixmap* pixmap = new QPixmap(QPixmap::fromImage(std::move(image)));   // takes the pixels, no copy
        m_cache.insert(key, pixmap, qsizetype(bytes));
        emit thumbnailReady(int(key >> 32), int(quint32(key)));
    }
    startDecodes();
}
