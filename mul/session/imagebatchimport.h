#pragma once

#include "batchrunner.h"
#include "imagebatchexport.h"
#include "itemkind.h"

#include <QImage>
#include <QString>
#include <QVector>

namespace qm {

class EditSession;

// A picture ready to replace an item's: already brought to the kind's size and shape.
struct AcceptedPicture {
    int id = -1;
    QImage image;
    QString fileName;
};

// What a folder of batch-named pictures would change, with nothing applied yet: the caller
// applies all of `accepted` as one step, or shows `refused` and applies nothing.
struct ImageImportPlan {
    QString error;                        // the folder cannot be read
    bool cancelled = false;
    QVector<AcceptedPicture> accepted;    // ascending by id
    QVector<BatchItemFailure> refused;    // by file name
    int ignored = 0;                      // files of other names or other kinds

    bool ok() const { return error.isEmpty() && !cancelled; }
};

// Scans `folder` for files named as batchImageFileName() gives for `kind` and loads each
// under the editor's import rules: size brought to the kind's, land masked to its diamond,
// pictures Save could not write refused, oversized files refused before decoding. Two
// files naming one item (say "0x1a" and "0x01a") are both refused, as either could be meant.
// Files load on several threads (0: one per core).
ImageImportPlan planImageImport(ItemKind kind, const QString& folder, int threads = 0,
                                const BatchProgress& progress = {});

// Gives every picture to its item as one undo step named `stepName`, listing the items that
// were not (their ids go to `newIds`, optional). All or nothing: when the session refuses one,
// the step is abandoned, so the edits and Undo and Redo are as they were before the call.
bool applyImageImport(EditSession& session, ItemKind kind, const QVector<AcceptedPicture>& pictures,
                      const QString& stepName, QVector<int>* newIds, QString* error);

} // namespace qm
