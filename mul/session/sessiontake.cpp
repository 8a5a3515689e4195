#include "sessiontake.h"

#include "animdata.h"
#include "diffside.h"
#include "editsession.h"

#include <algorithm>

namespace qm {

namespace {

QString takeStepName(ItemKind kind, const QVector<int>& ids)
{
    return ids.size() == 1 ? QStringLiteral("Take %1").arg(itemName(kind, ids.first()))
                           : QStringLiteral("Take %1 %2 Items").arg(ids.size()).arg(kindName(kind));
}

bool takeOne(EditSession& session, const DiffSide& other, ItemKind kind, int id, int parts, QString* error)
{
    if (!session.canEditItem(kind, id, error))
        return false;
    const auto cannotRead = [&](const QString& why) {
        *error = QStringLiteral("%1 cannot be taken: %2").arg(itemName(kind, id), why);
        return false;
    };
    if (parts & ImagePart) {
        const QVector<int> listed = other.listedIds(kind);
        if (std::binary_search(listed.cbegin(), listed.cend(), id)) {
            QString why;
            const QImage image = other.picture(kind, id, &why);
            if (image.isNull())
                return cannotRead(why.isEmpty() ? QStringLiteral("its picture cannot be decoded") : why);
            if (!session.isListed(kind, id) && !session.insert(kind, id, error))
                return false;
            if (!session.setImage(kind, id, image, error))
                return false;
        } else if (session.isListed(kind, id) && !session.image(kind, id).isNull()) {
            if (!session.emptyImage(kind, id, error))
                return false;
        }
    }
    if ((parts & TilePart) && hasTileData(kind)) {
        tile_struct tile;
        bool present = false;
        QString why;
        if (!other.tileRecord(kind, id, &tile, &present, &why))
            return cannotRead(why);
        if (present && !session.setTile(kind, id, tile, error))
            return false;
    }
    if ((parts & AnimPart) && kind == Static) {
        QByteArray bytes;
        bool present = false;
        QString why;
        if (!other.animRecord(id, &bytes, &present, &why))
            return cannotRead(why);
        if (present && bytes.size() >= 68 && !session.setAnim(id, parseAnim(bytes.constData()), error))
            return false;
    }
    return true;
}

} // namespace

bool takeItems(EditSession& session, const DiffSide& other, ItemKind kind, const QVector<int>& ids, int parts,
               QString* error, int* taken)
{
    if (taken)
        *taken = 0;
    if (ids.isEmpty() || !(parts & kTakeAll)) {
        *error = QStringLiteral("Nothing to take");
        return false;
    }
    // The whole take is one step; anything refused puts every item back as it was.
    session.beginStep(takeStepName(kind, ids));
    for (int id : ids) {
        if (!takeOne(session, other, kind, id, parts, error)) {
            session.abandonStep();
            return false;
        }
    }
    session.endStep();
    if (taken)
        *taken = ids.size();
    return true;
}

int takePartsFromText(const QString& text, QString* error)
{
    int parts = 0;
    for (const QString& word : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString w = word.trimmed().toLower();
        if (w == QLatin1String("picture"))
            parts |= ImagePart;
        else if (w == QLatin1String("tile"))
            parts |= TilePart;
        else if (w == QLatin1String("anim"))
            parts |= AnimPart;
        else if (w == QLatin1String("all"))
            parts |= kTakeAll;
        else {
            *error = QStringLiteral("'%1' is not a part to take: use picture, tile, anim or all").arg(word);
            return 0;
        }
    }
    if (!parts)
        *error = QStringLiteral("name the parts to take: picture, tile, anim or all");
    return parts;
}

} // namespace qm
