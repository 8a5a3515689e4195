#pragma once

#include "indexfile.h"
#include "tiledata.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

// Building small data directories by code, for the tests.
QByteArray indexBytes(const QVector<qm::IndexRecord>& records);
bool writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);

// An image of one colour.
// A small drawn directory (with wide tile data); with `packages` its art and gumps are
// converted to packages. A failure fails the test.
void writeSmallDemo(const QString& dir, bool packages);
QImage filledImage(int width, int height, QRgb rgb, QImage::Format format = QImage::Format_ARGB32);

// A static tile whose fields all differ, use their high bits, and fill the name's 20 bytes.
qm::tile_struct sampleStaticTile();

// An index of `count` empty records with the given records set.
QVector<qm::IndexRecord> emptyIndex(int count);

// Points the program's settings at a private folder for the life of the object, so that tests
// never read or write the user's real setting.
class TestSettings {
public:
    TestSettings();
    ~TestSettings();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};
