#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QThreadPool>
#include <QVector>

#include <functional>

// Pictures of catalogue items, shrunk to fit a square cell, decoded off the GUI thread and
// kept in a cache bounded by bytes that drops the least recently used first.
//
// Only what is asked for is decoded: thumbnail() answers at once, from the cache or with
// a null pixmap, and in the latter case queues a decode; thumbnailReady() says when it
// has arrived. The queue keeps the most recent requests (the cells in view when a grid is
// scrolled fast), drops the oldest beyond a bound, and decodes newest first.
class ThumbnailCache : public QObject {
    Q_OBJECT

public:
    // The full-size picture of an item, or a null image. Called on worker threads, so it
    // must be safe to call from several at once.
    using Decoder = std::function<QImage(int kind, int id)>;

    static constexpr qint64 kDefaultByteLimit = qint64(64) << 20;

    explicit ThumbnailCache(Decoder decoder, QObject* parent = nullptr);
    ~ThumbnailCache() override;   // waits for decodes in progress; their results are dropped

    // The cached thumbnail; null when not ready, and then a decode is queued (once).
    QPixmap thumbnail(int kind, int id);
    bool contains(int kind, int id) const;

    // Longest side of a thumbnail, 32..256; smaller pictures are kept as they are. A change
    // empties the cache.
    void setCellSize(int pixels);
    int cellSize() const { return m_cellSize; }

    void setByteLimit(qint64 bytes);
    qint64 byteLimit() const { return m_cache.maxCost(); }
    qint64 bytesUsed() const { return m_cache.totalCost(); }

    // Requests beyond this many are dropped oldest first.
    void setQueueLimit(int requests) { m_queueLimit = std::max(1, requests); }
    int queuedCount() const { return int(m_queue.size()); }
    int runningCount() const { return m_running; }

    // Forgets an item's thumbnail (its picture was edited) or all of them (the catalogue was
    // reloaded); decodes in progress for them are dropped when they finish.
    void invalidate(int kind, int id);
    void clear();
    // Drops the queued requests, e.g. when the view shows another catalogue.
    void cancelQueued() { m_queue.clear(); m_queued.clear(); }

    // Blocks until the queue is empty and no decode is running: for tests and benchmarks.
    void waitUntilIdle();

    // The picture shrunk to fit `cell` x `cell`, aspect kept; unchanged when it fits already.
    static QImage fitToCell(const QImage& picture, int cell);

signals:
    void thumbnailReady(int kind, int id);

private:
    using Key = quint64;
    static Key keyOf(int kind, int id) { return (quint64(quint32(kind)) << 32) | quint32(id); }
    struct Generation {
        quint64 all;
        quint64 item;
    };
    void startDecodes();
    void deliver(Key key, Generation generation, QImage image);

    Decoder m_decoder;
    QThreadPool m_pool;
    QCache<Key, QPixmap> m_cache;
    QVector<Key> m_queue;            // newest last
    QHash<Key, bool> m_queued;       // also holds keys being decoded
    QHash<Key, quint64> m_itemGeneration;   // bumped by invalidate()
    quint64 m_generation = 0;        // bumped by clear() and setCellSize()
    int m_cellSize = 64;
    int m_running = 0;
    int m_queueLimit = 512;
};
