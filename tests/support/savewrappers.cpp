#include "savewrappers.h"

namespace qm {

namespace {

// One stage in a transaction of its own.
template <typename Stage>
bool saveAlone(const QString& mulDir, ChangeSet& changes, QString* error, Stage&& stage)
{
    QString localError;
    if (!error)
        error = &localError;
    Rewrite rewrite(mulDir);
    if (!rewrite.begin(error) || !stage(rewrite, error) || !rewrite.commit(error))
        return false;
    forgetWritten(changes, rewrite.written());
    return true;
}

} // namespace

bool saveArtFiles(const QString& mulDir, const QVector<int>& landIds, const QVector<int>& staticIds,
                  ChangeSet& changes, bool tileDataWritable, QString* error, QStringList* notes)
{
    return saveAlone(mulDir, changes, error, [&](Rewrite& r, QString* e) {
        return r.stageArt(landIds, staticIds, changes, tileDataWritable, e, notes);
    });
}

bool saveImageFiles(const QString& mulDir, ItemKind kind, const QVector<int>& ids, ChangeSet& changes,
                    QString* error)
{
    return saveAlone(mulDir, changes, error, [&](Rewrite& r, QString* e) { return r.stageImages(kind, ids, changes, e); });
}

bool saveAnimFile(const QString& mulDir, const ChangeSet& changes, QString* error)
{
    if (changes.animEntries.isEmpty())
        return true;
    ChangeSet untouched;   // the animation records stay where they are
    return saveAlone(mulDir, untouched, error, [&](Rewrite& r, QString* e) { return r.stageAnim(changes, e); });
}

bool saveAll(const QString& mulDir, const QVector<int> listed[kItemKindCount], ChangeSet& changes,
             bool tileDataWritable, QString* error, QStringList* notes)
{
    return saveAlone(mulDir, changes, error, [&](Rewrite& r, QString* e) {
        return r.stageArt(listed[Land], listed[Static], changes, tileDataWritable, e, notes)
            && r.stageImages(Gump, listed[Gump], changes, e, notes)
            && r.stageImages(Texture, listed[Texture], changes, e, notes)
            && r.stageAnim(changes, e);
    });
}

} // namespace qm
