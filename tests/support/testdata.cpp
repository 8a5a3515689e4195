#include "testdata.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>

QByteArray indexBytes(const QVector<IndexRecord>& records)
{
    QByteArray out;
    for (const IndexRecord& r : records)
        appendIndexRecord(out, r);
    return out;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QImage filledImage(int width, int height, QRgb rgb, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(rgb);
    return image;
}

QVector<IndexRecord> emptyIndex(int count)
{
    return QVector<IndexRecord>(count);
}

TestSettings::TestSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

TestSettings::~TestSettings() = default;
