#pragma once

#include <QtGlobal>

namespace qm {

// Adler-32, the zlib stream's checksum of the bytes it holds, kept as the pixel stream is
// written: a pixel, a run of one pixel and a repeated row each update it in a few steps
// instead of byte by byte. Sums grow unreduced in 64 bits between reductions.
struct Adler32Sums {
    static constexpr quint64 kModulus = 65521;

    // The four bytes of one pixel.
    void add(quint32 b0, quint32 b1, quint32 b2, quint32 b3)
    {
        b += 4 * a + 4 * b0 + 3 * b1 + 2 * b2 + b3;
        a += b0 + b1 + b2 + b3;
    }
    void addZero() { b += a; }
    // The same four bytes `n` times. Byte t of copy k sits 4k + t bytes into the 4n, and
    // adds itself to every sum after it: n (2n + 2 - t) times over all copies.
    void addRepeated(quint64 n, quint32 b0, quint32 b1, quint32 b2, quint32 b3)
    {
        reduce();
        const quint64 m = n % kModulus;
        const quint64 sum = b0 + b1 + b2 + b3;
        const quint64 weighted = ((2 * m + 2) * sum + 3 * kModulus * 1024 - (b1 + 2 * b2 + 3 * b3)) % kModulus;
        b += (4 * m % kModulus) * a + m * weighted;
        a += m * sum;
        reduce();
    }
    // A segment of `length` bytes whose own sums were `segment` (taken with since()).
    void addSegment(quint64 length, const Adler32Sums& segment)
    {
        reduce();
        b += (length % kModulus) * a + segment.b;
        a += segment.a;
        reduce();
    }
    // The sums of the bytes added since `start`, a copy taken then, as if added to a fresh start of 0.
    Adler32Sums since(const Adler32Sums& start, quint64 length) const
    {
        Adler32Sums s;
        s.a = (a % kModulus + kModulus - start.a % kModulus) % kModulus;
        const quint64 shifted = (length % kModulus) * (start.a % kModulus) % kModulus;
        s.b = (b % kModulus + 2 * kModulus - start.b % kModulus - shifted) % kModulus;
        return s;
    }
    void reduce()
    {
        a %= kModulus;
        b %= kModulus;
    }
    quint32 value()
    {
        reduce();
        return quint32(b << 16 | a);
    }

    quint64 a = 1;
    quint64 b = 0;
};

} // namespace qm
