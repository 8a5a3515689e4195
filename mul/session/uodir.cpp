#include "uodir.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace qm {

#define QM_PROGRAM_SETTINGS(name) \
    QSettings name(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brindlewood"))

QString uoDirFromInstallRecord(QSettings& record)
{
    QString exe = record.value(QStringLiteral("Ultima Online Third Dawn/1.0/StartExePath")).toString();
    if (exe.isEmpty())
        exe = record.value(QStringLiteral("Ultima Online/1.0/StartExePath")).toString();
    if (exe.isEmpty())
        return QString();
    // The folder holding the start executable, absolute, without a trailing separator.
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(exe)).absolutePath());
}

QString readUODir()
{
    // The program's own setting wins, used as it stands, even if the folder is gone.
    QM_PROGRAM_SETTINGS(s);
    const QString own = s.value(QStringLiteral("UODir"), QString()).toString();
    if (!own.isEmpty())
        return own;
#ifdef Q_OS_WIN
    QSettings record(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Origin Worlds Online"),
                     QSettings::NativeFormat);
    return uoDirFromInstallRecord(record);
#else
    // Only Windows has the game's install record.
    return QString();
#endif
}

void writeUODir(const QString& dir)
{
    QM_PROGRAM_SETTINGS(s);
    s.setValue(QStringLiteral("UODir"), dir);
    s.sync();
}

} // namespace qm
