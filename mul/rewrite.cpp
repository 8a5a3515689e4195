#include "rewrite.h"

bool saveArtFiles(const QString&, const QVector<int>&, const QVector<int>&, ChangeSet&, bool,
                  QString* error, QStringList*)
{
    if (error)
        *error = QStringLiteral("Saving is not available yet");
    return false;
}
bool saveImageFiles(const QString&, int, const QVector<int>&, ChangeSet&, QString* error)
{
    if (error)
        *error = QStringLiteral("Saving is not available yet");
    return false;
}
bool saveAnimFile(const QString&, const ChangeSet&, QString* error)
{
    if (error)
        *error = QStringLiteral("Saving is not available yet");
    return false;
}
bool saveAll(const QString&, const QVector<int>[kItemKindCount], ChangeSet&, bool,
             QString* error, QStringList*)
{
    if (error)
        *error = QStringLiteral("Saving is not available yet");
    return false;
}
TileDataState tileDataState(const QString&, qint64*) { return TileDataState::Missing; }
