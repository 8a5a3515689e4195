// The "General" and "Properties" pages: a tile record's name, flags and numbers.
#include "mywidget.h"

#include "itemkind.h"
#include "numberfield.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace qm;

namespace {

// Where each numeric field of a static record is shown, its width, its base, and how it is
// taken from and put into the record.
struct StaticField {
    QLineEdit* myWidget::*box;
    int bits;
    bool hex;
    quint32 (*get)(const tile_struct&);
    void (*put)(tile_struct&, quint32);
};

#define QM_FIELD(box, member, bits, hex)                                                  \
    {                                                                                     \
        &myWidget::box, bits, hex, [](const tile_struct& t) { return quint32(t.member); }, \
            [](tile_struct& t, quint32 v) { t.member = decltype(t.member)(v); }            \
    }

// In the order the fields are read back.
const StaticField kStaticFields[] = {
    QM_FIELD(lineHue, hue, 8, true),         QM_FIELD(lineWeight, weight, 8, false),
    QM_FIELD(lineQuality, quality, 8, true), QM_FIELD(lineQuantity, quantity, 8, true),
    QM_FIELD(lineAnimid, animid, 16, false), QM_FIELD(lineHeight, height, 8, false),
    QM_FIELD(lineUnk, unk, 16, true),        QM_FIELD(lineUnk1, unk1, 8, true),
    QM_FIELD(lineUnk2, unk2, 16, true),      QM_FIELD(lineUnk3, unk3, 8, true),
};
#undef QM_FIELD

// Takes the user's modified mark off a field; true when it was set.
bool takeModified(QLineEdit* box)
{
    const bool modified = box->isModified();
    box->setModified(false);
    return modified;
}

} // namespace

QList<QLineEdit*> myWidget::staticFields() const
{
    QList<QLineEdit*> boxes;
    for (const StaticField& f : kStaticFields)
        boxes << this->*f.box;
    return boxes;
}

void myWidget::connectFlagBoxes()
{
    using FlagSlot = void (myWidget::*)(bool);
    static const FlagSlot flagSlots[32] = {
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
    for (int bit = 0; bit < 32; ++bit)
        connect(flagBoxes[bit], &QCheckBox::toggled, this, flagSlots[bit]);
}

void myWidget::setTile(int itemKind, int itemId, tile_struct& data)
{
    if (itemKind != kind || itemId != id)
        return;
    tile = data;
    flagWord = tile.flags;
    setFlags(int(flagWord));
    // setText clears each box's modified mark: filled boxes do not count as edited.
    lineName->setText(tile.name);
    if (kind == Land) {
        lineTexid->setText(hexText(tile.texid));
    } else if (kind == Static) {
        for (const StaticField& f : kStaticFields) {
            const quint32 v = f.get(tile);
            (this->*f.box)->setText(f.hex ? hexText(v) : QString::number(v));
        }
    }
}

void myWidget::setFlags(int flags)
{
    for (int bit = 0; bit < 32; ++bit)
        flagBoxes[bit]->setChecked(quint32(flags) & (quint32(1) << bit));
}

void myWidget::setFlag(int bit, bool state)
{
    const quint32 mask = quint32(1) << (quint32(bit) % 32);
    if (state)
        flagWord |= mask;
    else
        flagWord &= ~mask;
}

bool myWidget::readTile(tile_struct& t)
{
    bool changed = false;
    if (t.flags != flagWord) {
        t.flags = flagWord;
        changed = true;
    }
    if (takeModified(lineName)) {
        t.name = lineName->text();
        changed = true;
    }
    if (kind == Land) {
        if (takeModified(lineTexid)) {
            t.texid = quint16(readUnsignedField(lineTexid->text(), 16));
            changed = true;
        }
        return changed;
    }
    if (kind == Static) {
        for (const StaticField& f : kStaticFields) {
            QLineEdit* box = this->*f.box;
            if (takeModified(box)) {
                f.put(t, readUnsignedField(box->text(), f.bits));
                changed = true;
            }
        }
    }
    return changed;
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
