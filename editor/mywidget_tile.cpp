// The "General" and "Properties" pages: a tile record's name, flags and numbers.
#include "mywidget.h"

#include "itemkind.h"
#include "numberfield.h"
#include "tilefields.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace qm;

namespace {

// The edit box of each numeric tile field; widths, bases and record access come from the
// one description of the tile record.
struct TileBox {
    QLineEdit* myWidget::*box;
    QLabel* myWidget::*label;
    const char* field;
};

// In the order the fields are read back.
const TileBox kTileBoxes[] = {
    { &myWidget::lineTexid, &myWidget::textTexid, "texid" },
    { &myWidget::lineHue, &myWidget::textHue, "hue" },
    { &myWidget::lineWeight, &myWidget::textWeight, "weight" },
    { &myWidget::lineQuality, &myWidget::textQuality, "quality" },
    { &myWidget::lineQuantity, &myWidget::textQuantity, "quantity" },
    { &myWidget::lineAnimid, &myWidget::textAnimid, "animid" },
    { &myWidget::lineHeight, &myWidget::textHeight, "height" },
    { &myWidget::lineUnk, &myWidget::textUnk, "unk" },
    { &myWidget::lineUnk1, &myWidget::textUnk1, "unk1" },
    { &myWidget::lineUnk2, &myWidget::textUnk2, "unk2" },
    { &myWidget::lineUnk3, &myWidget::textUnk3, "unk3" },
};

// The range a field's box takes: what its bytes in the record hold.
NumberRange rangeOf(const TileField& field)
{
    return NumberRange::unsignedBits(8 * tileFieldBytes(field, kClassicTileFlagsBytes));
}

// The field a box edits, whichever kind of record carries it.
const TileField* fieldOfBox(const TileBox& b)
{
    const TileField* field = findTileField(Static, QLatin1String(b.field));
    return field ? field : findTileField(Land, QLatin1String(b.field));
}

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

QList<QLineEdit*> myWidget::staticFields() const
{
    QList<QLineEdit*> boxes;
    for (const TileBox& b : kTileBoxes)
        if (findTileField(Static, QLatin1String(b.field)))
            boxes << this->*b.box;
    return boxes;
}

void myWidget::makeTileNumberFields()
{
    for (const TileBox& b : kTileBoxes)
        if (const TileField* field = fieldOfBox(b))
            makeNumberField(this->*b.box, rangeOf(*field));
    makeNumberField(lineHighFlags, kHighFlagsRange);
}

QString myWidget::tileFieldProblem() const
{
    if (tileReadOnly || !hasTileData(kind))
        return QString();
    for (const TileBox& b : kTileBoxes) {
        const TileField* field = findTileField(kind, QLatin1String(b.field));
        if (!field)
            continue;
        const QString problem = numberFieldProblem((this->*b.label)->text(), (this->*b.box)->text(), rangeOf(*field));
        if (!problem.isEmpty())
            return problem;
    }
    if (wideFlags)
        return numberFieldProblem(textHighFlags->text(), lineHighFlags->text(), kHighFlagsRange);
    return QString();
}

// Calls `visit(box, field)` for each numeric box of this item's kind.
template <typename Visit>
void myWidget::forEachTileBox(Visit&& visit) const
{
    for (const TileBox& b : kTileBoxes)
        if (const TileField* field = findTileField(kind, QLatin1String(b.field)))
            visit(this->*b.box, *field);
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

// Fields the user changed and has not applied keep what the user typed; the others show
// the new record at once.
void myWidget::setTile(int itemKind, int itemId, tile_struct& data)
{
    if (itemKind != kind || itemId != id)
        return;
    const bool keepFlags = flagWord != lowFlags(tile.flags);
    tile = data;
    if (!keepFlags) {
        flagWord = lowFlags(tile.flags);
        setFlags(int(flagWord));
    }
    // setText clears each box's modified mark: filled boxes do not count as edited.
    if (!lineName->isModified())
        lineName->setText(tile.name);
    if (!lineHighFlags->isModified())
        lineHighFlags->setText(hexText(highFlags(tile.flags)));
    forEachTileBox([this](QLineEdit* box, const TileField& field) {
        if (box->isModified())
            return;
        const quint64 v = field.get(tile);
        box->setText(field.hex ? hexText(quint32(v)) : QString::number(v));
    });
}

bool myWidget::tilePageEdited() const
{
    bool edited = flagWord != lowFlags(tile.flags) || lineName->isModified()
        || (wideFlags && lineHighFlags->isModified());
    forEachTileBox([&edited](QLineEdit* box, const TileField&) { edited = edited || box->isModified(); });
    return edited;
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
    // The boxes drive the low 32 bits; the high field, shown for the wide layout alone, the
    // others. Where it is hidden they stay as they are.
    quint64 high = highFlags(t.flags);
    if (wideFlags && takeModified(lineHighFlags))
        high = readUnsignedField(lineHighFlags->text(), kFlagBoxBits);
    const quint64 flags = (high << kFlagBoxBits) | flagWord;
    if (t.flags != flags) {
        t.flags = flags;
        changed = true;
    }
    if (takeModified(lineName)) {
        t.name = lineName->text();
        changed = true;
    }
    forEachTileBox([&](QLineEdit* box, const TileField& field) {
        if (takeModified(box)) {
            field.set(t, readUnsignedField(box->text(), 8 * tileFieldBytes(field, kClassicTileFlagsBytes)));
            changed = true;
        }
    });
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
