#include "imagepage.h"

#include "artcodec.h"
#include "dialogs.h"
#include "formlayout.h"
#include "hueapply.h"
#include "huechooser.h"
#include "imagefiles.h"
#include "imageimport.h"
#include "imageview.h"
#include "itemkind.h"
#include "pixels.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

using namespace qm;

ImagePage::ImagePage(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    form::outer(layout);

    auto* tools = new QHBoxLayout;
    form::nested(tools);
    m_zoomButtons = new QButtonGroup(this);
    m_zoomButtons->setExclusive(true);
    for (int level : zoomLevels()) {
        auto* button = new QToolButton(this);
        button->setObjectName(level ? QStringLiteral("zoom%1").arg(level) : QStringLiteral("zoomFit"));
        button->setCheckable(true);
        button->setAutoRaise(true);
        m_zoomButtons->addButton(button, level);
        tools->addWidget(button);
    }
    m_zoomButtons->button(0)->setChecked(true);
    m_gridBox = form::named(new QCheckBox(this), "pixelGrid");
    m_gridBox->setEnabled(false);
    tools->addSpacing(form::kSpacing * 2);
    tools->addWidget(m_gridBox);
    tools->addStretch(1);
    m_hueChooser = form::named(new HueChooser(this), "hueChooser");
    tools->addWidget(m_hueChooser);
    layout->addLayout(tools);

    m_scroll = form::named(new QScrollArea(this), "imageScroll");
    m_scroll->setWidgetResizable(true);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_view = form::named(new ImageView, "pixImage");
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);
    layout->addWidget(m_scroll, 1);

    m_pixelLine = form::named(new QLabel(this), "pixelLine");
    m_pixelLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_pixelLine);

    connect(m_zoomButtons, &QButtonGroup::idClicked, this, &ImagePage::setZoom);
    connect(m_gridBox, &QCheckBox::toggled, m_view, &ImageView::setGridWanted);
    connect(m_view, &ImageView::hovered, this, &ImagePage::showPixel);
    connect(m_hueChooser, &HueChooser::changed, this, &ImagePage::showHue);

    m_menu = form::named(new QMenu(this), "imageMenu");
    m_exportAction = m_menu->addAction(QString());
    m_importAction = m_menu->addAction(QString());
    m_menu->addSeparator();
    m_copyAction = m_menu->addAction(QString());
    m_pasteAction = m_menu->addAction(QString());
    m_menu->addSeparator();
    m_exportAsShownAction = form::named(m_menu->addAction(QString()), "exportAsShownAction");
    m_exportAsShownAction->setCheckable(true);
    connect(m_exportAction, &QAction::triggered, this, &ImagePage::exportPicture);
    connect(m_importAction, &QAction::triggered, this, &ImagePage::importPicture);
    connect(m_copyAction, &QAction::triggered, this, &ImagePage::copyPicture);
    connect(m_pasteAction, &QAction::triggered, this, &ImagePage::pastePicture);
    retranslate();
}

void ImagePage::retranslate()
{
    m_exportAction->setText(form::text("Export"));
    m_importAction->setText(form::text("Import"));
    m_copyAction->setText(form::text("Copy"));
    m_pasteAction->setText(form::text("Paste"));
    m_exportAsShownAction->setText(form::text("Export as shown"));
    m_exportAsShownAction->setToolTip(form::text("Export writes the picture with the preview hue"));
    m_hueChooser->retranslate();
    for (int level : zoomLevels()) {
        QAbstractButton* button = m_zoomButtons->button(level);
        button->setText(level ? form::text("%1×").arg(level) : form::text("Fit"));
        button->setToolTip(level == 0   ? form::text("Fit the picture to the page (Ctrl+0)")
                               : level == 1 ? form::text("Actual size (Ctrl+1)")
                                            : form::text("Show each pixel as %1 × %1").arg(level));
    }
    m_gridBox->setText(form::text("Pixel grid"));
    m_gridBox->setToolTip(form::text("Outline each pixel from 4× up"));
    m_pixelLine->setText(pixelLine());
}

const QList<int>& ImagePage::zoomLevels()
{
    static const QList<int> levels { 0, 1, 2, 4, 8 };
    return levels;
}

void ImagePage::setZoom(int level)
{
    if (!zoomLevels().contains(level))
        return;
    m_zoomButtons->button(level)->setChecked(true);
    m_view->setZoom(level);
    m_gridBox->setEnabled(level >= 4);
    // The scroll area sizes the view from its minimum size: asked again after every change.
    m_scroll->setWidgetResizable(true);
}

int ImagePage::zoom() const
{
    return m_view->zoom();
}

void ImagePage::stepZoom(int direction)
{
    const double shown = m_view->scale();
    const QList<int>& levels = zoomLevels();
    if (direction > 0) {
        for (int level : levels)
            if (level > 0 && level > shown) {
                setZoom(level);
                return;
            }
        setZoom(levels.last());
    } else {
        for (auto it = levels.rbegin(); it != levels.rend(); ++it)
            if (*it > 0 && *it < shown) {
                setZoom(*it);
                return;
            }
        setZoom(1);
    }
}

void ImagePage::addZoomShortcuts(QWidget* scope)
{
    auto add = [&](const QKeySequence& keys, auto slot) {
        auto* shortcut = new QShortcut(keys, scope);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { setZoom(0); });
    add(QKeySequence(Qt::CTRL | Qt::Key_1), [this] { setZoom(1); });
    add(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { stepZoom(1); });
    add(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { stepZoom(1); });
    add(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { stepZoom(-1); });
}

bool ImagePage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int delta = wheel->angleDelta().y();
            if (delta != 0)
                stepZoom(delta > 0 ? 1 : -1);
            wheel->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ImagePage::showPixel(const QPoint& pixel)
{
    m_hovered = pixel;
    m_pixelLine->setText(pixelLine());
}

QString ImagePage::pixelLine() const
{
    if (m_picture.isNull())
        return QString();
    QString line = form::text("%1 × %2 pixels").arg(m_picture.width()).arg(m_picture.height());
    if (!m_picture.rect().contains(m_hovered))
        return line;
    const QRgb rgb = m_picture.pixel(m_hovered);
    const Color16 stored = storedColor16(rgb);
    // Statics and gumps store transparency as the value 0; land and textures draw it black.
    const bool transparent = qAlpha(rgb) == 0 || (stored == 0 && (m_kind == Static || m_kind == Gump));
    line += QStringLiteral("   ·   ") + form::text("pixel %1, %2: ").arg(m_hovered.x()).arg(m_hovered.y());
    if (transparent)
        return line + form::text("transparent");
    const QRgb shown = color16ToRgb(qint16(stored));
    const QString hex = QString::number(stored, 16).rightJustified(4, QLatin1Char('0')).toUpper();
    return line + QStringLiteral("0x%1 (%2, %3, %4)").arg(hex).arg(qRed(shown)).arg(qGreen(shown)).arg(qBlue(shown));
}

void ImagePage::setKind(int kind)
{
    m_kind = kind;
    resetHueMode();
}

void ImagePage::setTileFlags(quint64 flags)
{
    m_tileFlags = flags;
    resetHueMode();
}

void ImagePage::resetHueMode()
{
    m_hueChooser->setMode(defaultHueMode(m_kind, m_tileFlags));
}

void ImagePage::setHues(const HueFile& hues)
{
    m_hueChooser->setHues(hues);
}

QImage ImagePage::shownPicture() const
{
    const HueEntry* hue = m_hueChooser->hue();
    if (!hue || m_picture.isNull())
        return m_picture;
    return applyHue(m_picture, *hue, m_hueChooser->mode());
}

void ImagePage::showHue()
{
    m_view->setImage(shownPicture());
    m_scroll->setWidgetResizable(true);
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
    m_hovered = QPoint(-1, -1);   // the view forgets the mouse with its picture
    showHue();
    m_pixelLine->setText(pixelLine());
    emit pictureShown(picture);
}

void ImagePage::copyPicture()
{
    if (m_picture.isNull()) {
        Dialogs::get().warning(this, form::text("Copy"), form::text("This item has no image to copy."));
        return;
    }
    QGuiApplication::clipboard()->setImage(m_picture);
}

void ImagePage::pastePicture()
{
    const QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull()) {
        Dialogs::get().warning(this, form::text("Paste"), form::text("The clipboard holds no picture."));
        return;
    }
    replacePicture(picture, form::text("The clipboard picture"), form::text("Paste"));
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
    if (!writer.write(m_exportAsShownAction->isChecked() ? shownPicture() : m_picture)) {
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
