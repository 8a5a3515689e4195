#pragma once

#include <QtGlobal>

namespace qm {

// Code lengths of a Huffman code for `count` symbols with the given frequencies, none longer
// than `limit` bits (deflate allows 15, and 7 for its code-length alphabet). Unused symbols
// get 0. Fewer than two used symbols are padded to two, because a deflate decoder expects a
// complete code: a lone symbol still takes one bit.
void huffmanLengths(const quint32* frequencies, int count, int limit, quint8* lengths);

// Canonical codes for those lengths, bit-reversed so that they can be written least
// significant bit first, as deflate packs its bits.
void canonicalCodes(const quint8* lengths, int count, quint16* codes);

} // namespace qm
