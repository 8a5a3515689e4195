#include "comparecommand.h"

#include "dialogs.h"
#include "differencesdock.h"
#include "editsession.h"
#include "itemwindowset.h"
#include "animdata.h"
#include "animplayer.h"
#include "animpage.h"
#include "directoryview.h"
#include "mywidget.h"

#include <QDir>

#include <QAction>
#include <QMainWindow>

using namespace qm;

namespace {

constexpr int kAnimRecordBytes = 68;   // one animation entry

} // namespace

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
    connect(m_dock, &DifferencesDock::openItemThere, this, &CompareCommand::openThere);
    return m_dock;
}

myWidget* CompareCommand::openThere(int kind, int id)
{
    if (!m_dock || !m_dock->otherView())
        return nullptr;
    const std::shared_ptr<const DirectoryView> other = m_dock->otherView();
    const QString where = QDir::toNativeSeparators(m_dock->otherDirectory());
    return m_items.openDetached(kind, id, [other, where](myWidget* editor, int kind, int id) {
        QString why;
        editor->setData(kind, id, other->picture(kind, id, &why));
        if (hasTileData(kind)) {
            tile_struct record;
            bool present = false;
            other->tileRecord(kind, id, &record, &present, &why);
            editor->setTile(kind, id, record);
            editor->setTileLayout(other->tileLayout());
        }
        // Set after the record, so the pages only show it.
        editor->setTileDataReadOnly(true);
        if (kind == Static) {
            editor->TabPage_2->player()->setPictureSource([other](int staticId) {
                QString ignored;
                return other->picture(Static, staticId, &ignored);
            });
            QByteArray bytes;
            bool present = false;
            if (other->animRecord(id, &bytes, &present, &why) && present && bytes.size() >= kAnimRecordBytes) {
                anim_st record = parseAnim(bytes.constData());
                editor->setAnimData(id, record);
            }
        }
        editor->setImageReadOnly(QStringLiteral("this item is shown from %1, opened read-only").arg(where));
        editor->setWindowTitle(QStringLiteral("%1 (in %2, read-only)").arg(editor->windowTitle(), where));
    });
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
