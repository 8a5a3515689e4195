#pragma once

#include "changeset.h"
#include "hues.h"
#include "indexfile.h"
#include "itemkind.h"
#include "itemstate.h"
#include "picturesnapshot.h"
#include "records.h"
#include "recordsource.h"
#include "rewrite.h"
#include "savestages.h"
#include "sessionhistory.h"
#include "storedtiledata.h"
#include "tiledata.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <set>

namespace qm {

// One data directory opened for editing: its catalogues (which ids are listed, which free),
// the change set of applied edits, what may be written (read-only catalogues, the tile data
// state), the index files as they were read, and the undo history. Its methods are the only
// way to change any of it; the editor's windows and qmtool are views and callers.
//
// Every edit is one undo step, or part of the step a caller opened with beginStep(). An edit
// the files could not take (a read-only catalogue, an id out of range, a picture the encoder
// refuses) is refused with a sentence for the user, and nothing changes.
class EditSession : public QObject {
    Q_OBJECT

public:
    explicit EditSession(QObject* parent = nullptr);
    ~EditSession() override;

    // What opening a directory met, for the user: an interrupted save finished or undone,
    // one that could not be, and files that limit editing (unreadable or damaged indexes,
    // tile data of a layout this program cannot write).
    struct OpenReport {
        QStringList recovered;
        QString recoveryError;
        QString tileDataWarning;
        QStringList catalogueWarnings;   // one per read-only catalogue
    };

    // Finishes or undoes an interrupted save, reads the catalogues and empties the change set
    // and the history. Emits cataloguesReset().
    void open(const QString& mulDir, OpenReport* report = nullptr);
    const QString& directory() const { return m_dir; }

    // The catalogues.
    const QVector<int>& listed(ItemKind kind) const { return m_catalogues.listed[kind]; }
    bool isListed(ItemKind kind, int id) const { return m_catalogues.isListed(kind, id); }
    using FreeIdSets = FreeIds[kItemKindCount];
    const FreeIdSets& freeIdSets() const { return m_catalogues.free; }
    // A read-only catalogue keeps its files as they are: edits to it are refused and Save
    // leaves its index and data file alone. The reason names the file.
    bool isReadOnly(ItemKind kind) const { return !m_readOnly[kind].isEmpty(); }
    QString readOnlyReason(ItemKind kind) const { return m_readOnly[kind]; }
    TileDataState tileDataState() const { return m_tileState; }
    // Whether the catalogue was read from its classic pair or from a package.
    CatalogueForm form(ItemKind kind) const { return m_forms[kind]; }
    // "art: package (81920 entries), gumps: classic pair, ..." for the status bar.
    QString formsSummary() const;
    bool tileDataWritable() const { return m_tileState == TileDataState::Writable; }
    // The layout of tiledata.mul as it was opened: Unknown when it is missing or of a size
    // that fits neither layout. Only the wide layout holds flag bits past the low 32.
    TileLayout tileDataLayout() const { return m_tileLayout; }
    // Why Save cannot write tile records; empty when it can.
    QString tileDataReason() const;

    // What an item is now: the change set's entry where it holds one, else the files.
    const ChangeSet& changes() const { return m_changes; }
    // Null for an item without a picture, an emptied one among them.
    QImage image(ItemKind kind, int id) const;
    tile_struct tile(ItemKind kind, int id) const;
    anim_st anim(int id) const;
    // The tile name as image() and tile() are served (the edited record where there is one).
    QString tileName(ItemKind kind, int id) const { return tile(kind, id).name; }
    // Every tile record of a kind (land or static), indexed by id, edited ones as edited:
    // for filters and name columns over a whole catalogue. Empty for other kinds.
    QVector<tile_struct> tileRecords(ItemKind kind) const;
    // A tile record's bytes as tiledata.mul holds them (empty where it holds none); the
    // edited record is not in it.
    QByteArray storedTileBytes(ItemKind kind, int id) const;

    // Whether the change set holds anything of the item (picture, tile or animation record).
    bool isEdited(ItemKind kind, int id) const;
    // The edited items of a kind, ascending.
    QVector<int> editedIds(ItemKind kind) const;
    // Whether the user removed the item's picture (Save writes the entry empty).
    bool isEmptied(ItemKind kind, int id) const { return isValidKind(kind) && m_changes.emptied[kind].contains(id); }

    // The pictures as they are now, for other threads; cheap, and safe to call from any
    // thread. A new snapshot follows every finished step, undo, redo, open and save (edits
    // inside an open step show once it ends); one taken never changes.
    std::shared_ptr<const PictureSnapshot> pictureSnapshot() const;

    // The directory's hues as hues.mul holds them (edits not applied); a missing file gives
    // no hues.
    const HueFile& hues() const;
    // The same file with the applied, unsaved hue edits in it: what previews draw with.
    HueFile currentHues() const;

    // The edits. `name` of beginStep names the step in the Undo menu; empty: named after
    // the edits it holds. A null image is never an edit: setImage refuses it; removing a
    // picture is emptyImage.
    bool setImage(ItemKind kind, int id, const QImage& image, QString* error = nullptr);
    // Removes the item's picture: it reads as empty and Save writes its entry empty.
    bool emptyImage(ItemKind kind, int id, QString* error = nullptr);
    bool setTile(ItemKind kind, int id, const tile_struct& tile, QString* error = nullptr);
    bool setAnim(int id, const anim_st& anim, QString* error = nullptr);
    // Lists a free id as a new, empty entry ("New").
    bool insert(ItemKind kind, int id, QString* error = nullptr);
    // Unlists entries and drops their images and tile records; animation records stay.
    bool remove(ItemKind kind, const QVector<int>& ids, QString* error = nullptr);
    // Lists the item and stores everything it carries at once (a patch import). Tile and
    // animation records only where the kind has them. `picture` says what becomes of the
    // picture: a new one, none (a patch without one empties the item), or the stored one.
    bool storeItem(ItemKind kind, int id, const PictureEdit& picture, const tile_struct& tile, const anim_st& anim,
                   const QString& stepName, QString* error = nullptr);
    // Steps nest: the edits between the outermost beginStep and its endStep are one step.
    void beginStep(const QString& name = QString());
    void endStep();
    // Ends the open step (all its levels) by putting every item it touched back to its state
    // before the step; nothing goes on the history, so Undo and Redo are as before the step.
    void abandonStep();

    // The hues of hues.mul, numbered 1 to hueCount(): the edited entry where there is one.
    // A missing file holds no hues; a damaged one shows its whole groups read-only.
    int hueCount() const { return m_hueFile.count(); }
    HueEntry hue(int number) const;
    bool huesPresent() const { return m_hueFile.present; }
    // Why no hue can be changed (the file missing, damaged or unreadable, named); empty when
    // hues can be edited.
    QString huesReadOnlyReason() const;
    // A line for the Hues tab and the status of the file: missing, damaged or how many.
    QString huesStatus() const;
    // Sets hue `number` to `entry` as one undo step ("Change Hue 5"). Refused, nothing
    // changed, for a number outside 1..count, a changed colour above 0x7FFF, a name that is
    // not 20 bytes, or a read-only file. Setting the entry it has already changes nothing.
    bool setHue(int number, const HueEntry& entry, QString* error = nullptr);
    bool isHueEdited(int number) const { return m_hueEdits.contains(number); }
    QVector<int> editedHues() const { return m_hueEdits.keys().toVector(); }

    // Whether the files could take an edit of this item; false with the sentence refusing it.
    bool canEditItem(ItemKind kind, int id, QString* error) const;

    // The history. The texts name the step ("Replace Picture of Land 0x2"); empty when there
    // is none.
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();
    // Edits not yet saved: the history is away from the point of the last save or open.
    bool isModified() const { return !m_history.isClean(); }

    // What reloadAndReplay did with the unsaved steps: the names of those replayed, and a
    // sentence for each one kept out ("New Gump 0x9: Gump 0x9 was listed by another program").
    struct ReplayReport {
        QStringList replayed;
        QStringList refused;
    };
    // Reads the directory anew, as open() does, and replays the steps made since the last
    // save or open on top of it, in order, each as one step again (an undo past the save
    // replays as "Undo ..."). A step that cannot be replayed (an id now taken or missing, a
    // catalogue now read-only, a picture refused) is kept out whole and named in `report`.
    // False with `error`, and nothing changed, when the history no longer reaches back to the
    // last save or a step or save is open.
    bool reloadAndReplay(ReplayReport* report, QString* error);

    // Everything Save needs to know about the index files as they were read: the lists must
    // still describe them, or another program changed them in between.
    QStringList staleIndexFiles() const;

    // Save: every stage of saveStages() into one transaction.
    // A stale list fails the save, naming the files, unless `reapply` is given: it then runs
    // on the directory read again under the save lock (the session emptied first) and the
    // save goes on with what it stages. On success the change set's written maps are empty,
    // the history is marked saved, and saved() follows itemChanged() of every item whose
    // edits were written.
    using Reapply = std::function<bool(EditSession&, QString* error)>;
    bool save(QString* error, QStringList* notes = nullptr, const Reapply& reapply = {});

    // Save one stage at a time, for a window that shows each (SessionSave runs these):
    // beginSave takes the lock and checks as save() does, saveStage writes one stage into the
    // transaction, commitSave swaps it in, cancelSave drops it (no file changes). One save at
    // a time.
    bool beginSave(QString* error, const Reapply& reapply = {});
    bool saveStage(SaveStage stage, QString* error, QStringList* notes = nullptr);
    bool commitSave(QString* error);
    void cancelSave();
    bool isSaving() const { return m_saving != nullptr; }

signals:
    void itemListed(qm::ItemKind kind, int id);
    void itemUnlisted(qm::ItemKind kind, int id);
    // The item's image, tile record or animation record as the session serves it changed;
    // `parts` is a set of ItemPart bits.
    void itemChanged(qm::ItemKind kind, int id, int parts);
    // Every catalogue was read again (open): views rebuild their lists.
    void cataloguesReset();
    void modifiedChanged(bool modified);
    // canUndo, canRedo, undoText or redoText may answer otherwise now.
    void historyChanged();
    // A save went through: the files hold what the session served.
    void saved();
    // Hue `number` as hue() serves it changed.
    void hueChanged(int number);

private:
    // The step being gathered: the items' states before its first edit.
    struct PendingStep {
        QString name;
        QStringList names;
        QMap<ItemKey, ItemState> before;
        QMap<int, std::optional<HueEntry>> huesBefore;
        int depth = 1;
    };

    void reload();
    void readDirectory();
    // Opens the catalogues' record sources anew (the files changed or were opened).
    void openSources();
    void takeSnapshot();
    ItemState stateOf(const ItemKey& key) const;
    void applyState(const ItemKey& key, const ItemState& state);
    void applyStep(const ItemStep& step, bool forward);
    // Moves the item from `before` to `after` on top of what it is now; false with why not
    // when the directory no longer allows it.
    bool replayItem(const ItemKey& key, const ItemState& before, const ItemState& after, QString* why);
    // Runs `move` on the history and announces what it changed.
    void moveHistory(const std::function<void()>& move);
    // The change set after a save emptied what it wrote: every item whose edits went is
    // announced.
    void forgetWritten(const Rewrite::Written& written);
    bool change(const ItemKey& key, const QString& name, const std::function<void(ItemState&)>& edit);
    bool checkImage(ItemKind kind, int id, const QImage& image, QString* error) const;
    bool checkTileFlags(ItemKind kind, int id, const tile_struct& tile, QString* error) const;
    // After a save: history entries that meant "as the files hold it" keep meaning what the
    // files held before the save, so undoing past it restores that.
    void pinHistoryToFiles(const QMap<ItemKey, ItemState>& filesBefore);
    QMap<ItemKey, ItemState> historyFromFiles() const;
    void markSaved();
    void readHues();
    void applyHueState(int number, const std::optional<HueEntry>& state);
    std::optional<HueEntry> hueState(int number) const;

    QString m_dir;
    Catalogues m_catalogues;
    ChangeSet m_changes;
    QString m_readOnly[kItemKindCount];
    FileStamp m_stamps[kItemKindCount];
    CatalogueForm m_forms[kItemKindCount] {};
    TileDataState m_tileState = TileDataState::Missing;
    qint64 m_tileDataSize = -1;
    TileLayout m_tileLayout = TileLayout::Unknown;
    SessionHistory m_history;
    std::unique_ptr<PendingStep> m_pending;
    std::unique_ptr<Rewrite> m_saving;   // the save between beginSave and its end
    StoredTileData m_storedTiles;
    HueFile m_hueFile;                  // as read: the stored hues
    QMap<int, HueEntry> m_hueEdits;     // applied, not yet saved
    FileStamp m_hueStamp;
    PictureSnapshot::Sources m_sources;
    mutable QMutex m_snapshotLock;   // guards the pointer only, never a decode
    std::shared_ptr<const PictureSnapshot> m_snapshot;
};

} // namespace qm
