#include "mywidget.h"

#include "animpage.h"
#include "animplayer.h"
#include "dialogs.h"
#include "imageimport.h"
#include "imagepage.h"
#include "itemkind.h"
#include "picturedrop.h"
#include "tilegeneralpage.h"
#include "tilepropertiespage.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace qm;

myWidget::myWidget(QWidget* parent, const char* name, Qt::WindowFlags fl)
    : QWidget(parent, fl)
{
    setObjectName(name ? QString::fromLatin1(name) : QStringLiteral("myWidget"));
    setAcceptDrops(true);   // a picture file dropped onto the window is imported

    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(11, 11, 11, 11);
    windowLayout->setSpacing(6);
    tabData = new QTabWidget(this);
    tabData->setObjectName(QStringLiteral("tabData"));
    tab = new ImagePage(tabData);
    tab->setObjectName(QStringLiteral("tab"));
    tab_2 = new TileGeneralPage(tabData);
    tab_2->setObjectName(QStringLiteral("tab_2"));
    TabPage = new TilePropertiesPage(tabData);
    TabPage->setObjectName(QStringLiteral("TabPage"));
    TabPage_2 = new AnimPage(tabData);
    TabPage_2->setObjectName(QStringLiteral("TabPage_2"));
    for (QWidget* page : { static_cast<QWidget*>(tab), static_cast<QWidget*>(tab_2),
                           static_cast<QWidget*>(TabPage), static_cast<QWidget*>(TabPage_2) })
        tabData->addTab(page, QString());
    windowLayout->addWidget(tabData);
    buildButtons();
    findFormWidgets();

    languageChange();
    resize(QSize(489, 488).expandedTo(minimumSizeHint()));

    connect(pushButton1, &QPushButton::clicked, this, &myWidget::clickOK);
    connect(pushButton3, &QPushButton::clicked, this, &myWidget::clickApply);
    connect(pushButton2, &QPushButton::clicked, this, &myWidget::clickCancel);
    connectFlagBoxes();
    connect(table1, &QTableWidget::cellChanged, this, &myWidget::valueChanged);
    connect(tab, &ImagePage::pictureShown, this, &myWidget::showIcon);
    tab->addZoomShortcuts(this);
}

myWidget::~myWidget() = default;

const QImage& myWidget::image() const
{
    return tab->picture();
}

void myWidget::setData(int itemKind, int itemId, QImage itemImage)
{
    m_id = itemId;
    m_kind = itemKind;
    tab->setKind(itemKind);
    if (itemKind == Static)
        TabPage_2->player()->setStaticId(itemId);
    TabPage->setKind(itemKind);

    QString prefix;
    auto removePage = [this](QWidget* page) { tabData->removeTab(tabData->indexOf(page)); };
    switch (itemKind) {
    case Land:
        prefix = tr("Land: ");
        removePage(TabPage_2);
        break;
    case Static:
        prefix = tr("Static: ");
        break;
    case Gump:
    case Texture:
        prefix = itemKind == Gump ? tr("Gump: ") : tr("Texture: ");
        removePage(TabPage_2);
        removePage(TabPage);
        removePage(tab_2);
        break;
    default:
        break;
    }
    setWindowTitle(prefix + hexId(itemId));
    tab->dropEdit();
    tab->load(itemImage);
}

void myWidget::showIcon(const QImage& picture)
{
    const QIcon icon(QPixmap::fromImage(picture));
    setWindowIcon(icon);
    // In the workspace the frame around the editor shows the icon.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->setWindowIcon(icon);
}

bool myWidget::sendEdits()
{
    // A number no field can hold is refused, not cut to fit: nothing is sent, so the user
    // can correct it and the stored record keeps its value.
    QString problem;
    if (hasTileData(m_kind))
        problem = TabPage->problem();
    if (problem.isEmpty() && hasTileData(m_kind))
        problem = tab_2->problem();
    if (problem.isEmpty() && m_kind == Static)
        problem = TabPage_2->problem();
    if (!problem.isEmpty()) {
        Dialogs::get().warning(this, windowTitle(), problem);
        return false;
    }
    emit editsBegin(m_kind, m_id);
    // Taken first: the broadcast that answers the signal must find nothing pending.
    if (tab->takeEdit()) {
        QImage picture = tab->picture();
        emit imgChange(m_kind, m_id, picture);
    }
    if (hasTileData(m_kind) && readTile(m_tile))
        emit tileChange(m_kind, m_id, m_tile);
    if (m_kind == Static && animEdited()) {
        anim_st record = readAnimData();
        emit animChange(m_id, record);
    }
    emit editsEnd(m_kind, m_id);
    return true;
}

bool myWidget::hasUnappliedEdits() const
{
    return tab->hasUnappliedEdits()
        || (hasTileData(m_kind) && (tab_2->hasUnappliedEdits() || TabPage->hasUnappliedEdits()))
        || (m_kind == Static && TabPage_2->hasUnappliedEdits());
}

void myWidget::clickApply()
{
    sendEdits();
}

void myWidget::clickOK()
{
    if (sendEdits())
        close();
}

void myWidget::clickCancel()
{
    close();
}

// A picture imported here and not yet applied stays; the new one shows once it is dropped.
void myWidget::updateImage(int itemKind, int tid, QImage& newImage)
{
    if (itemKind == m_kind && tid == m_id)
        tab->load(newImage);
}

void myWidget::rcvDelete(int itemKind, int tid)
{
    if (itemKind != m_kind || tid != m_id)
        return;
    tab->dropEdit();
    close();
}

void myWidget::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // When the workspace window is what is closing, this close() returns at once.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
}

// Fields the user changed and has not applied keep what the user typed; the others show
// the new record at once.
void myWidget::setTile(int itemKind, int itemId, tile_struct& data)
{
    if (itemKind != m_kind || itemId != m_id)
        return;
    m_tile = data;
    tab_2->load(data);
    TabPage->load(data);
    tab->setTileFlags(data.flags);
}

bool myWidget::readTile(tile_struct& t)
{
    // Both pages read back, whatever the first found.
    const bool general = tab_2->readInto(t);
    const bool properties = TabPage->readInto(t);
    return general || properties;
}

void myWidget::setTileDataReadOnly(bool readOnly)
{
    tab_2->setReadOnly(readOnly);
    TabPage->setReadOnly(readOnly);
    const QString why = readOnly
        ? tr("This data directory's tiledata.mul has a layout that cannot be written; "
             "tile data is shown but cannot be changed.")
        : QString();
    tab_2->setToolTip(why);
    TabPage->setToolTip(why);
}

bool myWidget::isTileDataReadOnly() const
{
    return tab_2->isReadOnly();
}

void myWidget::setTileLayout(TileLayout layout)
{
    tab_2->setShowsHighFlags(layout == TileLayout::Wide);
}

bool myWidget::showsHighFlags() const
{
    return tab_2->showsHighFlags();
}

// A page the user changed and has not applied keeps what the user typed.
void myWidget::setAnimData(int itemId, anim_st& data)
{
    if (itemId == m_id && m_kind == Static)
        TabPage_2->load(data);
}

void myWidget::valueChanged(int, int)
{
    TabPage_2->markOffsetsEdited();
}

bool myWidget::animEdited()
{
    return m_kind == Static && TabPage_2->takeEdits();
}

anim_st myWidget::readAnimData()
{
    return TabPage_2->record();
}

void myWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton || tabData->currentIndex() != 0) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    tab->openMenu(event->globalPosition().toPoint());
}

void myWidget::expImage()
{
    tab->exportPicture();
}

void myWidget::impImage()
{
    tab->importPicture();
}

void myWidget::cropImage(QImage& img)
{
    cropLandDiamond(img);
}

bool myWidget::importPictureFile(const QString& path)
{
    return tab->importFile(path);
}

void myWidget::setImageReadOnly(const QString& reason)
{
    tab->setReadOnlyReason(reason);
}

bool myWidget::pasteImage(const QImage& picture)
{
    if (!tab->replacePicture(picture, tr("The clipboard picture"), tr("Paste")))
        return false;
    tabData->setCurrentWidget(tab);   // the picture page, to show what arrived
    return true;
}

void myWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (isValidKind(m_kind) && !droppedPictureFile(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void myWidget::dropEvent(QDropEvent* event)
{
    const QString path = droppedPictureFile(event->mimeData());
    if (!isValidKind(m_kind) || path.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    tabData->setCurrentIndex(0);   // the picture page, to show what arrived
    tab->importFile(path);
}
