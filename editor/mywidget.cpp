#include "mywidget.h"

#include "dialogs.h"
#include "imageview.h"
#include "itemkind.h"
#include "tileflags.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
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
    buildImagePage();
    buildGeneralPage();
    buildPropertiesPage();
    buildAnimPage();
    windowLayout->addWidget(tabData);
    buildButtons(windowLayout);

    languageChange();
    resize(QSize(489, 488).expandedTo(minimumSizeHint()));

    connect(pushButton1, &QPushButton::clicked, this, &myWidget::clickOK);
    connect(pushButton3, &QPushButton::clicked, this, &myWidget::clickApply);
    connect(pushButton2, &QPushButton::clicked, this, &myWidget::clickCancel);
    connectFlagBoxes();
    makeTileNumberFields();
    makeAnimNumberFields();
    // Only what the user changes counts: our own filling runs with the table's signals blocked.
    connect(table1, &QTableWidget::cellChanged, this, &myWidget::valueChanged);

    imageChanged = false;
    imageMenu = new QMenu(this);
    imageMenu->setObjectName(QStringLiteral("imageMenu"));
    connect(imageMenu->addAction(tr("Export")), &QAction::triggered, this, &myWidget::expImage);
    connect(imageMenu->addAction(tr("Import")), &QAction::triggered, this, &myWidget::impImage);
    offsetsEdited = false;
}

myWidget::~myWidget() = default;

void myWidget::languageChange()
{
    setWindowTitle(tr("Form1"));
    tabData->setTabText(tabData->indexOf(tab), tr("Image"));
    tabData->setTabText(tabData->indexOf(tab_2), tr("General"));
    tabData->setTabText(tabData->indexOf(TabPage), tr("Properties"));
    tabData->setTabText(tabData->indexOf(TabPage_2), tr("AnimData"));
    textLabel1->setText(tr("Name"));
    groupBox1->setTitle(tr("Flags"));
    textHighFlags->setText(tr("High flags"));
    textHighFlags->setToolTip(tr("Flag bits 32 to 63, which the wide tiledata.mul stores (0x1 is bit 32)"));
    for (int bit = 0; bit < kTileFlagCount; ++bit)
        flagBoxes[bit]->setText(tr(kTileFlags[bit].caption));
    textWeight->setText(tr("Weight"));
    textUnk->setText(tr("Unknown"));
    textQuality->setText(tr("Quality"));
    textUnk1->setText(tr("Unknown1"));
    textQuantity->setText(tr("Quantity"));
    textUnk2->setText(tr("Unknown2"));
    textHeight->setText(tr("Height"));
    textUnk3->setText(tr("Unknown3"));
    textAnimid->setText(tr("Anim ID"));
    textTexid->setText(tr("Texture ID"));
    textHue->setText(tr("Hue"));
    textLabel1_2->setText(tr("Count"));
    textLabel2->setText(tr("Unknown"));
    groupBox2->setTitle(tr("Intervals (50msec * value)"));
    textLabel3->setText(tr("Start"));
    textLabel4->setText(tr("Interval"));
    groupBox3->setTitle(tr("Offsets"));
    table1->setHorizontalHeaderLabels({ tr("Offset") });
    pushButton3->setText(tr("Apply"));
    pushButton2->setText(tr("Cancel"));
    pushButton1->setText(tr("OK"));
}

void myWidget::setData(int itemKind, int itemId, QImage itemImage)
{
    id = itemId;
    kind = itemKind;
    image = itemImage;

    QString prefix;
    auto removePage = [this](QWidget* page) { tabData->removeTab(tabData->indexOf(page)); };
    switch (kind) {
    case Land:
        prefix = tr("Land: ");
        removePage(TabPage_2);
        for (QWidget* w : TabPage->findChildren<QWidget*>())
            w->setVisible(w == textTexid || w == lineTexid);
        break;
    case Static:
        prefix = tr("Static: ");
        textTexid->hide();
        lineTexid->hide();
        break;
    case Gump:
    case Texture:
        prefix = kind == Gump ? tr("Gump: ") : tr("Texture: ");
        removePage(TabPage_2);
        removePage(TabPage);
        removePage(tab_2);
        break;
    default:
        break;
    }
    setWindowTitle(prefix + hexId(id));
    showImage();
}

void myWidget::showImage()
{
    const QIcon icon(QPixmap::fromImage(image));
    setWindowIcon(icon);
    // In the workspace the frame around the editor shows the icon.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->setWindowIcon(icon);
    pixImage->setImage(image);
}

bool myWidget::sendEdits()
{
    // A number no field can hold is refused, not cut to fit: nothing is sent, so the user
    // can correct it and the stored record keeps its value.
    QString problem = hasTileData(kind) ? tileFieldProblem() : QString();
    if (problem.isEmpty())
        problem = animFieldProblem();
    if (!problem.isEmpty()) {
        Dialogs::get().warning(this, windowTitle(), problem);
        return false;
    }
    emit editsBegin(kind, id);
    if (imageChanged) {
        // Cleared first: the broadcast that answers the signal must find nothing pending.
        imageChanged = false;
        emit imgChange(kind, id, image);
    }
    if (hasTileData(kind) && !tileReadOnly && readTile(tile))
        emit tileChange(kind, id, tile);
    if (kind == Static && animEdited()) {
        anim_st record = readAnimData();
        emit animChange(id, record);
    }
    emit editsEnd(kind, id);
    return true;
}

bool myWidget::hasUnappliedEdits() const
{
    return imageChanged || (hasTileData(kind) && !tileReadOnly && tilePageEdited())
        || (kind == Static && animPageEdited());
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
    if (itemKind != kind || tid != id || imageChanged)
        return;
    image = newImage;
    imageChanged = false;
    showImage();
}

void myWidget::rcvDelete(int itemKind, int tid)
{
    if (itemKind != kind || tid != id)
        return;
    imageChanged = false;
    close();
}

void myWidget::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // When the workspace window is what is closing, this close() returns at once.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
}

void myWidget::setTileDataReadOnly(bool readOnly)
{
    tileReadOnly = readOnly;
    lineName->setReadOnly(readOnly);
    for (QLineEdit* field : staticFields())
        field->setReadOnly(readOnly);
    lineTexid->setReadOnly(readOnly);
    lineHighFlags->setReadOnly(readOnly);
    for (QCheckBox* box : flagBoxes)
        box->setEnabled(!readOnly);
    const QString why = readOnly
        ? tr("This data directory's tiledata.mul has a layout that cannot be written; "
             "tile data is shown but cannot be changed.")
        : QString();
    tab_2->setToolTip(why);
    TabPage->setToolTip(why);
}

void myWidget::setTileLayout(TileLayout layout)
{
    wideFlags = layout == TileLayout::Wide;
    textHighFlags->setVisible(wideFlags);
    lineHighFlags->setVisible(wideFlags);
}
