#pragma once

#include "changeset.h"
#include "itemkind.h"

#include <QImage>

#include <array>
#include <memory>

namespace qm {

class HuePreview;
class RecordSource;
enum class HueMode;

// The pictures of a session at one moment, for threads that decode thumbnails: the
// catalogues' files as the session opened them plus the edited and emptied pictures of that
// moment. Never changed after it is built, so any thread may read it without a lock; the
// session hands out a new one after every change.
class PictureSnapshot {
public:
    using Sources = std::array<std::shared_ptr<const RecordSource>, kItemKindCount>;

    PictureSnapshot() = default;
    PictureSnapshot(Sources sources, const ChangeSet& changes);

    // What the session served for the item when the snapshot was taken: the edited picture,
    // none for an emptied item, else the stored one decoded.
    QImage picture(ItemKind kind, int id) const;
    // The same picture drawn with a hue: a stored one hued while it is decoded, an edited
    // one hued after.
    QImage huedPicture(ItemKind kind, int id, const HuePreview& hue, HueMode mode) const;

private:
    QImage huedPicture(ItemKind kind, int id, const HuePreview* hue, HueMode mode) const;

    Sources m_sources;
    // Copies of the change set's pictures (Qt's containers and images share their data).
    QMap<int, QImage> m_images[kItemKindCount];
    QSet<int> m_emptied[kItemKindCount];
};

} // namespace qm
