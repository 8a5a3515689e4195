#include "picturesnapshot.h"

#include "recordsource.h"

namespace qm {

PictureSnapshot::PictureSnapshot(Sources sources, const ChangeSet& changes)
    : m_sources(std::move(sources))
{
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        m_images[kind] = changes.images[kind];
        m_emptied[kind] = changes.emptied[kind];
    }
}

QImage PictureSnapshot::picture(ItemKind kind, int id) const
{
    if (!isValidKind(kind) || id < 0 || m_emptied[kind].contains(id))
        return QImage();
    const auto edited = m_images[kind].constFind(id);
    if (edited != m_images[kind].constEnd())
        return *edited;
    if (kind == Land && id >= kLandCount)
        return QImage();
    if (kind == Static && id >= kStaticCount)
        return QImage();
    const RecordSource* source = m_sources[kind].get();
    // The decoded image owns its pixels, so it outlives the map.
    return source ? source->decode(id) : QImage();
}

} // namespace qm
