#pragma once

#include <QString>
#include <QtGlobal>

namespace qm {

// The one reading of a number a user typed (an id, a field, a command argument): decimal,
// with a leading minus sign for negative numbers, or hexadecimal after "0x" or "0X" with no
// sign after the prefix; white space around it is ignored, inside it is not. False, with
// `value` untouched, for anything else, for a number past 64 bits and for one outside
// min..max.
bool parseNumber(const QString& text, qint64 min, qint64 max, qint64* value);
// The same for unsigned numbers of up to 64 bits (tile flags).
bool parseUnsignedNumber(const QString& text, quint64 max, quint64* value);

} // namespace qm
