#include "itemkind.h"

#include "typednumber.h"

#include <limits>

namespace qm {

QString kindName(int kind)
{
    switch (kind) {
    case Land: return QStringLiteral("Land");
    case Static: return QStringLiteral("Static");
    case Gump: return QStringLiteral("Gump");
    case Texture: return QStringLiteral("Texture");
    default: return QString();
    }
}

int parseKind(const QString& text)
{
    const QString t = text.trimmed().toLower();
    for (int k = 0; k < kItemKindCount; ++k) {
        if (t == kindName(k).toLower() || t == QString::number(k))
            return k;
    }
    return -1;
}

QString hexId(int id)
{
    return QStringLiteral("0x") + QString::number(id, 16);
}

QString itemName(int kind, int id)
{
    return kindName(kind) + QLatin1Char(' ') + hexId(id);
}

qint64 parseTypedNumber(const QString& text, bool* ok)
{
    qint64 value = 0;
    *ok = parseNumber(text, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), &value);
    return *ok ? value : 0;
}

} // namespace qm
