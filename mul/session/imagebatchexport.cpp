#include "imagebatchexport.h"

#include "imagebatchnames.h"
#include "newfilewrite.h"
#include "pngencode.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qm {

namespace {

enum class Outcome { NotDone, Written, Kept, Empty, Failed };

struct ItemResult {
    Outcome outcome = Outcome::NotDone;
    QString reason;
};

// Moves `from` onto `to`, replacing it in one step where the system can.
bool replaceFile(const QString& from, const QString& to, QString* error)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    const int code = errno;
    // Systems whose rename does not replace: the old file goes first.
    if (QFileInfo::exists(to) && QFile::remove(to) && QFile::rename(from, to))
        return true;
    *error = QString::fromLocal8Bit(std::strerror(code));
    return false;
}

// Writes one picture under its batch name; runs on a worker thread.
ItemResult writePicture(const QImage& image, const QString& path, bool replaceExisting)
{
    if (image.isNull())
        return { Outcome::Empty, {} };
    // Looked at once, before any encoding: a kept file costs nothing, and a name already
    // taken goes straight to the way that replaces, its picture written once.
    const QFileInfo existing(path);
    if (existing.isSymLink())
        return { Outcome::Failed, QObject::tr("a symbolic link of that name is in the way; it was left alone") };
    if (existing.exists() && !existing.isFile())
        return { Outcome::Failed, QObject::tr("something other than a file of that name is in the way") };
    if (existing.exists() && !replaceExisting)
        return { Outcome::Kept, {} };
    QString encodeError;
    const QByteArray png = encodePng(image, &encodeError);
    if (png.isEmpty())
        return { Outcome::Failed, encodeError };
    if (!existing.exists()) {
        switch (writeNewFileWhole(path, png)) {
        case NewFileWrite::Written: return { Outcome::Written, {} };
        case NewFileWrite::Exists:   // another program made it meanwhile
            if (!replaceExisting)
                return { Outcome::Kept, {} };
            break;
        case NewFileWrite::NotThisWay: break;
        }
    }

    // Written beside and renamed over, so a reader never sees half a picture. Not flushed to
    // disk file by file as a save of the data files is: that costs milliseconds a file, and
    // an export is a copy, not the user's only data. The temporary name is no batch name,
    // so one left by a crash is never imported; a random part keeps two exports into one
    // folder apart. A new file gets the user's usual permissions, a replaced one keeps its own.
    const QString partPath = QFileInfo(path).dir().filePath(
        QLatin1Char('.') + QFileInfo(path).fileName() + QLatin1Char('.')
        + QString::number(QRandomGenerator::global()->generate(), 16));
    QFile file(partPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return { Outcome::Failed, file.errorString() };
    const auto failed = [&](const QString& why) {
        file.close();
        QFile::remove(partPath);
        return ItemResult { Outcome::Failed, why };
    };
    if (file.write(png) != png.size() || !file.flush())
        return failed(file.errorString());
    file.close();
    if (existing.exists())
        file.setPermissions(existing.permissions());
    QString why;
    if (!replaceFile(partPath, path, &why))
        return failed(why);
    return { Outcome::Written, {} };
}

} // namespace

ImageExportResult exportImages(ItemKind kind, const QVector<int>& ids, const QString& folder,
                               const PictureSource& source, const ImageExportOptions& options,
                               const BatchProgress& progress)
{
    ImageExportResult result;
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        result.error = QObject::tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    const QDir dir(folder);
    const int count = int(ids.size());
    QVector<ItemResult> items(count);
    // A few pictures per task: with one, waking the workers cost a tenth of the export.
    constexpr int kPerTask = 8;
    const auto prepare = [&](int task) -> BatchTask {
        const int first = task * kPerTask;
        const int end = std::min(count, first + kPerTask);
        QStringList paths;
        for (int i = first; i < end; ++i)
            paths << dir.filePath(batchImageFileName(kind, ids[i]));
        ItemResult* results = items.data() + first;
        const bool replace = options.replaceExisting;
        if (options.sourceIsThreadSafe) {
            return [=, &source, &ids] {
                for (int k = 0; k < paths.size(); ++k)
                    results[k] = writePicture(source(kind, ids[first + k]), paths[k], replace);
            };
        }
        QVector<QImage> images;
        for (int i = first; i < end; ++i)
            images << source(kind, ids[i]);
        return [=] {
            for (int k = 0; k < paths.size(); ++k)
                results[k] = writePicture(images[k], paths[k], replace);
        };
    };
    const BatchProgress taskProgress = [&](int done, int) {
        return !progress || progress(std::min(count, done * kPerTask), count);
    };
    result.cancelled = !runBatch((count + kPerTask - 1) / kPerTask, options.threads, prepare, taskProgress);

    for (int i = 0; i < ids.size(); ++i) {
        switch (items[i].outcome) {
        case Outcome::Written: ++result.written; break;
        case Outcome::Kept: ++result.kept; break;
        case Outcome::Empty: result.emptyIds << ids[i]; break;
        case Outcome::Failed:
            result.failures << BatchItemFailure { ids[i], batchImageFileName(kind, ids[i]), items[i].reason };
            break;
        case Outcome::NotDone: break;
        }
    }
    return result;
}

} // namespace qm
