#include "cataloguefilter.h"

#include "itemkind.h"
#include "typednumber.h"

#include <QRegularExpression>

#include <algorithm>

namespace qm {

namespace {

// A typed id: decimal or "0x" hexadecimal, non-negative and within an int.
bool readId(const QString& text, int* id)
{
    qint64 v = 0;
    if (!parseNumber(text, 0, 0x7FFFFFFF, &v) || text.contains(QLatin1Char('-')))
        return false;
    *id = int(v);
    return true;
}

} // namespace

bool CatalogueFilter::matches(int id, const tile_struct* tile) const
{
    if (lastId >= 0 && (id < firstId || id > lastId))
        return false;
    if (!hasTileCondition())
        return true;
    if (!tile)
        return false;
    if (flagBit >= 0 && bool(tile->flags & (quint32(1) << flagBit)) != flagSet)
        return false;
    return name.isEmpty() || tile->name.contains(name, Qt::CaseInsensitive);
}

CatalogueFilter parseCatalogueFilter(const QString& text, int flagBit, bool flagSet)
{
    CatalogueFilter filter;
    if (flagBit >= 0 && flagBit < 32) {
        filter.flagBit = flagBit;
        filter.flagSet = flagSet;
    }
    const QString t = text.trimmed();
    if (t.isEmpty())
        return filter;
    static const QRegularExpression range(QStringLiteral("^(\\w+)\\s*-\\s*(\\w+)$"));
    const QRegularExpressionMatch m = range.match(t);
    int first = 0, last = 0;
    if (m.hasMatch() && readId(m.captured(1), &first) && readId(m.captured(2), &last)) {
        filter.firstId = std::min(first, last);
        filter.lastId = std::max(first, last);
    } else if (readId(t, &first)) {
        filter.firstId = filter.lastId = first;
    } else {
        filter.name = t;
    }
    return filter;
}

} // namespace qm
