#include "picturesnapshot.h"

#include "huepreview.h"
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
    return huedPicture(kind, id, nullptr, HueMode::Full);
}

QImage PictureSnapshot::huedPicture(ItemKind kind, int id, const HuePreview& hue, HueMode mode) const
{
    return huedPicture(kind, id, &hue, mode);
}

QImage PictureSnapshot::huedPicture(ItemKind kind, int id, const HuePreview* hue, HueMode mode) const
{
    if (!isValidKind(kind) || id < 0 || m_emptied[kind].contains(id))
        return QImage();
    const auto edited = m_images[kind].constFind(id);
    if (edited != m_images[kind].constEnd())
        return hue ? hue->table(mode).apply(*edited) : *edited;
    if (kind == Land && id >= kLandCount)
        return QImage();
    if (kind == Static && id >= kStaticCount)
        return QImage();
    const RecordSource* source = m_sources[kind].get();
    // The decoded image owns its pixels, so it outlives the map.
    if (!source)
        return QImage();
    return hue ? source->decodeColored(id, hue->colors(mode)) : source->decode(id);
}

} // namespace qm
