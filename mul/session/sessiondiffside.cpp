#include "sessiondiffside.h"

#include "animdata.h"
#include "editsession.h"

#include <algorithm>

namespace qm {

SessionDiffSide::SessionDiffSide(const EditSession& session)
    : m_files(session.directory())
    , m_pictures(session.pictureSnapshot())
    , m_changes(session.changes())
{
    for (int kind = 0; kind < kItemKindCount; ++kind) {
        // The files' listing as the session serves it: deleted and emptied entries out, new
        // pictures in. An entry listed without a picture shows nothing, as an empty one.
        QVector<int> ids;
        for (int id : m_files.listedIds(kind))
            if (session.isListed(ItemKind(kind), id) && !m_changes.emptied[kind].contains(id)
                && !m_changes.images[kind].contains(id))
                ids.append(id);
        for (auto it = m_changes.images[kind].keyBegin(); it != m_changes.images[kind].keyEnd(); ++it)
            if (session.isListed(ItemKind(kind), *it))
                ids.append(*it);
        std::sort(ids.begin(), ids.end());
        m_listed[kind] = ids;
    }
}

QVector<int> SessionDiffSide::listedIds(int kind) const
{
    return isValidKind(kind) ? m_listed[kind] : QVector<int>();
}

bool SessionDiffSide::pictureEdited(int kind, int id) const
{
    return m_changes.images[kind].contains(id) || m_changes.emptied[kind].contains(id);
}

bool SessionDiffSide::recordBytes(int kind, int id, QByteArray* bytes, quint32* extra, QString* error) const
{
    if (pictureEdited(kind, id)) {
        // No stored form yet: the engine compares it by its picture.
        *bytes = QByteArray();
        *extra = 0;
        return true;
    }
    return m_files.recordBytes(kind, id, bytes, extra, error);
}

QImage SessionDiffSide::picture(int kind, int id, QString* error) const
{
    if (pictureEdited(kind, id))
        return m_pictures->picture(ItemKind(kind), id).convertToFormat(QImage::Format_ARGB32);
    return m_files.picture(kind, id, error);
}

bool SessionDiffSide::tileRecord(int kind, int id, tile_struct* tile, bool* present, QString* error) const
{
    if (hasTileData(kind)) {
        const auto it = m_changes.tiles[kind].constFind(id);
        if (it != m_changes.tiles[kind].constEnd()) {
            *tile = *it;
            *present = true;
            return true;
        }
    }
    return m_files.tileRecord(kind, id, tile, present, error);
}

QByteArray SessionDiffSide::storedTileRecord(int kind, int id, int* flagsBytes) const
{
    if (hasTileData(kind) && m_changes.tiles[kind].contains(id)) {
        *flagsBytes = 0;
        return QByteArray();
    }
    return m_files.storedTileRecord(kind, id, flagsBytes);
}

bool SessionDiffSide::animRecord(int id, QByteArray* bytes, bool* present, QString* error) const
{
    const auto it = m_changes.animEntries.constFind(id);
    if (it != m_changes.animEntries.constEnd()) {
        *bytes = animBytes(*it);
        *present = true;
        return true;
    }
    return m_files.animRecord(id, bytes, present, error);
}

} // namespace qm
