#include "itemkind.h"

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
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return t.mid(2).toLongLong(ok, 16);
    return t.toLongLong(ok, 10);
}

} // namespace qm
