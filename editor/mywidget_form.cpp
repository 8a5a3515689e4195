// Building the editor window's widget tree.
#include "mywidget.h"

#include "imageview.h"
#include "tileflags.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpacerItem>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace qm;

namespace {

constexpr int kOuterMargin = 11;
constexpr int kSpacing = 6;
constexpr int kOffsetRows = 64;

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void outer(QLayout* layout)
{
    layout->setContentsMargins(kOuterMargin, kOuterMargin, kOuterMargin, kOuterMargin);
    layout->setSpacing(kSpacing);
}

void nested(QLayout* layout)
{
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
}

QSpacerItem* horizontalSpacer()
{
    return new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

QSpacerItem* verticalSpacer()
{
    return new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Expanding);
}

} // namespace

void myWidget::buildImagePage()
{
    tab = named(new QWidget(tabData), "tab");
    tabLayout = new QGridLayout(tab);
    outer(tabLayout);
    // The picture takes the page's centre; the spacers around it only give way.
    tabLayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 0, 1);
    tabLayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 1);
    tabLayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    tabLayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 2);
    pixImage = named(new ImageView(tab), "pixImage");
    tabLayout->addWidget(pixImage, 1, 1);
    tabLayout->setRowStretch(1, 1);
    tabLayout->setColumnStretch(1, 1);
    tabData->addTab(tab, QString());
}

void myWidget::buildGeneralPage()
{
    tab_2 = named(new QWidget(tabData), "tab_2");
    auto* page = new QVBoxLayout(tab_2);
    outer(page);

    auto* nameRow = new QHBoxLayout();
    nested(nameRow);
    nameRow->addItem(horizontalSpacer());
    textLabel1 = named(new QLabel(tab_2), "textLabel1");
    nameRow->addWidget(textLabel1);
    lineName = named(new QLineEdit(tab_2), "lineName");
    lineName->setMaxLength(20);
    // The name is stored as 20 Latin-1 bytes; other characters could not be written back.
    lineName->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{0001}-\\x{00ff}]*")), lineName));
    nameRow->addWidget(lineName);
    nameRow->addItem(horizontalSpacer());
    page->addLayout(nameRow);

    groupBox1 = named(new QGroupBox(tab_2), "groupBox1");
    auto* flags = new QGridLayout(groupBox1);
    outer(flags);
    flags->setAlignment(Qt::AlignTop);
    for (int bit = 0; bit < kTileFlagCount; ++bit) {
        flagBoxes[bit] = named(new QCheckBox(groupBox1), kTileFlags[bit].boxName);
        flags->addWidget(flagBoxes[bit], bit % 8, bit / 8);
    }
    page->addWidget(groupBox1);

    // Flag bits 32 to 63, which only the wide tile data layout stores: shown for it alone.
    auto* highRow = new QHBoxLayout();
    nested(highRow);
    textHighFlags = named(new QLabel(tab_2), "textHighFlags");
    lineHighFlags = named(new QLineEdit(tab_2), "lineHighFlags");
    textHighFlags->setBuddy(lineHighFlags);
    highRow->addWidget(textHighFlags);
    highRow->addWidget(lineHighFlags);
    highRow->addItem(horizontalSpacer());
    page->addLayout(highRow);
    textHighFlags->hide();
    lineHighFlags->hide();
    page->addItem(verticalSpacer());
    tabData->addTab(tab_2, QString());
}

void myWidget::buildPropertiesPage()
{
    TabPage = named(new QWidget(tabData), "TabPage");
    TabPageLayout = new QGridLayout(TabPage);
    outer(TabPageLayout);
    auto label = [this](const char* name) { return named(new QLabel(TabPage), name); };
    auto field = [this](const char* name) { return named(new QLineEdit(TabPage), name); };

    textWeight = label("textWeight");
    lineWeight = field("lineWeight");
    textUnk = label("textUnk");
    lineUnk = field("lineUnk");
    textQuality = label("textQuality");
    lineQuality = field("lineQuality");
    textUnk1 = label("textUnk1");
    lineUnk1 = field("lineUnk1");
    textQuantity = label("textQuantity");
    lineQuantity = field("lineQuantity");
    textUnk2 = label("textUnk2");
    lineUnk2 = field("lineUnk2");
    textHeight = label("textHeight");
    lineHeight = field("lineHeight");
    textUnk3 = label("textUnk3");
    lineUnk3 = field("lineUnk3");
    textAnimid = label("textAnimid");
    lineAnimid = field("lineAnimid");
    textTexid = label("textTexid");
    lineTexid = field("lineTexid");
    textHue = label("textHue");
    lineHue = field("lineHue");

    const struct {
        QLabel* leftLabel;
        QLineEdit* leftField;
        QLabel* rightLabel;
        QLineEdit* rightField;
    } rows[] = {
        { textWeight, lineWeight, textUnk, lineUnk },
        { textQuality, lineQuality, textUnk1, lineUnk1 },
        { textQuantity, lineQuantity, textUnk2, lineUnk2 },
        { textHeight, lineHeight, textUnk3, lineUnk3 },
    };
    int row = 0;
    for (const auto& r : rows) {
        TabPageLayout->addWidget(r.leftLabel, row, 0);
        TabPageLayout->addWidget(r.leftField, row, 1);
        TabPageLayout->addWidget(r.rightLabel, row, 2);
        TabPageLayout->addWidget(r.rightField, row, 3, 1, 2);
        ++row;
    }
    TabPageLayout->addWidget(textAnimid, 4, 0);
    TabPageLayout->addWidget(lineAnimid, 4, 1);
    TabPageLayout->addWidget(textTexid, 4, 2, 1, 2);
    TabPageLayout->addWidget(lineTexid, 4, 4);
    TabPageLayout->addWidget(textHue, 5, 0);
    TabPageLayout->addWidget(lineHue, 5, 1);
    TabPageLayout->addItem(verticalSpacer(), 6, 0);
    TabPageLayout->setRowStretch(6, 1);
    tabData->addTab(TabPage, QString());
}

void myWidget::buildAnimPage()
{
    TabPage_2 = named(new QWidget(tabData), "TabPage_2");
    auto* page = new QVBoxLayout(TabPage_2);
    outer(page);

    auto* top = new QHBoxLayout();
    nested(top);
    textLabel1_2 = named(new QLabel(TabPage_2), "textLabel1_2");
    lineFrameCount = named(new QLineEdit(TabPage_2), "lineFrameCount");
    textLabel2 = named(new QLabel(TabPage_2), "textLabel2");
    lineFrameUnknown = named(new QLineEdit(TabPage_2), "lineFrameUnknown");
    top->addWidget(textLabel1_2);
    top->addWidget(lineFrameCount);
    top->addItem(horizontalSpacer());
    top->addWidget(textLabel2);
    top->addWidget(lineFrameUnknown);
    page->addLayout(top);

    groupBox2 = named(new QGroupBox(TabPage_2), "groupBox2");
    auto* intervals = new QGridLayout(groupBox2);
    outer(intervals);
    intervals->setAlignment(Qt::AlignTop);
    textLabel3 = named(new QLabel(groupBox2), "textLabel3");
    lineFrameStart = named(new QLineEdit(groupBox2), "lineFrameStart");
    textLabel4 = named(new QLabel(groupBox2), "textLabel4");
    lineFrameInterval = named(new QLineEdit(groupBox2), "lineFrameInterval");
    intervals->addWidget(textLabel3, 0, 0);
    intervals->addWidget(lineFrameStart, 0, 1);
    intervals->addWidget(textLabel4, 1, 0);
    intervals->addWidget(lineFrameInterval, 1, 1);
    page->addWidget(groupBox2);

    groupBox3 = named(new QGroupBox(TabPage_2), "groupBox3");
    auto* offsets = new QVBoxLayout(groupBox3);
    outer(offsets);
    offsets->setAlignment(Qt::AlignTop);
    table1 = named(new QTableWidget(kOffsetRows, 1, groupBox3), "table1");
    table1->horizontalHeader()->setStretchLastSection(true);
    // One line of text per offset: 64 rows should not need a long scroll.
    table1->verticalHeader()->setDefaultSectionSize(table1->fontMetrics().height() + 6);
    for (int r = 0; r < kOffsetRows; ++r)
        table1->setItem(r, 0, new QTableWidgetItem(QStringLiteral("0")));
    offsets->addWidget(table1);
    page->addWidget(groupBox3, 1);
    tabData->addTab(TabPage_2, QString());
}

void myWidget::buildButtons(QVBoxLayout* windowLayout)
{
    auto* row = new QHBoxLayout();
    nested(row);
    row->addItem(horizontalSpacer());
    pushButton3 = named(new QPushButton(this), "pushButton3");
    pushButton2 = named(new QPushButton(this), "pushButton2");
    pushButton1 = named(new QPushButton(this), "pushButton1");
    row->addWidget(pushButton3);
    row->addWidget(pushButton2);
    row->addWidget(pushButton1);
    windowLayout->addLayout(row);
}
