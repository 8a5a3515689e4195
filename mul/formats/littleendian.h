#pragma once

#include <QByteArray>
#include <QtEndian>

namespace qm {

// Explicit little-endian access to raw record bytes. Callers check bounds first.
inline qint16 readI16(const char* p) { return qFromLittleEndian<qint16>(p); }
inline quint16 readU16(const char* p) { return qFromLittleEndian<quint16>(p); }
inline qint32 readI32(const char* p) { return qFromLittleEndian<qint32>(p); }
inline quint32 readU32(const char* p) { return qFromLittleEndian<quint32>(p); }

inline void appendU16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian<quint16>(v, b);
    out.append(b, 2);
}
inline void appendU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian<quint32>(v, b);
    out.append(b, 4);
}
inline void writeU16(char* p, quint16 v) { qToLittleEndian<quint16>(v, p); }
inline void writeU32(char* p, quint32 v) { qToLittleEndian<quint32>(v, p); }

} // namespace qm
