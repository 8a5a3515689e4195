#include "huespane.h"

#include "editsession.h"
#include "huelistmodel.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

using namespace qm;

HuesPane::HuesPane(EditSession& session, QWidget* parent)
    : QWidget(parent)
    , m_session(session)
    , m_model(new HueListModel(session, this))
    , m_filter(new QLineEdit(this))
    , m_status(new QLabel(this))
    , m_list(new QTreeView(this))
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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(11, 11, 11, 11);
    layout->addWidget(m_filter);
    layout->addWidget(m_status);
    layout->addWidget(m_list, 1);

    connect(m_filter, &QLineEdit::textChanged, m_model, &HueListModel::setFilter);
    connect(m_list, &QTreeView::activated, this,
            [this](const QModelIndex& index) { emit hueActivated(m_model->hueAt(index.row())); });
    connect(&session, &EditSession::cataloguesReset, this, &HuesPane::updateStatus);
    updateStatus();
}

int HuesPane::currentHue() const
{
    return m_model->hueAt(m_list->currentIndex().row());
}

void HuesPane::updateStatus()
{
    m_status->setText(m_session.huesStatus());
}
