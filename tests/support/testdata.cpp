#include "testdata.h"

#include "convertcatalogue.h"
#include "demodata.h"

#include <QFile>
#include <QSettings>
#include <QTest>
#include <QStandardPaths>

using namespace qm;

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

tile_struct sampleStaticTile()
{
    tile_struct t;
    t.name = QStringLiteral("twenty characters!!!");
    t.flags = 0x81020304;
    t.weight = 0xf5;
    t.quality = 6;
    t.unk = 0x0708;
    t.unk1 = 9;
    t.quantity = 10;
    t.animid = 0xfb0c;
    t.unk2 = 0x0d0e;
    t.hue = 0xef;
    t.unk3 = 16;
    t.height = 17;
    return t;
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

void writeSmallDemo(const QString& dir, bool packages)
{
    QString error, note;
    QVERIFY2(writeDemoDirectory(dir, false, true, &error, nullptr), qPrintable(error));
    if (!packages)
        return;
    QVERIFY2(convertCatalogue(dir, PackageKind::Art, CatalogueForm::Package, &note, &error), qPrintable(error));
    QVERIFY2(convertCatalogue(dir, PackageKind::Gump, CatalogueForm::Package, &note, &error), qPrintable(error));
}
