#include "tilepropertiespage.h"

#include "formlayout.h"
#include "itemkind.h"
#include "numberfield.h"
#include "tilefields.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace qm;

namespace {

// One field of the page: its widgets' object names, its caption, the record field it edits
// and its place in the page's grid.
struct FieldLayout {
    const char* labelName;
    const char* boxName;
    const char* caption;
    const char* field;
    int row;
    int labelColumn;
    int labelSpan;
    int boxColumn;
    int boxSpan;
};

// In the order the fields are read back.
const FieldLayout kFieldLayouts[] = {
    { "textTexid", "lineTexid", QT_TRANSLATE_NOOP("myWidget", "Texture ID"), "texid", 4, 2, 2, 4, 1 },
    { "textHue", "lineHue", QT_TRANSLATE_NOOP("myWidget", "Hue"), "hue", 5, 0, 1, 1, 1 },
    { "textWeight", "lineWeight", QT_TRANSLATE_NOOP("myWidget", "Weight"), "weight", 0, 0, 1, 1, 1 },
    { "textQuality", "lineQuality", QT_TRANSLATE_NOOP("myWidget", "Quality"), "quality", 1, 0, 1, 1, 1 },
    { "textQuantity", "lineQuantity", QT_TRANSLATE_NOOP("myWidget", "Quantity"), "quantity", 2, 0, 1, 1, 1 },
    { "textAnimid", "lineAnimid", QT_TRANSLATE_NOOP("myWidget", "Anim ID"), "animid", 4, 0, 1, 1, 1 },
    { "textHeight", "lineHeight", QT_TRANSLATE_NOOP("myWidget", "Height"), "height", 3, 0, 1, 1, 1 },
    { "textUnk", "lineUnk", QT_TRANSLATE_NOOP("myWidget", "Unknown"), "unk", 0, 2, 1, 3, 2 },
    { "textUnk1", "lineUnk1", QT_TRANSLATE_NOOP("myWidget", "Unknown1"), "unk1", 1, 2, 1, 3, 2 },
    { "textUnk2", "lineUnk2", QT_TRANSLATE_NOOP("myWidget", "Unknown2"), "unk2", 2, 2, 1, 3, 2 },
    { "textUnk3", "lineUnk3", QT_TRANSLATE_NOOP("myWidget", "Unknown3"), "unk3", 3, 2, 1, 3, 2 },
};

// The field a box edits, whichever kind of record carries it.
const TileField* anyKindField(const char* name)
{
    const TileField* field = findTileField(Static, QLatin1String(name));
    return field ? field : findTileField(Land, QLatin1String(name));
}

// The range a field's box takes: what its bytes in the record hold.
NumberRange rangeOf(const TileField& field)
{
    return NumberRange::unsignedBits(8 * tileFieldBytes(field, kClassicTileFlagsBytes));
}

} // namespace

TilePropertiesPage::TilePropertiesPage(QWidget* parent)
    : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    form::outer(grid);
    for (const FieldLayout& f : kFieldLayouts) {
        Field field { form::named(new QLabel(this), f.labelName), form::named(new QLineEdit(this), f.boxName),
                      nullptr, f.caption, f.field };
        grid->addWidget(field.label, f.row, f.labelColumn, 1, f.labelSpan);
        grid->addWidget(field.box, f.row, f.boxColumn, 1, f.boxSpan);
        if (const TileField* recordField = anyKindField(f.field))
            makeNumberField(field.box, rangeOf(*recordField));
        connect(field.box, &QLineEdit::textEdited, this, &TilePropertiesPage::edited);
        m_fields << field;
    }
    grid->addItem(form::verticalSpacer(), 6, 0);
    grid->setRowStretch(6, 1);
    retranslate();
}

void TilePropertiesPage::retranslate()
{
    for (const Field& f : m_fields)
        f.label->setText(form::text(f.caption));
}

void TilePropertiesPage::setKind(int kind)
{
    m_kind = kind;
    for (Field& f : m_fields) {
        f.field = findTileField(kind, QLatin1String(f.name));
        // A kind without tile data has no such page; its fields stay as built.
        if (hasTileData(kind)) {
            f.label->setVisible(f.field);
            f.box->setVisible(f.field);
        }
    }
}

void TilePropertiesPage::load(const tile_struct& record)
{
    for (const Field& f : m_fields) {
        if (!f.field || f.box->isModified())
            continue;
        // setText clears the box's modified mark: a filled box does not count as edited.
        const quint64 v = f.field->get(record);
        f.box->setText(f.field->hex ? hexText(quint32(v)) : QString::number(v));
    }
}

bool TilePropertiesPage::hasUnappliedEdits() const
{
    if (m_readOnly)
        return false;
    for (const Field& f : m_fields)
        if (f.field && f.box->isModified())
            return true;
    return false;
}

bool TilePropertiesPage::readInto(tile_struct& record)
{
    if (m_readOnly)
        return false;
    bool changed = false;
    for (const Field& f : m_fields) {
        if (!f.field || !f.box->isModified())
            continue;
        f.box->setModified(false);
        f.field->set(record, readUnsignedField(f.box->text(), 8 * tileFieldBytes(*f.field, kClassicTileFlagsBytes)));
        changed = true;
    }
    return changed;
}

void TilePropertiesPage::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    for (const Field& f : m_fields)
        f.box->setReadOnly(readOnly);
}

QString TilePropertiesPage::problem() const
{
    if (m_readOnly)
        return QString();
    for (const Field& f : m_fields) {
        if (!f.field)
            continue;
        const QString problem = numberFieldProblem(f.label->text(), f.box->text(), rangeOf(*f.field));
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}
