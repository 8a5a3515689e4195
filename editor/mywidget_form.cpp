// The window's part of the form: the button row, its texts, the named members that lead to
// the pages' widgets, and the flag slots that the check boxes drive.
#include "mywidget.h"

#include "animpage.h"
#include "formlayout.h"
#include "imagepage.h"
#include "imageview.h"
#include "tilegeneralpage.h"
#include "tilepropertiespage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

using namespace qm;

namespace {

template <typename W>
void findNamed(const QWidget* root, W*& member, const char* name)
{
    member = root->findChild<W*>(QString::fromLatin1(name));
    Q_ASSERT_X(member, "myWidget", name);
}

// The check box members and the flag slots, by bit.
QCheckBox* myWidget::* const kFlagBoxes[32] = {
    &myWidget::checkBackground, &myWidget::checkWeapon,    &myWidget::checkTransparent,
    &myWidget::checkTranslucent, &myWidget::checkWall,     &myWidget::checkDamaging,
    &myWidget::checkImpassable, &myWidget::checkWet,       &myWidget::checkUnknown,
    &myWidget::checkSurface,    &myWidget::checkBridge,    &myWidget::checkGeneric,
    &myWidget::checkWindow,     &myWidget::checkNoShoot,   &myWidget::checkPrefixA,
    &myWidget::checkPrefixAn,   &myWidget::checkInternal,  &myWidget::checkFoliage,
    &myWidget::checkPartialHue, &myWidget::checkUnknown1,  &myWidget::checkMap,
    &myWidget::checkContainer,  &myWidget::checkWearable,  &myWidget::checkLightSource,
    &myWidget::checkAnimated,   &myWidget::checkNoDiagnol, &myWidget::checkUnknown2,
    &myWidget::checkArmor,      &myWidget::checkRoof,      &myWidget::checkDoor,
    &myWidget::checkStairBack,  &myWidget::checkStairRight,
};

void (myWidget::* const kFlagSlots[32])(bool) = {
    &myWidget::setBackground, &myWidget::setWeapon,    &myWidget::setTransparent,
    &myWidget::setTranslucent, &myWidget::setWall,     &myWidget::setDamaging,
    &myWidget::setImpassable, &myWidget::setWet,       &myWidget::setUnknown,
    &myWidget::setSurface,    &myWidget::setBridge,    &myWidget::setGeneric,
    &myWidget::setWindow,     &myWidget::setNoShoot,   &myWidget::setPrefixA,
    &myWidget::setPrefixAn,   &myWidget::setInternal,  &myWidget::setFoliage,
    &myWidget::setParitalHue, &myWidget::setUnknown1,  &myWidget::setMap,
    &myWidget::setContainer,  &myWidget::setWearable,  &myWidget::setLightSource,
    &myWidget::setAnimated,   &myWidget::setNoDiagnol, &myWidget::setUnknown2,
    &myWidget::setArmor,      &myWidget::setRoof,      &myWidget::setDoor,
    &myWidget::setStairBack,  &myWidget::setStairRight,
};

} // namespace

void myWidget::buildButtons()
{
    auto* row = new QHBoxLayout();
    form::nested(row);
    row->addItem(form::horizontalSpacer());
    pushButton3 = form::named(new QPushButton(this), "pushButton3");
    pushButton2 = form::named(new QPushButton(this), "pushButton2");
    pushButton1 = form::named(new QPushButton(this), "pushButton1");
    row->addWidget(pushButton3);
    row->addWidget(pushButton2);
    row->addWidget(pushButton1);
    static_cast<QBoxLayout*>(layout())->addLayout(row);
}

void myWidget::findFormWidgets()
{
    findNamed(tab, pixImage, "pixImage");
    findNamed(tab_2, textLabel1, "textLabel1");
    findNamed(tab_2, lineName, "lineName");
    findNamed(tab_2, groupBox1, "groupBox1");
    for (int bit = 0; bit < 32; ++bit)
        this->*kFlagBoxes[bit] = tab_2->flagBox(bit);
    findNamed(TabPage, textWeight, "textWeight");
    findNamed(TabPage, lineWeight, "lineWeight");
    findNamed(TabPage, textUnk, "textUnk");
    findNamed(TabPage, lineUnk, "lineUnk");
    findNamed(TabPage, textQuality, "textQuality");
    findNamed(TabPage, lineQuality, "lineQuality");
    findNamed(TabPage, textUnk1, "textUnk1");
    findNamed(TabPage, lineUnk1, "lineUnk1");
    findNamed(TabPage, textQuantity, "textQuantity");
    findNamed(TabPage, lineQuantity, "lineQuantity");
    findNamed(TabPage, textUnk2, "textUnk2");
    findNamed(TabPage, lineUnk2, "lineUnk2");
    findNamed(TabPage, textHeight, "textHeight");
    findNamed(TabPage, lineHeight, "lineHeight");
    findNamed(TabPage, textUnk3, "textUnk3");
    findNamed(TabPage, lineUnk3, "lineUnk3");
    findNamed(TabPage, textAnimid, "textAnimid");
    findNamed(TabPage, lineAnimid, "lineAnimid");
    findNamed(TabPage, textTexid, "textTexid");
    findNamed(TabPage, lineTexid, "lineTexid");
    findNamed(TabPage, textHue, "textHue");
    findNamed(TabPage, lineHue, "lineHue");
    findNamed(TabPage_2, textLabel1_2, "textLabel1_2");
    findNamed(TabPage_2, lineFrameCount, "lineFrameCount");
    findNamed(TabPage_2, textLabel2, "textLabel2");
    findNamed(TabPage_2, lineFrameUnknown, "lineFrameUnknown");
    findNamed(TabPage_2, groupBox2, "groupBox2");
    findNamed(TabPage_2, textLabel3, "textLabel3");
    findNamed(TabPage_2, lineFrameStart, "lineFrameStart");
    findNamed(TabPage_2, textLabel4, "textLabel4");
    findNamed(TabPage_2, lineFrameInterval, "lineFrameInterval");
    findNamed(TabPage_2, groupBox3, "groupBox3");
    findNamed(TabPage_2, table1, "table1");
}

void myWidget::languageChange()
{
    setWindowTitle(tr("Form1"));
    tabData->setTabText(tabData->indexOf(tab), tr("Image"));
    tabData->setTabText(tabData->indexOf(tab_2), tr("General"));
    tabData->setTabText(tabData->indexOf(TabPage), tr("Properties"));
    tabData->setTabText(tabData->indexOf(TabPage_2), tr("AnimData"));
    tab->retranslate();
    tab_2->retranslate();
    TabPage->retranslate();
    TabPage_2->retranslate();
    pushButton3->setText(tr("Apply"));
    pushButton2->setText(tr("Cancel"));
    pushButton1->setText(tr("OK"));
}

// The page keeps its flag word by itself; the window's slots, which scripts know, follow
// the boxes too and set the same bits again.
void myWidget::connectFlagBoxes()
{
    for (int bit = 0; bit < 32; ++bit)
        connect(this->*kFlagBoxes[bit], &QCheckBox::toggled, this, kFlagSlots[bit]);
}

void myWidget::setFlag(int bit, bool state)
{
    tab_2->setFlag(bit, state);
}

void myWidget::setFlags(int flags)
{
    tab_2->setFlags(quint32(flags));
}

void myWidget::setBackground(bool on) { setFlag(0, on); }
void myWidget::setWeapon(bool on) { setFlag(1, on); }
void myWidget::setTransparent(bool on) { setFlag(2, on); }
void myWidget::setTranslucent(bool on) { setFlag(3, on); }
void myWidget::setWall(bool on) { setFlag(4, on); }
void myWidget::setDamaging(bool on) { setFlag(5, on); }
void myWidget::setImpassable(bool on) { setFlag(6, on); }
void myWidget::setWet(bool on) { setFlag(7, on); }
void myWidget::setUnknown(bool on) { setFlag(8, on); }
void myWidget::setSurface(bool on) { setFlag(9, on); }
void myWidget::setBridge(bool on) { setFlag(10, on); }
void myWidget::setGeneric(bool on) { setFlag(11, on); }
void myWidget::setWindow(bool on) { setFlag(12, on); }
void myWidget::setNoShoot(bool on) { setFlag(13, on); }
void myWidget::setPrefixA(bool on) { setFlag(14, on); }
void myWidget::setPrefixAn(bool on) { setFlag(15, on); }
void myWidget::setInternal(bool on) { setFlag(16, on); }
void myWidget::setFoliage(bool on) { setFlag(17, on); }
void myWidget::setParitalHue(bool on) { setFlag(18, on); }
void myWidget::setUnknown1(bool on) { setFlag(19, on); }
void myWidget::setMap(bool on) { setFlag(20, on); }
void myWidget::setContainer(bool on) { setFlag(21, on); }
void myWidget::setWearable(bool on) { setFlag(22, on); }
void myWidget::setLightSource(bool on) { setFlag(23, on); }
void myWidget::setAnimated(bool on) { setFlag(24, on); }
void myWidget::setNoDiagnol(bool on) { setFlag(25, on); }
void myWidget::setUnknown2(bool on) { setFlag(26, on); }
void myWidget::setArmor(bool on) { setFlag(27, on); }
void myWidget::setRoof(bool on) { setFlag(28, on); }
void myWidget::setDoor(bool on) { setFlag(29, on); }
void myWidget::setStairBack(bool on) { setFlag(30, on); }
void myWidget::setStairRight(bool on) { setFlag(31, on); }
