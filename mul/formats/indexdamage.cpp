#include "indexdamage.h"

#include "indexfile.h"

#include <QFileInfo>

namespace qm {

QString indexDamageFromSizes(const QString& indexName, qint64 indexSize, const QString& dataName,
                             qint64 dataSize)
{
    if (indexSize == 0 && dataSize > 0)
        return QStringLiteral("%1 is damaged: it is empty but %2 holds %3 bytes")
            .arg(indexName, dataName).arg(dataSize);
    if (indexSize % kIndexRecordSize != 0)
        return QStringLiteral("%1 is damaged: its %2 bytes are no whole number of %3-byte records "
                              "(it was cut short)")
            .arg(indexName).arg(indexSize).arg(kIndexRecordSize);
    return QString();
}

QString indexDamage(const QString& mulDir, int kind)
{
    const QFileInfo index(mulPath(mulDir, indexFileName(kind)));
    if (!index.isFile())
        return QString();
    const QFileInfo data(mulPath(mulDir, dataFileName(kind)));
    return indexDamageFromSizes(indexFileName(kind), index.size(), dataFileName(kind),
                                data.isFile() ? data.size() : -1);
}

} // namespace qm
