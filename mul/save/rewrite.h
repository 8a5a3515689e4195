#pragma once

#include "changeset.h"
#include "hues.h"
#include "itemkind.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

namespace qm {

// Writing the change set into the game's files: the four steps of the Save command and the
// whole sequence. Each step builds complete new files beside the old ones and swaps them in
// atomically (see savetransaction.h), so on any failure the old files stay byte for byte as
// they were. The change set is only read: which of its maps the files now hold is told by
// written(), and the owner of the change set empties them.
//
// `listed` holds the ids of each catalogue (any order): an entry whose id is missing from
// its catalogue was deleted by the user and is written as empty; a listed id past the end of
// gumpidx.mul or texidx.mul extends the index, and a short artidx.mul is completed.
// An emptied item is written as an empty entry (its index record's offset -1, no package
// entry); an item without a picture edit keeps its stored data. An image its encoder refuses
// fails the save (nothing written) instead of becoming an empty entry.
//
// Failures come back as false plus `error`, one sentence naming the file and the reason.
// `notes` (optional) receives what the user should know about a save that went through,
// such as tile data that could not be written and was kept in the change set.

class SaveTransaction;

// One Save of a data directory: the stages below (art and tile data, gumps, textures,
// animation data) staged one after the other into one transaction, so that on any failure no
// file changes. The caller may do other work between stages (a window repaints); the
// directory's save lock is held from begin() until commit() or destruction.
class Rewrite {
public:
    explicit Rewrite(const QString& mulDir);
    ~Rewrite();
    Rewrite(const Rewrite&) = delete;
    Rewrite& operator=(const Rewrite&) = delete;

    // Takes the save lock and finishes an interrupted save. Anything the save depends on
    // (the index files' stamps, the lists) is to be checked after this, under the lock.
    bool begin(QString* error);

    // art.mul + artidx.mul, and the tile records of `changes` into tiledata.mul; see below.
    bool stageArt(const QVector<int>& landIds, const QVector<int>& staticIds, const ChangeSet& changes,
                  bool tileDataWritable, QString* error, QStringList* notes = nullptr);
    // The two halves of stageArt, for a save that leaves a read-only art catalogue alone.
    bool stageArtPair(const QVector<int>& landIds, const QVector<int>& staticIds, const ChangeSet& changes,
                      QString* error, QStringList* notes = nullptr);
    bool stageTiles(const ChangeSet& changes, bool tileDataWritable, QString* error,
                    QStringList* notes = nullptr);
    // gumpart.mul + gumpidx.mul (Gump) or texmaps.mul + texidx.mul (Texture).
    bool stageImages(ItemKind kind, const QVector<int>& ids, const ChangeSet& changes, QString* error,
                     QStringList* notes = nullptr);
    bool stageAnim(const ChangeSet& changes, QString* error);
    // The changed hues (number -> entry) written in place into hues.mul of `fileSize` bytes.
    bool stageHues(const QMap<int, HueEntry>& hues, qint64 fileSize, QString* error);

    // Swaps every staged file in.
    bool commit(QString* error);

    // Which maps of the change set the staged files hold (the animation records are written
    // again by every save and stay).
    struct Written {
        bool artImages = false;
        bool tiles = false;
        bool images[kItemKindCount] = {};
        bool hues = false;
    };
    const Written& written() const { return m_written; }

private:
    QString m_dir;
    std::unique_ptr<SaveTransaction> m_tx;
    Written m_written;
};

// Empties the maps of `changes` that `written` says the files hold now.
void forgetWritten(ChangeSet& changes, const Rewrite::Written& written);

// What Save may do with tiledata.mul: write it, or leave it alone because it is missing or
// of a size that fits neither tile data layout, or both (see tiledata.h). `size` (optional)
// receives the file's size.
enum class TileDataState { Writable, Missing, OtherLayout };
TileDataState tileDataState(const QString& mulDir, qint64* size = nullptr);

} // namespace qm
