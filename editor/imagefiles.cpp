#include "imagefiles.h"

#include "artcodec.h"
#include "itemkind.h"
#include "picturefile.h"

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
    return qm::readPictureFile(path, error);
}
