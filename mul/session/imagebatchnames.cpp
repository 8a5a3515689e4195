#include "imagebatchnames.h"

#include "indexfile.h"
#include "itemkind.h"

#include <QRegularExpression>

namespace qm {

namespace {

qint64 idLimit(int kind)
{
    switch (kind) {
    case Land: return kLandCount;
    case Static: return kStaticCount;
    default: return kGrownIndexLimit;
    }
}

} // namespace

QString batchImageFileName(ItemKind kind, int id)
{
    return kindName(kind).toLower() + QLatin1Char('-') + hexId(id) + QStringLiteral(".png");
}

BatchName parseBatchImageFileName(const QString& fileName, int* kind, int* id)
{
    static const QRegularExpression pattern(QStringLiteral("^(land|static|gump|texture)-0x([0-9a-f]{1,8})\\.png$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return BatchName::Other;
    const int k = parseKind(match.captured(1));
    bool ok = false;
    const qint64 value = match.captured(2).toLongLong(&ok, 16);
    if (kind)
        *kind = k;
    if (!ok || value >= idLimit(k))
        return BatchName::OutOfRange;
    if (id)
        *id = int(value);
    return BatchName::Item;
}

} // namespace qm
