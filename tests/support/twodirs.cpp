#include "twodirs.h"

#include "savedirs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

QMap<QString, QByteArray> hashes(const QString& dir)
{
    QMap<QString, QByteArray> out;
    const QMap<QString, QByteArray> files = fileSnapshot(dir);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        out.insert(it.key(), QCryptographicHash::hash(it.value(), QCryptographicHash::Sha256));
    return out;
}

void copyDirectory(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QVERIFY(QFile::copy(from + "/" + name, to + "/" + name));
}
