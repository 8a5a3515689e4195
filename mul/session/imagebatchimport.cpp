#include "imagebatchimport.h"

#include "artcodec.h"
#include "editsession.h"
#include "imagebatchnames.h"
#include "imageimport.h"
#include "itemkind.h"
#include "picturefile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace qm {

namespace {

struct Candidate {
    int id = -1;
    QString fileName;
    QString path;
};

// Loads one file as the Image page's Import would; runs on a worker thread.
void loadCandidate(ItemKind kind, const Candidate& c, AcceptedPicture* accepted, QString* refusal)
{
    QString why;
    const QImage picture = readPictureFile(c.path, &why);
    if (picture.isNull()) {
        *refusal = why;
        return;
    }
    const QImage image = prepareImportedImage(kind, picture);
    if (!canEncode(kind, image, &why)) {
        *refusal = QObject::tr("%1 cannot hold this picture: %2").arg(itemName(kind, c.id), why);
        return;
    }
    *accepted = AcceptedPicture { c.id, image, c.fileName };
}

} // namespace

ImageImportPlan planImageImport(ItemKind kind, const QString& folder, int threads, const BatchProgress& progress)
{
    ImageImportPlan plan;
    const QDir dir(folder);
    if (!QFileInfo(folder).isDir() || !dir.isReadable()) {
        plan.error = QObject::tr("The folder %1 cannot be read.").arg(QDir::toNativeSeparators(folder));
        return plan;
    }

    QVector<Candidate> candidates;
    QHash<int, int> filesPerId;
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString& name : names) {
        int fileKind = -1;
        int id = -1;
        const BatchName match = parseBatchImageFileName(name, &fileKind, &id);
        if (match == BatchName::Other || fileKind != kind) {
            ++plan.ignored;
            continue;
        }
        if (match == BatchName::OutOfRange) {
            plan.refused << BatchItemFailure { -1, name, QObject::tr("the id is beyond what a %1 item can have")
                                                             .arg(kindName(kind).toLower()) };
            continue;
        }
        candidates << Candidate { id, name, dir.filePath(name) };
        ++filesPerId[id];
    }
    // Two names for one item: neither is taken, so the result never depends on file order.
    candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                    [&](const Candidate& c) {
                                        if (filesPerId.value(c.id) < 2)
                                            return false;
                                        plan.refused << BatchItemFailure {
                                            c.id, c.fileName, QObject::tr("another file names the same item")
                                        };
                                        return true;
                                    }),
                     candidates.end());
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) { return a.id < b.id; });

    QVector<AcceptedPicture> loaded(candidates.size());
    QVector<QString> refusals(candidates.size());
    const auto prepare = [&](int i) -> BatchTask {
        return [&, i] { loadCandidate(kind, candidates[i], &loaded[i], &refusals[i]); };
    };
    plan.cancelled = !runBatch(int(candidates.size()), threads, prepare, progress);
    if (plan.cancelled)
        return plan;

    for (int i = 0; i < candidates.size(); ++i) {
        if (!refusals[i].isEmpty())
            plan.refused << BatchItemFailure { candidates[i].id, candidates[i].fileName, refusals[i] };
        else if (!loaded[i].image.isNull())
            plan.accepted << loaded[i];
    }
    std::sort(plan.refused.begin(), plan.refused.end(),
              [](const BatchItemFailure& a, const BatchItemFailure& b) { return a.fileName < b.fileName; });
    return plan;
}

bool applyImageImport(EditSession& session, ItemKind kind, const QVector<AcceptedPicture>& pictures,
                      const QString& stepName, QVector<int>* newIds, QString* error)
{
    QVector<int> added;
    session.beginStep(stepName);
    for (const AcceptedPicture& picture : pictures) {
        const bool listed = session.isListed(kind, picture.id);
        if (!session.setImage(kind, picture.id, picture.image, error)
            || (!listed && !session.insert(kind, picture.id, error))) {
            session.abandonStep();
            return false;
        }
        if (!listed)
            added << picture.id;
    }
    session.endStep();
    if (newIds)
        *newIds = added;
    return true;
}

} // namespace qm
