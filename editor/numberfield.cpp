#include "numberfield.h"

#include "typednumber.h"

#include <QLineEdit>
#include <QPalette>


namespace {

const char kUnacceptable[] = "unacceptableEntry";

QString rangeText(const NumberRange& range)
{
    return QStringLiteral("%1 to %2, decimal or 0x hex").arg(range.min).arg(range.max);
}

void markBox(QLineEdit* box, const NumberRange& range)
{
    const bool bad = !box->hasAcceptableInput();
    if (box->property(kUnacceptable).toBool() == bad)
        return;
    box->setProperty(kUnacceptable, bad);
    QPalette palette = box->parentWidget() ? box->parentWidget()->palette() : QPalette();
    if (bad)
        palette.setColor(QPalette::Base, QColor(255, 205, 205));
    box->setPalette(palette);
    box->setToolTip(bad ? QLineEdit::tr("Takes %1").arg(rangeText(range)) : QString());
}

} // namespace

bool readNumberField(const QString& text, const NumberRange& range, qint64* value)
{
    qint64 v = 0;
    if (!qm::parseNumber(text, range.min, range.max, &v))
        return false;
    if (value)
        *value = v;
    return true;
}

QString numberFieldProblem(const QString& fieldName, const QString& text, const NumberRange& range)
{
    if (readNumberField(text, range, nullptr))
        return QString();
    return QStringLiteral("'%1' is no value for %2 (%3)").arg(text.trimmed(), fieldName, rangeText(range));
}

NumberFieldValidator::NumberFieldValidator(const NumberRange& range, QObject* parent)
    : QValidator(parent)
    , m_range(range)
{
}

QValidator::State NumberFieldValidator::validate(QString& input, int&) const
{
    return readNumberField(input, m_range, nullptr) ? Acceptable : Intermediate;
}

void makeNumberField(QLineEdit* box, const NumberRange& range)
{
    box->setValidator(new NumberFieldValidator(range, box));
    QObject::connect(box, &QLineEdit::textChanged, box, [box, range] { markBox(box, range); });
    markBox(box, range);
}

bool isMarkedUnacceptable(const QLineEdit* box)
{
    return box->property(kUnacceptable).toBool();
}

NumberFieldDelegate::NumberFieldDelegate(const NumberRange& range, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_range(range)
{
}

QWidget* NumberFieldDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex&) const
{
    auto* box = new QLineEdit(parent);
    box->setFrame(false);
    makeNumberField(box, m_range);
    return box;
}

quint32 readUnsignedField(const QString& text, int bits)
{
    quint64 value = 0;
    if (!qm::parseUnsignedNumber(text, ~quint64(0), &value))
        return 0;
    const qulonglong mask = (qulonglong(1) << bits) - 1;
    return quint32(value & mask);
}

qint8 readSignedByte(const QString& text)
{
    qint64 value = 0;
    return readNumberField(text, NumberRange::animationByte(), &value) ? qint8(quint8(value & 0xff))
                                                                        : qint8(0);
}

QString hexText(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16);
}
