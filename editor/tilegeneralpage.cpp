#include "tilegeneralpage.h"

#include "formlayout.h"
#include "numberfield.h"
#include "tileflags.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using namespace qm;

namespace {

// The high flags field holds bits 32 to 63 of a wide record's flags.
constexpr int kFlagBoxBits = 32;
const NumberRange kHighFlagsRange = NumberRange::unsignedBits(kFlagBoxBits);

quint32 lowFlags(quint64 flags) { return quint32(flags); }
quint32 highFlags(quint64 flags) { return quint32(flags >> kFlagBoxBits); }

// Takes the user's modified mark off a field; true when it was set.
bool takeModified(QLineEdit* box)
{
    const bool modified = box->isModified();
    box->setModified(false);
    return modified;
}

} // namespace

TileGeneralPage::TileGeneralPage(QWidget* parent)
    : QWidget(parent)
{
    auto* page = new QVBoxLayout(this);
    form::outer(page);

    auto* nameRow = new QHBoxLayout();
    form::nested(nameRow);
    nameRow->addItem(form::horizontalSpacer());
    m_nameLabel = form::named(new QLabel(this), "textLabel1");
    nameRow->addWidget(m_nameLabel);
    m_name = form::named(new QLineEdit(this), "lineName");
    m_name->setMaxLength(20);
    // The name is stored as 20 Latin-1 bytes; other characters could not be written back.
    m_name->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{0001}-\\x{00ff}]*")), m_name));
    nameRow->addWidget(m_name);
    nameRow->addItem(form::horizontalSpacer());
    page->addLayout(nameRow);

    m_flagGroup = form::named(new QGroupBox(this), "groupBox1");
    auto* flags = new QGridLayout(m_flagGroup);
    form::outer(flags);
    flags->setAlignment(Qt::AlignTop);
    for (int bit = 0; bit < kTileFlagCount; ++bit) {
        m_boxes[bit] = form::named(new QCheckBox(m_flagGroup), kTileFlags[bit].boxName);
        flags->addWidget(m_boxes[bit], bit % 8, bit / 8);
        connect(m_boxes[bit], &QCheckBox::toggled, this, [this, bit](bool on) { setFlag(bit, on); });
        connect(m_boxes[bit], &QCheckBox::clicked, this, &TileGeneralPage::edited);
    }
    page->addWidget(m_flagGroup);

    // Flag bits 32 to 63, which only the wide tile data layout stores: shown for it alone.
    auto* highRow = new QHBoxLayout();
    form::nested(highRow);
    m_highLabel = form::named(new QLabel(this), "textHighFlags");
    m_high = form::named(new QLineEdit(this), "lineHighFlags");
    m_highLabel->setBuddy(m_high);
    highRow->addWidget(m_highLabel);
    highRow->addWidget(m_high);
    highRow->addItem(form::horizontalSpacer());
    page->addLayout(highRow);
    m_highLabel->hide();
    m_high->hide();
    makeNumberField(m_high, kHighFlagsRange);
    page->addItem(form::verticalSpacer());

    connect(m_name, &QLineEdit::textEdited, this, &TileGeneralPage::edited);
    connect(m_high, &QLineEdit::textEdited, this, &TileGeneralPage::edited);
    retranslate();
}

void TileGeneralPage::retranslate()
{
    m_nameLabel->setText(form::text("Name"));
    m_flagGroup->setTitle(form::text("Flags"));
    m_highLabel->setText(form::text("High flags"));
    m_highLabel->setToolTip(form::text("Flag bits 32 to 63, which the wide tiledata.mul stores (0x1 is bit 32)"));
    for (int bit = 0; bit < kTileFlagCount; ++bit)
        m_boxes[bit]->setText(form::text(kTileFlags[bit].caption));
}

void TileGeneralPage::load(const tile_struct& record)
{
    const bool keepFlags = m_flagWord != lowFlags(m_shownFlags);
    m_shownFlags = record.flags;
    if (!keepFlags) {
        m_flagWord = lowFlags(record.flags);
        setFlags(m_flagWord);
    }
    // setText clears each box's modified mark: filled boxes do not count as edited.
    if (!m_name->isModified())
        m_name->setText(record.name);
    if (!m_high->isModified())
        m_high->setText(hexText(highFlags(record.flags)));
}

bool TileGeneralPage::hasUnappliedEdits() const
{
    return !m_readOnly
        && (m_flagWord != lowFlags(m_shownFlags) || m_name->isModified() || (m_wide && m_high->isModified()));
}

bool TileGeneralPage::readInto(tile_struct& record)
{
    if (m_readOnly)
        return false;
    bool changed = false;
    // The boxes drive the low 32 bits; the high field, shown for the wide layout alone, the
    // others. Where it is hidden they stay as they are.
    quint64 high = highFlags(record.flags);
    if (m_wide && takeModified(m_high))
        high = readUnsignedField(m_high->text(), kFlagBoxBits);
    const quint64 flags = (high << kFlagBoxBits) | m_flagWord;
    if (record.flags != flags) {
        record.flags = flags;
        changed = true;
    }
    m_shownFlags = record.flags;
    if (takeModified(m_name)) {
        record.name = m_name->text();
        changed = true;
    }
    return changed;
}

void TileGeneralPage::setFlag(int bit, bool on)
{
    const quint32 mask = quint32(1) << (quint32(bit) % 32);
    if (on)
        m_flagWord |= mask;
    else
        m_flagWord &= ~mask;
}

void TileGeneralPage::setFlags(quint32 flags)
{
    for (int bit = 0; bit < kTileFlagCount; ++bit)
        m_boxes[bit]->setChecked(flags & (quint32(1) << bit));
}

void TileGeneralPage::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_name->setReadOnly(readOnly);
    m_high->setReadOnly(readOnly);
    for (QCheckBox* box : m_boxes)
        box->setEnabled(!readOnly);
}

void TileGeneralPage::setShowsHighFlags(bool shown)
{
    m_wide = shown;
    m_highLabel->setVisible(shown);
    m_high->setVisible(shown);
}

QString TileGeneralPage::problem() const
{
    if (m_readOnly || !m_wide)
        return QString();
    return numberFieldProblem(m_highLabel->text(), m_high->text(), kHighFlagsRange);
}
