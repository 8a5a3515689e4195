#pragma once

#include "diffside.h"
#include "itemkind.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>

namespace qm {

// What differs about one item between the two sides of a comparison, "here" and "there".
enum class DiffPart {
    OnlyHere,     // a picture entry here, none there
    OnlyThere,    // a picture entry there, none here
    Picture,      // both have one and the decoded pixels differ
    Tile,         // the tile records differ in the named fields
    Anim,         // the animation records differ
    Unreadable,   // one side's picture, tile or animation record cannot be read
};

enum class DiffSideName { Here, There };

// One line of a comparison. An item differing in several parts gets one per part.
struct Difference {
    int kind = Land;
    int id = 0;
    DiffPart part = DiffPart::Picture;
    QStringList fields;                 // Tile: "name" first, then the fields in record order
    DiffSideName side = DiffSideName::Here;   // Unreadable: the side that cannot be read
    QString reason;                     // Unreadable: why, naming the file

    bool operator==(const Difference& o) const
    {
        return kind == o.kind && id == o.id && part == o.part && fields == o.fields && side == o.side
            && reason == o.reason;
    }
};

struct DiffOptions {
    // The catalogues to compare (tile data goes with land and static, animation data with
    // static); all four when empty.
    QVector<int> kinds;
    // Called now and then from the comparing thread with the ids done so far and the ids to
    // compare in all.
    std::function<void(qint64 done, qint64 total)> progress;
    // Set from any thread to stop the comparison soon; the result then says it was cancelled.
    const std::atomic_bool* cancel = nullptr;
};

struct DiffResult {
    bool cancelled = false;
    // Ordered by kind, then id, then part: picture, tile data, animation data.
    QVector<Difference> differences;
    // Per catalogue and side (Here = 0, There = 1): why it could not be listed, and warnings
    // about what was listed only in part. Ids listed on the other side of an unlisted
    // catalogue are given as unreadable here.
    QString unreadable[kItemKindCount][2];
    QString warnings[kItemKindCount][2];
    // Per side: a warning about the directory as a whole.
    QString sideWarnings[2];
    // The kinds compared, in order.
    QVector<int> kinds;

    // Lines (parts) and distinct items that differ in a catalogue.
    int lineCount(int kind) const;
    int itemCount(int kind) const;
};

// Compares two sides item by item. Records equal byte for byte are equal without being
// decoded; pictures whose records differ are decoded and compared pixel by pixel, so the same
// picture stored in another form, at another offset or in another encoding is equal. Tile
// records are compared field by field (names as their stored bytes up to the first zero),
// animation records byte for byte. An item one side cannot read is never equal: it is
// listed as unreadable on that side with the reason.
// False with `error` when the two sides are the same directory.
bool compareSides(const DiffSide& here, const DiffSide& there, const DiffOptions& options, DiffResult* result,
                  QString* error);

// Opens both directories read-only and compares them. False with `error` when either is
// missing or not a readable directory, or when they are the same directory.
bool compareDirectories(const QString& hereDir, const QString& thereDir, const DiffOptions& options,
                        DiffResult* result, QString* error);

// The tile fields (as qmtool names them, "name" first) in which two records of `kind` differ.
QStringList differingTileFields(int kind, const tile_struct& a, const tile_struct& b);

// "only-here", "only-there", "picture", "tile name,flags", "anim", "unreadable there: ...":
// what qmtool prints after the kind and id.
QString differenceText(const Difference& d);
QString sideName(DiffSideName side);

} // namespace qm
