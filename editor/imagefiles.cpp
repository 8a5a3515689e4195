#include "imagefiles.h"

#include "artcodec.h"
#include "itemkind.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

using namespace qm;

QString pictureFilter(const QList<QByteArray>& formats)
{
    QStringList entries;
    for (const QByteArray& f : formats) {
        const QString name = QString::fromLatin1(f).toUpper();
        QString entry = name + QStringLiteral(" (*.") + name.toLower();
        if (name == QLatin1String("JPEG"))
            entry += QStringLiteral(";*.jpg");
        entries << entry + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString filterFormat(const QString& filterEntry)
{
    return filterEntry.section(QLatin1Char(' '), 0, 0);
}

QString exportFileName(const QString& name, const QString& format)
{
    const bool hasEnding = name.size() > format.size()
        && name.endsWith(format, Qt::CaseInsensitive);
    // The dialog offers *.jpg for JPEG, so a name that ends so is what the user asked for.
    const bool jpgForJpeg = format.compare(QLatin1String("JPEG"), Qt::CaseInsensitive) == 0
        && name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
    if (hasEnding || jpgForJpeg)
        return name;
    return name + QLatin1Char('.') + format.toLower();
}

QImage readPicture(const QString& path, QString* error)
{
    QImageReader reader(path);
    // The limit guards against a small file that claims a gigantic size; 512 MB holds a
    // 32-bit picture of 11,000 x 11,000, far above anything the art files take.
    const int oldLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(512);
    QImage picture = reader.read();
    QImageReader::setAllocationLimit(oldLimit);
    if (picture.isNull()) {
        if (error) {
            const QString why = QFileInfo::exists(path) ? reader.errorString()
                                                        : QObject::tr("the file does not exist");
            *error = QObject::tr("%1 cannot be read as a picture: %2.")
                         .arg(QDir::toNativeSeparators(path), why);
        }
        return QImage();
    }
    return picture.convertToFormat(QImage::Format_ARGB32);
}
