#include "typednumber.h"

#include <limits>

namespace qm {

namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int v = 16;
    if (u >= u'0' && u <= u'9')
        v = u - u'0';
    else if (u >= u'a' && u <= u'f')
        v = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        v = u - u'A' + 10;
    return v < base ? v : -1;
}

// The digits of `text` from `from` on in `base`; false for no digits, any other character or
// more than 64 bits.
bool readDigits(const QString& text, qsizetype from, int base, quint64* magnitude)
{
    if (from >= text.size())
        return false;
    quint64 v = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const int d = digitValue(text[i], base);
        if (d < 0 || v > (std::numeric_limits<quint64>::max() - quint64(d)) / quint64(base))
            return false;
        v = v * quint64(base) + quint64(d);
    }
    *magnitude = v;
    return true;
}

// The number's sign and size as typed.
bool readTyped(const QString& typed, bool* negative, quint64* magnitude)
{
    const QString t = typed.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        *negative = false;
        return readDigits(t, 2, 16, magnitude);
    }
    *negative = t.startsWith(QLatin1Char('-'));
    return readDigits(t, *negative ? 1 : 0, 10, magnitude);
}

} // namespace

bool parseNumber(const QString& text, qint64 min, qint64 max, qint64* value)
{
    bool negative = false;
    quint64 magnitude = 0;
    if (!readTyped(text, &negative, &magnitude))
        return false;
    constexpr quint64 kLargest = quint64(std::numeric_limits<qint64>::max());
    if (magnitude > kLargest + (negative ? 1 : 0))
        return false;
    const qint64 v = negative ? qint64(0 - magnitude) : qint64(magnitude);
    if (v < min || v > max)
        return false;
    *value = v;
    return true;
}

bool parseUnsignedNumber(const QString& text, quint64 max, quint64* value)
{
    bool negative = false;
    quint64 magnitude = 0;
    if (!readTyped(text, &negative, &magnitude) || (negative && magnitude != 0) || magnitude > max)
        return false;
    *value = magnitude;
    return true;
}

} // namespace qm
