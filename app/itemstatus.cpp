#include "itemstatus.h"

#include "editsession.h"
#include "tileflags.h"

#include <QImage>

#include <QCoreApplication>
#include <QStringList>

using namespace qm;

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ItemStatus", text);
}

QString setFlags(quint64 flags)
{
    QStringList names;
    for (int bit = 0; bit < kTileFlagCount; ++bit)
        if (flags & (quint64(1) << bit))
            names << QCoreApplication::translate("myWidget", kTileFlags[bit].caption);
    return names.join(QStringLiteral(", "));
}

} // namespace

QString itemStatusText(const EditSession& session, ItemKind kind, int id)
{
    QStringList parts;
    parts << itemName(kind, id);
    const QImage picture = session.image(kind, id);
    parts << (picture.isNull() ? tr("no picture")
                               : tr("%1 x %2 px").arg(picture.width()).arg(picture.height()));
    if (hasTileData(kind)) {
        const tile_struct tile = session.tile(kind, id);
        if (!tile.name.isEmpty())
            parts << QLatin1Char('"') + tile.name + QLatin1Char('"');
        const QString flags = setFlags(tile.flags);
        parts << (flags.isEmpty() ? tr("no flags") : flags);
    }
    if (session.isEdited(kind, id))
        parts << tr("edited");
    return parts.join(QStringLiteral(" | "));
}
