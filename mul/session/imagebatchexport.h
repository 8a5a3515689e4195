#pragma once

#include "batchrunner.h"
#include "itemkind.h"

#include <QImage>
#include <QString>
#include <QVector>

#include <functional>

namespace qm {

// The picture of an item as the user sees it now (the change set's edit first), or a null
// image for an empty item.
using PictureSource = std::function<QImage(ItemKind kind, int id)>;

// One item a batch could not handle, and why in words.
struct BatchItemFailure {
    int id = -1;          // -1: a file whose name gives no id
    QString fileName;     // the file concerned, without folder
    QString reason;
};

struct ImageExportOptions {
    // A file of the same name already in the folder is replaced (in one step: a reader never
    // sees half a picture); otherwise it is kept and counted. Only the batch's own names are
    // ever written, so other files in the folder are never touched; a symbolic link or a
    // folder under such a name is left alone and reported.
    bool replaceExisting = true;
    // The source may be called from several worker threads at once (a reader of the data
    // files); otherwise it is called on the calling thread only.
    bool sourceIsThreadSafe = false;
    int threads = 0;   // 0: one per core
};

struct ImageExportResult {
    QString error;             // the batch could not start (the folder); nothing written
    bool cancelled = false;    // the files written before the cancel stay
    int written = 0;
    int kept = 0;              // existing files left as they were
    QVector<int> emptyIds;     // items without a picture: skipped
    QVector<BatchItemFailure> failures;

    bool ok() const { return error.isEmpty() && !cancelled && failures.isEmpty(); }
};

// Writes the pictures of `ids` (items of `kind`) into `folder`, created if needed, one PNG
// per item named by batchImageFileName(). PNG encoding runs on several threads.
ImageExportResult exportImages(ItemKind kind, const QVector<int>& ids, const QString& folder,
                               const PictureSource& source, const ImageExportOptions& options = {},
                               const BatchProgress& progress = {});

} // namespace qm
