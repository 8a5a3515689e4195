#pragma once

#include "itemkind.h"

#include <QImage>
#include <QMap>
#include <QMutex>
#include <QString>

// The pictures the thumbnail grid shows, for decoder threads: what the session serves, read
// without touching the session. Edited pictures are copies handed over on the GUI thread;
// everything else is read from the data files, which every call opens for itself.
class ThumbnailSource {
public:
    // A newly opened directory: no edited pictures.
    void reset(const QString& mulDir);
    // The change set's picture of an item (a null image: emptied), or none: the files'.
    void setEdited(int kind, int id, const QImage& picture);
    void clearEdited(int kind, int id);

    // Safe on any thread.
    QImage picture(int kind, int id) const;

private:
    mutable QMutex m_lock;
    QString m_dir;
    QMap<int, QImage> m_edited[qm::kItemKindCount];
};
