#include "recentdirectories.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("RecentDirectories");

// The same place as the data directory setting.
QSettings programSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brindlewood"));
}

} // namespace

RecentDirectories::RecentDirectories(QObject* parent)
    : QObject(parent)
{
}

QStringList RecentDirectories::directories() const
{
    return programSettings().value(kKey).toStringList();
}

void RecentDirectories::add(const QString& dir)
{
    if (dir.isEmpty())
        return;
    const QString clean = QDir::cleanPath(dir);
    QStringList dirs = directories();
    dirs.removeAll(clean);
    dirs.prepend(clean);
    while (dirs.size() > kMax)
        dirs.removeLast();
    programSettings().setValue(kKey, dirs);
}

void RecentDirectories::fillMenu(QMenu* menu)
{
    menu->clear();
    const QStringList dirs = directories();
    for (const QString& dir : dirs) {
        QAction* action = menu->addAction(QDir::toNativeSeparators(dir));
        action->setData(dir);
        const bool there = QFileInfo(dir).isDir();
        action->setEnabled(there);
        action->setStatusTip(there ? tr("Open %1 as the data directory").arg(QDir::toNativeSeparators(dir))
                                   : tr("%1 no longer exists").arg(QDir::toNativeSeparators(dir)));
        connect(action, &QAction::triggered, this, [this, dir] { emit chosen(dir); });
    }
    if (dirs.isEmpty())
        menu->addAction(tr("(none)"))->setEnabled(false);
}
