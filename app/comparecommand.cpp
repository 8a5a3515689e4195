#include "comparecommand.h"

#include "dialogs.h"
#include "differencesdock.h"
#include "editsession.h"
#include "itemwindowset.h"

#include <QAction>
#include <QMainWindow>

using namespace qm;

CompareCommand::CompareCommand(EditSession& session, QMainWindow& window, ItemWindows& items,
                               std::function<void(const QString&)> status, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_window(window)
    , m_items(items)
    , m_status(std::move(status))
    , m_action(new QAction(QStringLiteral("Compare With…"), this))
{
    m_action->setObjectName(QStringLiteral("fileCompareAction"));
    m_action->setStatusTip(QStringLiteral("Compare the data directory with another one, opened read-only"));
    m_action->setToolTip(m_action->statusTip());
    connect(m_action, &QAction::triggered, this, &CompareCommand::compareWith);
}

DifferencesDock* CompareCommand::dock()
{
    if (m_dock)
        return m_dock;
    m_dock = new DifferencesDock(m_session, &m_window);
    m_window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    connect(m_dock, &DifferencesDock::statusMessage, this, [this](const QString& text) { m_status(text); });
    connect(m_dock, &DifferencesDock::openItem, this, [this](int kind, int id) {
        if (m_session.isListed(ItemKind(kind), id))
            m_items.open(kind, id);
        else
            m_status(QStringLiteral("%1 is not listed here").arg(itemName(kind, id)));
    });
    return m_dock;
}

void CompareCommand::compareWith()
{
    const QString dir = Dialogs::get().getExistingDirectory(&m_window, QStringLiteral("Compare With"), QString());
    if (dir.isEmpty())
        return;
    DifferencesDock* differences = dock();
    differences->show();
    differences->raise();
    QString error;
    if (!differences->compareWith(dir, &error)) {
        m_status(error);
        Dialogs::get().warning(&m_window, QStringLiteral("Compare With"), error);
    }
}
