#pragma once

#include <QString>
#include <QtGlobal>

// How the editor's edit boxes show and read numbers. Reading is lenient on purpose: whatever
// the user typed becomes some value, nothing is refused.

// An unsigned field: "0x"/"0X" followed by hexadecimal, or decimal; anything else, empty text
// included, gives 0. Only the low `bits` bits (8 or 16) are kept, so 300 in a byte is 44.
quint32 readUnsignedField(const QString& text, int bits);

// A signed byte of the animation page: decimal only, anything else gives 0; the low 8 bits
// are kept, so 200 becomes -56 and -129 becomes 127.
qint8 readSignedByte(const QString& text);

// "0x" + lower-case hexadecimal without leading zeros: 31 shows as 0x1f.
QString hexText(quint32 value);
