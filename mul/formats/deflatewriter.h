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
        *m_tokenEnd++ = byte;
        ++m_literalFrequency[byte];
        if (m_tokenEnd >= m_tokenLimit)
            writeBlock(false);
    }
    // Four literals at once, such as the bytes of one pixel.
    void literals(uchar a, uchar b, uchar c, uchar d)
    {
        quint32* t = m_tokenEnd;
        t[0] = a;
        t[1] = b;
        t[2] = c;
        t[3] = d;
        ++m_literalFrequency[a];
        ++m_literalFrequency[b];
        ++m_literalFrequency[c];
        ++m_literalFrequency[d];
        m_tokenEnd += 4;
        if (m_tokenEnd >= m_tokenLimit)
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
    struct BitSink {
        quint64 buffer;
        int count;
        char* cursor;
        void put(quint32 bits, int n)
        {
            buffer |= quint64(bits) << count;
            count += n;
            if (count >= 32) {
                qToLittleEndian<quint32>(quint32(buffer), cursor);
                cursor += 4;
                buffer >>= 32;
                count -= 32;
            }
        }
    };

    QByteArray* m_out = nullptr;
    char* m_cursor = nullptr;   // where the next whole word goes, inside *m_out
    std::unique_ptr<quint32[]> m_tokens { new quint32[kBlockTokens + 8] };   // a literal byte, or length << 16 | distance
    // Pointers rather than a count: the stores of tokens and frequencies cannot alias them,
    // so they stay in registers in the callers' loops.
    quint32* m_tokenEnd = m_tokens.get();
    quint32* const m_tokenLimit = m_tokens.get() + kBlockTokens;
    quint32 m_literalFrequency[286] = {};
    quint32 m_distanceFrequency[30] = {};
    BitSink m_bits {};
};

} // namespace qm
