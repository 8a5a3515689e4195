#include "tilecatalogue.h"

#include "indexfile.h"
#include "itemkind.h"
#include "tiledata.h"

#include <QFile>

namespace qm {

bool readAllTileRecords(const QString& mulDir, int kind, QVector<tile_struct>* records, QString* error)
{
    records->clear();
    if (!hasTileData(kind)) {
        *error = QStringLiteral("%1 items have no tile data").arg(kindName(kind));
        return false;
    }
    QFile file(mulPath(mulDir, QStringLiteral("tiledata.mul")));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    // One read of the whole file (3 MB at most) instead of 65,536 seeks.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    const int count = kind == Land ? kLandCount : kStaticCount;
    const int size = tileRecordSize(kind);
    records->resize(count);
    for (int id = 0; id < count; ++id) {
        const qint64 offset = tileOffset(kind, id);
        if (offset + size > bytes.size())
            break;   // the rest stay empty records
        (*records)[id] = parseTile(kind, bytes.constData() + offset);
    }
    return true;
}

} // namespace qm
