#pragma once

#include <QByteArray>
#include <QFile>

// A field of this process's /proc/self/status in kB ("VmRSS:", "VmHWM:", "RssAnon:"), or -1
// where there is none (not Linux).
inline qint64 statusKb(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
