#pragma once

#include "diffside.h"
#include "indexfile.h"
#include "mappedfile.h"
#include "recordsource.h"
#include "tiledata.h"

#include <QFile>

#include <memory>

namespace qm {

// A second data directory, opened for reading only: its catalogues in whatever form holds
// them (classic pairs or packages), its tile data in either layout and its animation data.
// Nothing is ever written there, no save lock is taken and an interrupted save there is left
// as it is, so the directory may lie on a read-only medium or belong to another program. The
// files are mapped, not copied. Everything is read when the view is built; afterwards the
// view is safe to read from several threads.
class DirectoryView : public DiffSide {
public:
    explicit DirectoryView(const QString& dir);
    ~DirectoryView() override;

    // False when the directory is missing or cannot be listed; errorString says why.
    bool isOpen() const { return m_open; }
    QString errorString() const { return m_error; }

    CatalogueForm form(int kind) const { return m_forms[kind]; }
    TileLayout tileLayout() const { return m_tileLayout; }

    QString directory() const override { return m_dir; }
    QString sideWarning() const override;
    QVector<int> listedIds(int kind) const override;
    QString catalogueUnreadable(int kind) const override;
    QString catalogueWarning(int kind) const override;
    bool recordBytes(int kind, int id, QByteArray* bytes, quint32* extra, QString* error) const override;
    QImage picture(int kind, int id, QString* error) const override;
    bool tileRecord(int kind, int id, tile_struct* tile, bool* present, QString* error) const override;
    bool animRecord(int id, QByteArray* bytes, bool* present, QString* error) const override;
    // The stored bytes (26/37 or 30/41 of them); empty when there is none.
    QByteArray storedTileRecord(int kind, int id, int* flagsBytes) const override;

private:
    // A classic pair's index record of `id`, checked against its data file.
    bool pairRecord(int kind, int id, IndexRecord* record, QString* error) const;
    QString tileDataWarning() const;
    // Listing without the free ids a catalogue keeps for editing: a comparison needs none.
    void listPair(int kind);
    void listPackage(int kind);

    QString m_dir;
    bool m_open = false;
    QString m_error;
    // Per catalogue: the listed ids, why it could not be listed, what damage it shows.
    QVector<int> m_listed[kItemKindCount];
    QString m_unreadable[kItemKindCount];
    QString m_damage[kItemKindCount];
    CatalogueForm m_forms[kItemKindCount] {};
    // Land and static share the art pair: one map of each file serves both.
    std::shared_ptr<MappedFile> m_index[kItemKindCount];
    std::shared_ptr<ArtDataFile> m_data[kItemKindCount];
    std::unique_ptr<RecordSource> m_packages[kItemKindCount];
    std::unique_ptr<MappedFile> m_tiles;
    std::unique_ptr<MappedFile> m_anims;
    TileLayout m_tileLayout = TileLayout::Unknown;
};

} // namespace qm
