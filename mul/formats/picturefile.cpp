#include "picturefile.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace qm {

QImage readPictureFile(const QString& path, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QObject::tr("%1 cannot be read as a picture: %2.").arg(QDir::toNativeSeparators(path), why);
        return QImage();
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QObject::tr("the file does not exist"));
    if (!info.isFile())
        return fail(QObject::tr("it is not a file"));

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);   // a renamed file is still read for what it is
    // The header's size, checked before any pixel is allocated: a small file may claim a
    // gigantic picture. Formats that cannot tell are still bound by the reader's own limit.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() * 4 > kMaxPictureBytes)
        return fail(QObject::tr("it is %1 x %2 pixels, too large to load").arg(size.width()).arg(size.height()));
    QImage picture = reader.read();
    if (picture.isNull())
        return fail(reader.errorString());
    return picture.convertToFormat(QImage::Format_ARGB32);
}

} // namespace qm
