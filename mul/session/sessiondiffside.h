#pragma once

#include "changeset.h"
#include "directoryview.h"
#include "picturesnapshot.h"

#include <QSet>

#include <memory>

namespace qm {

class EditSession;

// An edit session as one side of a comparison: what the session serves at the moment the side
// is built. Unedited items answer with the stored bytes of the session's directory (so equal
// records need no decoding); edited ones with their picture, tile and animation records.
// Built on the session's thread, it keeps copies of everything it needs (the picture snapshot,
// the edited records, the listing), so a worker thread may compare it while the user goes on
// editing.
class SessionDiffSide : public DiffSide {
public:
    explicit SessionDiffSide(const EditSession& session);

    bool isOpen() const { return m_files.isOpen(); }
    QString errorString() const { return m_files.errorString(); }

    QString directory() const override { return m_files.directory(); }
    QString sideWarning() const override { return m_files.sideWarning(); }
    QVector<int> listedIds(int kind) const override;
    QString catalogueUnreadable(int kind) const override { return m_files.catalogueUnreadable(kind); }
    QString catalogueWarning(int kind) const override { return m_files.catalogueWarning(kind); }
    bool recordBytes(int kind, int id, QByteArray* bytes, quint32* extra, QString* error) const override;
    QImage picture(int kind, int id, QString* error) const override;
    bool tileRecord(int kind, int id, tile_struct* tile, bool* present, QString* error) const override;
    QByteArray storedTileRecord(int kind, int id, int* flagsBytes) const override;
    bool animRecord(int id, QByteArray* bytes, bool* present, QString* error) const override;

private:
    bool pictureEdited(int kind, int id) const;

    DirectoryView m_files;
    std::shared_ptr<const PictureSnapshot> m_pictures;
    ChangeSet m_changes;
    QVector<int> m_listed[kItemKindCount];
};

} // namespace qm
