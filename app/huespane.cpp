#include "huespane.h"

#include "editsession.h"
#include "huelistmodel.h"

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QShortcut>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

using namespace qm;

namespace {

// The grid's cells: the ramp strip with the hue's number under it.
class HueGridCells : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole && index.column() == HueListModel::RampColumn)
            return QIdentityProxyModel::data(index.siblingAtColumn(HueListModel::HexColumn), role);
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

HuesPane::HuesPane(EditSession& session, QWidget* parent)
    : QWidget(parent)
    , m_session(session)
    , m_model(new HueListModel(session, this))
    , m_filter(new QLineEdit(this))
    , m_status(new QLabel(this))
    , m_list(new QTreeView(this))
    , m_grid(new QListView(this))
    , m_views(new QStackedWidget(this))
{
    m_filter->setObjectName(QStringLiteral("hueFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Hue number, range (0x10-0x20) or part of the name"));
    m_filter->setClearButtonEnabled(true);
    m_status->setObjectName(QStringLiteral("huesStatus"));
    m_status->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("listHues"));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setIconSize(QSize(128, 12));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(HueListModel::HexColumn, 56);
    m_list->setColumnWidth(HueListModel::NumberColumn, 52);
    m_list->setColumnWidth(HueListModel::NameColumn, 96);

    auto* cells = new HueGridCells(this);
    cells->setSourceModel(m_model);
    m_grid->setObjectName(QStringLiteral("gridHues"));
    m_grid->setModel(cells);
    m_grid->setModelColumn(HueListModel::RampColumn);
    m_grid->setViewMode(QListView::IconMode);
    m_grid->setMovement(QListView::Static);
    m_grid->setResizeMode(QListView::Adjust);
    m_grid->setUniformItemSizes(true);
    m_grid->setIconSize(QSize(128, 12));
    m_grid->setGridSize(QSize(140, 40));
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_views->addWidget(m_list);
    m_views->addWidget(m_grid);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(11, 11, 11, 11);
    layout->addWidget(m_filter);
    layout->addWidget(m_status);
    layout->addWidget(m_views, 1);

    connect(m_filter, &QLineEdit::textChanged, m_model, &HueListModel::setFilter);
    connect(m_list, &QTreeView::activated, this,
            [this](const QModelIndex& index) { emit hueActivated(m_model->hueAt(index.row())); });
    connect(m_grid, &QListView::activated, this,
            [this](const QModelIndex& index) { emit hueActivated(m_model->hueAt(index.row())); });
    connect(&session, &EditSession::cataloguesReset, this, &HuesPane::updateStatus);
    updateStatus();
}

int HuesPane::currentHue() const
{
    const QAbstractItemView* shown = showsGrid() ? static_cast<QAbstractItemView*>(m_grid) : m_list;
    return m_model->hueAt(shown->currentIndex().row());
}

bool HuesPane::showsGrid() const
{
    return m_views->currentWidget() == m_grid;
}

void HuesPane::setShowsGrid(bool grid)
{
    // The other view takes over the current hue.
    const int hue = currentHue();
    m_views->setCurrentWidget(grid ? static_cast<QWidget*>(m_grid) : m_list);
    const int row = m_model->rowOf(hue);
    if (hue && row >= 0)
        (grid ? static_cast<QAbstractItemView*>(m_grid) : m_list)->setCurrentIndex(
            grid ? m_grid->model()->index(row, HueListModel::RampColumn) : m_model->index(row, 0));
}

void HuesPane::updateStatus()
{
    m_status->setText(m_session.huesStatus());
}
