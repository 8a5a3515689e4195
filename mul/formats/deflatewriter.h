#pragma once

#include <QByteArray>
#include <QtEndian>
#include <QtGlobal>

#include <memory>

namespace qm {

// A deflate stream (RFC 1951) made of the literals and matches its caller names. For data
// whose repeats the caller already knows, such as runs of one pixel or a row equal to the
// one above, this costs a fraction of a general compressor's search. Each block gets
// Huffman codes fitted to its own symbols, or the fixed ones where those come out shorter.
class DeflateWriter {
public:
    static constexpr int kMinMatch = 3;
    static constexpr int kMaxDistance = 32768;

    // Starts a stream appended to `out`, which must outlive the writer's use of it.
    void begin(QByteArray* out);
    void literal(uchar byte)
    {
        m_tokens[m_tokenCount++] = byte;
        ++m_literalFrequency[byte];
        if (m_tokenCount >= kBlockTokens)
            writeBlock(false);
    }
    // Four literals at once, such as the bytes of one pixel.
    void literals(uchar a, uchar b, uchar c, uchar d)
    {
        quint32* t = m_tokens.get() + m_tokenCount;
        t[0] = a;
        t[1] = b;
        t[2] = c;
        t[3] = d;
        ++m_literalFrequency[a];
        ++m_literalFrequency[b];
        ++m_literalFrequency[c];
        ++m_literalFrequency[d];
        m_tokenCount += 4;
        if (m_tokenCount >= kBlockTokens)
            writeBlock(false);
    }
    // Repeats `length` (at least kMinMatch, any size) bytes from `distance` (1 to
    // kMaxDistance) back; the copy may overlap what it writes, so distance 4 repeats a pixel.
    void match(qint64 length, int distance);
    // The last block, padded to a whole byte.
    void finish();

private:
    // Tokens per block; the buffer has room for the few a call adds beyond it.
    static constexpr int kBlockTokens = 1 << 16;

    void addMatch(int length, int distance);
    void writeBlock(bool last);
    // Bits go least significant first into a word, whole words into the output, which
    // writeBlock() has sized for the block beforehand.
    void putBits(quint32 bits, int count)
    {
        m_bitBuffer |= quint64(bits) << m_bitCount;
        m_bitCount += count;
        if (m_bitCount >= 32) {
            qToLittleEndian<quint32>(quint32(m_bitBuffer), m_cursor);
            m_cursor += 4;
            m_bitBuffer >>= 32;
            m_bitCount -= 32;
        }
    }

    QByteArray* m_out = nullptr;
    char* m_cursor = nullptr;   // where the next whole word goes, inside *m_out
    std::unique_ptr<quint32[]> m_tokens { new quint32[kBlockTokens + 8] };   // a literal byte, or length << 16 | distance
    int m_tokenCount = 0;
    quint32 m_literalFrequency[286] = {};
    quint32 m_distanceFrequency[30] = {};
    quint64 m_bitBuffer = 0;
    int m_bitCount = 0;
};

} // namespace qm
