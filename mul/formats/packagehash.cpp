#include "packagehash.h"

#include "littleendian.h"

namespace qm {

namespace {

constexpr quint32 rot(quint32 x, int k) { return (x << k) | (x >> (32 - k)); }

void mix(quint32& a, quint32& b, quint32& c)
{
    a -= c; a ^= rot(c, 4);  c += b;
    b -= a; b ^= rot(a, 6);  a += c;
    c -= b; c ^= rot(b, 8);  b += a;
    a -= c; a ^= rot(c, 16); c += b;
    b -= a; b ^= rot(a, 19); a += c;
    c -= b; c ^= rot(b, 4);  b += a;
}

void finalMix(quint32& a, quint32& b, quint32& c)
{
    c ^= b; c -= rot(b, 14);
    a ^= c; a -= rot(c, 11);
    b ^= a; b -= rot(a, 25);
    c ^= b; c -= rot(b, 16);
    a ^= c; a -= rot(c, 4);
    b ^= a; b -= rot(a, 14);
    c ^= b; c -= rot(b, 24);
}

} // namespace

NameHashPair hashLittle2(const char* bytes, qsizetype length, quint32 initPrimary,
                         quint32 initSecondary)
{
    quint32 a = 0xdeadbeefu + quint32(length) + initPrimary;
    quint32 b = a;
    quint32 c = a + initSecondary;
    while (length > 12) {
        a += readU32(bytes);
        b += readU32(bytes + 4);
        c += readU32(bytes + 8);
        mix(a, b, c);
        bytes += 12;
        length -= 12;
    }
    if (length == 0)
        return { c, b };
    // The tail, zero-padded to three whole words.
    char tail[12] = {};
    for (qsizetype i = 0; i < length; ++i)
        tail[i] = bytes[i];
    a += readU32(tail);
    b += readU32(tail + 4);
    c += readU32(tail + 8);
    finalMix(a, b, c);
    return { c, b };
}

quint64 packageNameHash(const QByteArray& name)
{
    const NameHashPair h = hashLittle2(name.constData(), name.size());
    return quint64(h.primary) | (quint64(h.secondary) << 32);
}

} // namespace qm
