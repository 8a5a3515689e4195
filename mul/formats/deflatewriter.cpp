#include "deflatewriter.h"

#include "huffmanlengths.h"

#include <algorithm>
#include <cstring>

namespace qm {

namespace {

constexpr int kLengthBase[29] = { 3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258 };
constexpr int kLengthExtra[29] = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0 };
constexpr int kDistanceBase[30] = { 1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577 };
constexpr int kDistanceExtra[30] = { 0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13 };
// The order in which a dynamic block lists the code lengths of its code-length alphabet.
constexpr int kCodeLengthOrder[19] = { 16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15 };
constexpr int kEndOfBlock = 256;

struct Tables {
    quint8 lengthCode[259] = {};   // by match length: index into kLengthBase
    quint8 distanceCode[32769] = {};

    constexpr Tables()
    {
        for (int code = 0; code < 29; ++code) {
            const int end = code + 1 < 29 ? kLengthBase[code + 1] : 259;
            for (int len = kLengthBase[code]; len < end; ++len)
                lengthCode[len] = quint8(code);
        }
        lengthCode[258] = 28;   // 258 has a code of its own, not the last of 227's range
        for (int code = 0; code < 30; ++code) {
            const int end = code + 1 < 30 ? kDistanceBase[code + 1] : 32769;
            for (int d = kDistanceBase[code]; d < end; ++d)
                distanceCode[d] = quint8(code);
        }
    }
};

constexpr Tables kTables;
static_assert(kTables.lengthCode[257] == 27 && kTables.lengthCode[258] == 28 && kTables.distanceCode[4] == 3
                  && kTables.distanceCode[32768] == 29,
              "length and distance codes as deflate defines them");

// The fixed code's lengths: literals 0-143 eight bits, 144-255 nine, 256-279 seven, the rest eight.
int fixedLiteralLength(int symbol)
{
    return symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
}

} // namespace

void DeflateWriter::begin(QByteArray* out)
{
    m_out = out;
    m_bits = { 0, 0, nullptr };
    m_tokenEnd = m_tokens.get();
    std::memset(m_literalFrequency, 0, sizeof m_literalFrequency);
    std::memset(m_distanceFrequency, 0, sizeof m_distanceFrequency);
}

void DeflateWriter::match(qint64 length, int distance)
{
    Q_ASSERT(length >= kMinMatch && distance >= 1 && distance <= kMaxDistance);
    // Longer than one match can say: pieces of 258, leaving a last piece of at least 3.
    while (length > 258) {
        const int piece = length - 258 >= kMinMatch ? 258 : int(length) - kMinMatch;
        addMatch(piece, distance);
        length -= piece;
    }
    addMatch(int(length), distance);
}

void DeflateWriter::addMatch(int length, int distance)
{
    *m_tokenEnd++ = quint32(length) << 16 | quint32(distance);
    ++m_literalFrequency[257 + kTables.lengthCode[length]];
    ++m_distanceFrequency[kTables.distanceCode[distance]];
    if (m_tokenEnd >= m_tokenLimit)
        writeBlock(false);
}

void DeflateWriter::finish()
{
    writeBlock(true);
    // The bits left, in whole bytes; writeBlock() left room for them.
    while (m_bits.count > 0) {
        *m_bits.cursor++ = char(m_bits.buffer);
        m_bits.buffer >>= 8;
        m_bits.count = std::max(0, m_bits.count - 8);
    }
    m_out->resize(m_bits.cursor - m_out->data());
    m_bits.cursor = nullptr;
}

void DeflateWriter::writeBlock(bool last)
{
    m_literalFrequency[kEndOfBlock] = 1;

    // 288 entries: the fixed code gives lengths to two symbols that never occur, and its
    // canonical codes count them.
    quint8 literalLengths[288] = {};
    quint8 distanceLengths[30];
    huffmanLengths(m_literalFrequency, 286, 15, literalLengths);
    huffmanLengths(m_distanceFrequency, 30, 15, distanceLengths);
    int literalCount = 286;
    while (literalCount > 257 && literalLengths[literalCount - 1] == 0)
        --literalCount;
    int distanceCount = 30;
    while (distanceCount > 1 && distanceLengths[distanceCount - 1] == 0)
        --distanceCount;

    // Both alphabets' lengths as one sequence, runs shortened with symbols 16 (repeat the
    // last 3-6 times), 17 (3-10 zeros) and 18 (11-138 zeros).
    quint8 sequence[286 + 30];
    std::memcpy(sequence, literalLengths, size_t(literalCount));
    std::memcpy(sequence + literalCount, distanceLengths, size_t(distanceCount));
    const int sequenceLength = literalCount + distanceCount;
    struct LengthSymbol {
        quint8 symbol;
        quint8 extra;
    };
    LengthSymbol symbols[286 + 30];
    int symbolCount = 0;
    quint32 codeLengthFrequency[19] = {};
    for (int i = 0; i < sequenceLength;) {
        const int value = sequence[i];
        int run = 1;
        while (i + run < sequenceLength && sequence[i + run] == value)
            ++run;
        i += run;
        while (run > 0) {
            if (value == 0 && run >= 11) {
                const int n = std::min(run, 138);
                symbols[symbolCount++] = { 18, quint8(n - 11) };
                run -= n;
            } else if (value == 0 && run >= 3) {
                symbols[symbolCount++] = { 17, quint8(run - 3) };
                run = 0;
            } else if (value != 0 && run >= 4) {
                // The value once, then repeats of it, at most six at a time.
                symbols[symbolCount++] = { quint8(value), 0 };
                --run;
                while (run >= 3) {
                    const int n = std::min(run, 6);
                    symbols[symbolCount++] = { 16, quint8(n - 3) };
                    run -= n;
                }
            } else {
                symbols[symbolCount++] = { quint8(value), 0 };
                --run;
            }
        }
    }
    for (int i = 0; i < symbolCount; ++i)
        ++codeLengthFrequency[symbols[i].symbol];
    quint8 codeLengthLengths[19];
    huffmanLengths(codeLengthFrequency, 19, 7, codeLengthLengths);
    int orderCount = 19;
    while (orderCount > 4 && codeLengthLengths[kCodeLengthOrder[orderCount - 1]] == 0)
        --orderCount;

    // Sizes of the two ways, in bits, to choose the shorter.
    quint64 dynamicBits = 5 + 5 + 4 + 3 * quint64(orderCount);
    for (int i = 0; i < symbolCount; ++i) {
        const int s = symbols[i].symbol;
        dynamicBits += codeLengthLengths[s] + (s == 16 ? 2 : s == 17 ? 3 : s == 18 ? 7 : 0);
    }
    quint64 fixedBits = 0;
    for (int s = 0; s < 286; ++s) {
        const quint64 f = m_literalFrequency[s];
        const int extra = s > 256 ? kLengthExtra[s - 257] : 0;
        dynamicBits += f * (literalLengths[s] + extra);
        fixedBits += f * (fixedLiteralLength(s) + extra);
    }
    for (int s = 0; s < 30; ++s) {
        const quint64 f = m_distanceFrequency[s];
        dynamicBits += f * (distanceLengths[s] + kDistanceExtra[s]);
        fixedBits += f * (5 + kDistanceExtra[s]);
    }

    const bool useFixed = fixedBits <= dynamicBits;
    if (useFixed) {
        for (int s = 0; s < 288; ++s)
            literalLengths[s] = quint8(fixedLiteralLength(s));
        std::fill(distanceLengths, distanceLengths + 30, quint8(5));
    }
    quint16 literalCodes[288];
    quint16 distanceCodes[30];
    canonicalCodes(literalLengths, 288, literalCodes);
    canonicalCodes(distanceLengths, 30, distanceCodes);

    // Room for the block at its longest: the header (under 600 bytes), then per token a code of up to 15
    // bits with 5 extra, a distance code of up to 15 with 13 extra; and a word to spare.
    const qsizetype tokenCount = m_tokenEnd - m_tokens.get();
    const qsizetype used = m_bits.cursor ? m_bits.cursor - m_out->data() : m_out->size();
    m_out->resize(used + 640 + 6 * tokenCount + 16);
    // Written through a local copy, which the compiler keeps in registers.
    BitSink bits = m_bits;
    bits.cursor = m_out->data() + used;

    bits.put(last ? 1 : 0, 1);
    bits.put(useFixed ? 1 : 2, 2);
    if (!useFixed) {
        quint16 codeLengthCodes[19];
        canonicalCodes(codeLengthLengths, 19, codeLengthCodes);
        bits.put(quint32(literalCount - 257), 5);
        bits.put(quint32(distanceCount - 1), 5);
        bits.put(quint32(orderCount - 4), 4);
        for (int i = 0; i < orderCount; ++i)
            bits.put(codeLengthLengths[kCodeLengthOrder[i]], 3);
        for (int i = 0; i < symbolCount; ++i) {
            const int s = symbols[i].symbol;
            bits.put(codeLengthCodes[s], codeLengthLengths[s]);
            if (s >= 16)
                bits.put(symbols[i].extra, s == 16 ? 2 : s == 17 ? 3 : 7);
        }
    }

    // Each token in one or two writes: a match length's code with its extra bits behind
    // it, a distance's likewise.
    struct Bits {
        quint32 value;
        int count;
    };
    Bits literalBits[256];
    for (int s = 0; s < 256; ++s)
        literalBits[s] = { literalCodes[s], literalLengths[s] };
    Bits lengthBits[259];
    for (int length = kMinMatch; length <= 258; ++length) {
        const int code = kTables.lengthCode[length];
        const int symbol = 257 + code;
        lengthBits[length] = { literalCodes[symbol] | quint32(length - kLengthBase[code]) << literalLengths[symbol],
                               literalLengths[symbol] + kLengthExtra[code] };
    }
    for (const quint32* t = m_tokens.get(); t != m_tokenEnd; ++t) {
        const quint32 token = *t;
        if (token < 256) {
            bits.put(literalBits[token].value, literalBits[token].count);
            continue;
        }
        const Bits& length = lengthBits[token >> 16];
        bits.put(length.value, length.count);
        const int distance = int(token & 0xFFFF);
        const int code = kTables.distanceCode[distance];
        bits.put(distanceCodes[code] | quint32(distance - kDistanceBase[code]) << distanceLengths[code],
                distanceLengths[code] + kDistanceExtra[code]);
    }
    bits.put(literalCodes[kEndOfBlock], literalLengths[kEndOfBlock]);

    m_bits = bits;
    m_tokenEnd = m_tokens.get();
    std::memset(m_literalFrequency, 0, sizeof m_literalFrequency);
    std::memset(m_distanceFrequency, 0, sizeof m_distanceFrequency);
}

} // namespace qm
