#include "itemkind.h"

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
