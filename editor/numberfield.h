#pragma once

#include <QString>
#include <QStyledItemDelegate>
#include <QValidator>
#include <QtGlobal>

class QLineEdit;

// How the editor's edit boxes show and read numbers.

// What a number field takes: whole numbers from `min` to `max`, typed in decimal or in
// hexadecimal after "0x"/"0X" (surrounding white space ignored, a minus sign only in
// decimal).
struct NumberRange {
    qint64 min = 0;
    qint64 max = 0;

    // 0 .. 2^bits - 1: a tile property of that many bits.
    static NumberRange unsignedBits(int bits) { return { 0, (qint64(1) << bits) - 1 }; }
    // -128 .. 255: an animation value, read as a signed byte or as its unsigned spelling.
    static NumberRange animationByte() { return { -128, 255 }; }
};

// The value of `text`, or false when it is no number or lies outside `range`.
bool readNumberField(const QString& text, const NumberRange& range, qint64* value);

// Why `text` is no value for the field called `fieldName`, in the words qmtool uses;
// empty when it is one.
QString numberFieldProblem(const QString& fieldName, const QString& text, const NumberRange& range);

// Acceptable for a number in range; anything else is Intermediate, so what the user typed
// stays visible (and marked) until it is corrected.
class NumberFieldValidator : public QValidator {
    Q_OBJECT

public:
    NumberFieldValidator(const NumberRange& range, QObject* parent);
    State validate(QString& input, int& pos) const override;
    NumberRange range() const { return m_range; }

private:
    NumberRange m_range;
};

// Gives `box` a validator for `range` and marks it (a reddish background and a tool tip
// saying what it takes) whenever its text is not acceptable.
void makeNumberField(QLineEdit* box, const NumberRange& range);
// Whether a box made by makeNumberField is marked as holding an unacceptable entry.
bool isMarkedUnacceptable(const QLineEdit* box);

// Table cells edited through number fields of one range.
class NumberFieldDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    NumberFieldDelegate(const NumberRange& range, QObject* parent);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

private:
    NumberRange m_range;
};

// The lenient reading of stored text, for values that were validated before they got there:
// an unsigned field ("0x" hexadecimal or decimal, anything else 0), low `bits` bits kept.
quint32 readUnsignedField(const QString& text, int bits);

// A signed byte of the animation page, decimal or "0x" hexadecimal; the low 8 bits are
// kept, so 200 becomes -56; anything else gives 0.
qint8 readSignedByte(const QString& text);

// "0x" + lower-case hexadecimal without leading zeros: 31 shows as 0x1f.
QString hexText(quint32 value);
