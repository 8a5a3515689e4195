// The "Image" page: exporting the picture to a file and replacing it from one, chosen in a
// dialog or dropped onto the window.
#include "mywidget.h"

#include "artcodec.h"
#include "dialogs.h"
#include "imagefiles.h"
#include "imageimport.h"
#include "itemkind.h"
#include "picturedrop.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImageReader>
#include <QImageWriter>
#include <QMouseEvent>
#include <QTabWidget>

using namespace qm;

void myWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton || tabData->currentIndex() != 0) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    // The menu's actions run expImage and impImage themselves when chosen.
    Dialogs::get().execMenu(imageMenu, event->globalPosition().toPoint());
}

void myWidget::expImage()
{
    const QString title = tr("Exported image name");
    if (image.isNull()) {
        Dialogs::get().warning(this, title, tr("This item has no image to export."));
        return;
    }
    QString selected;
    const QString name = Dialogs::get().getSaveFileName(
        this, title, QString(), pictureFilter(QImageWriter::supportedImageFormats()), &selected);
    if (name.isEmpty())
        return;
    QString format = filterFormat(selected);
    if (format.isEmpty())
        format = QStringLiteral("PNG");
    const QString fileName = exportFileName(name, format);
    QImageWriter writer(fileName, format.toLatin1());
    if (!writer.write(image)) {
        Dialogs::get().warning(this, title,
                               tr("The image could not be written to %1: %2.")
                                   .arg(QDir::toNativeSeparators(fileName), writer.errorString()));
    }
}

void myWidget::impImage()
{
    const QString title = tr("Image to import");
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    // Every readable picture first, so that the dialog does not open on one format only.
    QStringList patterns;
    for (const QByteArray& f : formats)
        patterns << QStringLiteral("*.") + QString::fromLatin1(f).toLower();
    const QString filter = tr("All pictures") + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
        + QStringLiteral(");;") + pictureFilter(formats);
    const QString name = Dialogs::get().getOpenFileName(this, title, QString(), filter, nullptr);
    if (!name.isEmpty())
        importPictureFile(name);
}

bool myWidget::importPictureFile(const QString& name)
{
    const QString title = tr("Image to import");
    QString error;
    const QImage picture = readPicture(name, &error);
    if (picture.isNull()) {
        Dialogs::get().warning(this, title, error);
        return false;
    }
    const QImage prepared = pictureForItem(picture, QDir::toNativeSeparators(name), title);
    if (prepared.isNull())
        return false;
    imageChanged = true;
    image = prepared;
    showImage();
    return true;
}

void myWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (isValidKind(kind) && !droppedPictureFile(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void myWidget::dropEvent(QDropEvent* event)
{
    const QString path = droppedPictureFile(event->mimeData());
    if (!isValidKind(kind) || path.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    tabData->setCurrentIndex(0);   // the picture page, to show what arrived
    importPictureFile(path);
}

bool myWidget::pasteImage(const QImage& picture)
{
    const QImage prepared = pictureForItem(picture, tr("The clipboard picture"), tr("Paste"));
    if (prepared.isNull())
        return false;
    tabData->setCurrentWidget(tab);
    image = prepared;
    imageChanged = true;
    showImage();
    // Applied at once, as one step of its own.
    emit editsBegin(kind, id);
    imageChanged = false;
    emit imgChange(kind, id, image);
    emit editsEnd(kind, id);
    return true;
}

QImage myWidget::pictureForItem(const QImage& picture, const QString& source, const QString& title)
{
    if (!imageReadOnly.isEmpty()) {
        Dialogs::get().warning(this, title, imageReadOnly);
        return QImage();
    }
    QImage prepared = scaleImportedImage(kind, picture);
    if (kind == Land)
        cropImage(prepared);
    // Refused here, where the user still knows which picture it was, rather than at Save.
    QString error;
    if (isValidKind(kind) && !canEncode(kind, prepared, &error)) {
        Dialogs::get().warning(this, title, tr("%1 cannot be used for this item: %2").arg(source, error));
        return QImage();
    }
    return prepared;
}

void myWidget::setImageReadOnly(const QString& reason)
{
    imageReadOnly = reason;
    tab->setToolTip(reason);
}

void myWidget::cropImage(QImage& img)
{
    cropLandDiamond(img);
}
