#include "huechooser.h"

#include "formlayout.h"
#include "pixels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSpinBox>

using namespace qm;

namespace {

constexpr int kStripWidth = 64;
constexpr int kStripHeight = 12;

} // namespace

HueChooser::HueChooser(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    form::nested(layout);
    m_number = form::named(new QSpinBox(this), "hueNumber");
    m_number->setRange(0, 0);
    m_list = form::named(new QComboBox(this), "hueList");
    m_list->setIconSize(QSize(kStripWidth, kStripHeight));
    m_list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_list->setMinimumContentsLength(16);
    m_partial = form::named(new QCheckBox(this), "huePartial");
    layout->addWidget(m_number);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_partial);

    // The field and the list show the same number; each change is announced once.
    connect(m_number, &QSpinBox::valueChanged, this, [this](int hue) {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentIndex(hue);
        emit changed();
    });
    connect(m_list, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_number->setValue(index);
    });
    connect(m_partial, &QCheckBox::toggled, this, &HueChooser::changed);
    fillList();
    retranslate();
}

void HueChooser::retranslate()
{
    m_number->setToolTip(form::text("The hue to preview the picture with; 0 shows its stored colours"));
    m_list->setItemText(0, form::text("No hue"));
    m_partial->setText(form::text("Partial"));
    m_partial->setToolTip(form::text("Hue grey pixels only, as the game does for statics with the Partial Hue flag"));
}

void HueChooser::setHues(const HueFile& hues)
{
    m_hues = hues;
    fillList();
}

void HueChooser::setHue(int number, const HueEntry& hue)
{
    if (!m_hues.contains(number))
        return;
    m_hues.hues[number - 1] = hue;
    m_list->setItemIcon(number, QPixmap::fromImage(strip(hue, kStripWidth, kStripHeight)));
    m_list->setItemText(number, itemText(number, hue));
    if (number == hueNumber())
        emit changed();
}

QString HueChooser::itemText(int number, const HueEntry& hue)
{
    return QStringLiteral("0x%1 (%2) %3").arg(number, 4, 16, QLatin1Char('0')).arg(number).arg(hue.name());
}

void HueChooser::fillList()
{
    const int kept = hueNumber() <= m_hues.count() ? hueNumber() : 0;
    {
        const QSignalBlocker listBlocker(m_list);
        const QSignalBlocker numberBlocker(m_number);
        m_list->clear();
        m_list->addItem(form::text("No hue"));
        for (int h = 1; h <= m_hues.count(); ++h) {
            const HueEntry& hue = *m_hues.hue(h);
            m_list->addItem(QPixmap::fromImage(strip(hue, kStripWidth, kStripHeight)), itemText(h, hue));
        }
        m_number->setRange(0, m_hues.count());
        m_number->setValue(kept);
        m_list->setCurrentIndex(kept);
    }
}

int HueChooser::hueNumber() const
{
    return m_number->value();
}

void HueChooser::setHueNumber(int hue)
{
    m_number->setValue(hue);
}

HueMode HueChooser::mode() const
{
    return m_partial->isChecked() ? HueMode::Partial : HueMode::Full;
}

void HueChooser::setMode(HueMode mode)
{
    m_partial->setChecked(mode == HueMode::Partial);
}

QImage HueChooser::strip(const HueEntry& hue, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        const QRgb color = color16ToRgb(qint16(hue.colors[size_t(x * kHueColorCount / width)]));
        for (int y = 0; y < height; ++y)
            image.setPixel(x, y, color);
    }
    return image;
}
