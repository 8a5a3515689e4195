#include "huelistmodel.h"

#include "cataloguefilter.h"
#include "editsession.h"
#include "huestrip.h"

#include <QFont>

using namespace qm;

HueListModel::HueListModel(EditSession& session, QObject* parent)
    : QAbstractTableModel(parent)
    , m_session(session)
{
    connect(&session, &EditSession::hueChanged, this, &HueListModel::followHue);
    connect(&session, &EditSession::cataloguesReset, this, &HueListModel::reload);
    reload();
}

void HueListModel::reload()
{
    beginResetModel();
    m_shown.clear();
    const CatalogueFilter filter = parseCatalogueFilter(m_filter);
    for (int h = 1; h <= m_session.hueCount(); ++h) {
        if (filter.lastId >= 0 && (h < filter.firstId || h > filter.lastId))
            continue;
        if (!filter.name.isEmpty() && !m_session.hue(h).name().contains(filter.name, Qt::CaseInsensitive))
            continue;
        m_shown << h;
    }
    endResetModel();
}

void HueListModel::setFilter(const QString& text)
{
    m_filter = text;
    reload();
}

void HueListModel::followHue(int hue)
{
    const int row = rowOf(hue);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int HueListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int HueListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HueListModel::data(const QModelIndex& index, int role) const
{
    const int hue = hueAt(index.row());
    if (!hue)
        return {};
    if (role == NumberRole)
        return hue;
    if (role == Qt::FontRole && m_session.isHueEdited(hue)) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    switch (index.column()) {
    case HexColumn:
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("0x%1").arg(hue, 4, 16, QLatin1Char('0'))) : QVariant();
    case NumberColumn:
        return role == Qt::DisplayRole ? QVariant(hue) : QVariant();
    case NameColumn:
        return role == Qt::DisplayRole ? QVariant(m_session.hue(hue).name()) : QVariant();
    case RampColumn:
        return role == Qt::DecorationRole ? QVariant(hueStrip(m_session.hue(hue), QSize(128, 12))) : QVariant();
    }
    return {};
}

QVariant HueListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = { "Hex", "Number", "Name", "Colours" };
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section]) : QString();
}
