#include "imagepage.h"

#include "artcodec.h"
#include "dialogs.h"
#include "formlayout.h"
#include "imagefiles.h"
#include "imageimport.h"
#include "imageview.h"
#include "itemkind.h"

#include <QDir>
#include <QGridLayout>
#include <QImageReader>
#include <QImageWriter>
#include <QMenu>

using namespace qm;

ImagePage::ImagePage(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QGridLayout(this);
    form::outer(layout);
    // The picture takes the page's centre; the spacers around it only give way.
    layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 0, 1);
    layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 1);
    layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 2);
    m_view = form::named(new ImageView(this), "pixImage");
    layout->addWidget(m_view, 1, 1);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);

    m_menu = form::named(new QMenu(this), "imageMenu");
    m_exportAction = m_menu->addAction(QString());
    m_importAction = m_menu->addAction(QString());
    connect(m_exportAction, &QAction::triggered, this, &ImagePage::exportPicture);
    connect(m_importAction, &QAction::triggered, this, &ImagePage::importPicture);
    retranslate();
}

void ImagePage::retranslate()
{
    m_exportAction->setText(form::text("Export"));
    m_importAction->setText(form::text("Import"));
}

void ImagePage::setKind(int kind)
{
    m_kind = kind;
}

void ImagePage::load(const QImage& picture)
{
    if (!m_edited)
        showPicture(picture);
}

bool ImagePage::takeEdit()
{
    const bool edited = m_edited;
    m_edited = false;
    return edited;
}

void ImagePage::showPicture(const QImage& picture)
{
    m_picture = picture;
    m_view->setImage(picture);
    emit pictureShown(picture);
}

void ImagePage::setReadOnlyReason(const QString& reason)
{
    m_readOnlyReason = reason;
    setToolTip(reason);
}

void ImagePage::openMenu(const QPoint& globalPos)
{
    // The menu's actions export or import themselves when chosen.
    Dialogs::get().execMenu(m_menu, globalPos);
}

void ImagePage::exportPicture()
{
    const QString title = form::text("Exported image name");
    if (m_picture.isNull()) {
        Dialogs::get().warning(this, title, form::text("This item has no image to export."));
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
    if (!writer.write(m_picture)) {
        Dialogs::get().warning(this, title,
                               form::text("The image could not be written to %1: %2.")
                                   .arg(QDir::toNativeSeparators(fileName), writer.errorString()));
    }
}

void ImagePage::importPicture()
{
    const QString title = form::text("Image to import");
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    // Every readable picture first, so that the dialog does not open on one format only.
    QStringList patterns;
    for (const QByteArray& f : formats)
        patterns << QStringLiteral("*.") + QString::fromLatin1(f).toLower();
    const QString filter = form::text("All pictures") + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
        + QStringLiteral(");;") + pictureFilter(formats);
    const QString name = Dialogs::get().getOpenFileName(this, title, QString(), filter, nullptr);
    if (!name.isEmpty())
        importFile(name);
}

bool ImagePage::importFile(const QString& path)
{
    const QString title = form::text("Image to import");
    QString error;
    const QImage picture = readPicture(path, &error);
    if (picture.isNull()) {
        Dialogs::get().warning(this, title, error);
        return false;
    }
    return replacePicture(picture, QDir::toNativeSeparators(path), title);
}

bool ImagePage::replacePicture(const QImage& picture, const QString& source, const QString& title)
{
    if (!m_readOnlyReason.isEmpty()) {
        Dialogs::get().warning(this, title, m_readOnlyReason);
        return false;
    }
    QImage prepared = scaleImportedImage(m_kind, picture);
    if (m_kind == Land)
        cropLandDiamond(prepared);
    // Refused here, where the user still knows which picture it was, rather than at Save.
    QString error;
    if (isValidKind(m_kind) && !canEncode(m_kind, prepared, &error)) {
        Dialogs::get().warning(this, title,
                               form::text("%1 cannot be used for this item: %2").arg(source, error));
        return false;
    }
    m_edited = true;
    showPicture(prepared);
    emit edited();
    return true;
}
