#include "huffmanlengths.h"

#include <algorithm>
#include <utility>

namespace qm {

namespace {

// Huffman's construction on symbols sorted by frequency, with two queues (leaves and joined
// nodes) instead of a heap. Returns the longest code length.
using Leaf = std::pair<quint32, int>;   // frequency, symbol
constexpr int kMaxSymbols = 288;

int buildTree(const Leaf* leaves, int n, quint8* lengths)
{
    quint64 weight[2 * kMaxSymbols];
    int parent[2 * kMaxSymbols];
    for (int i = 0; i < n; ++i)
        weight[i] = leaves[i].first;
    int nextLeaf = 0;
    int nextNode = n;   // joined nodes go after the leaves, in the order made (ascending weight)
    int made = n;
    const auto takeSmallest = [&] {
        if (nextLeaf < n && (nextNode >= made || weight[nextLeaf] <= weight[nextNode]))
            return nextLeaf++;
        return nextNode++;
    };
    for (int joins = 0; joins < n - 1; ++joins) {
        const int a = takeSmallest();
        const int b = takeSmallest();
        weight[made] = weight[a] + weight[b];
        parent[a] = made;
        parent[b] = made;
        ++made;
    }
    // Depths from the root down: a parent is always made after its children.
    int depth[2 * kMaxSymbols];
    depth[made - 1] = 0;
    for (int node = made - 2; node >= 0; --node)
        depth[node] = depth[parent[node]] + 1;
    int longest = 0;
    for (int i = 0; i < n; ++i) {
        lengths[leaves[i].second] = quint8(depth[i]);
        longest = std::max(longest, depth[i]);
    }
    return longest;
}

quint32 reverseBits16(quint32 v)
{
    v = ((v & 0x5555u) << 1) | ((v >> 1) & 0x5555u);
    v = ((v & 0x3333u) << 2) | ((v >> 2) & 0x3333u);
    v = ((v & 0x0F0Fu) << 4) | ((v >> 4) & 0x0F0Fu);
    return ((v & 0x00FFu) << 8) | ((v >> 8) & 0x00FFu);
}

} // namespace

void huffmanLengths(const quint32* frequencies, int count, int limit, quint8* lengths)
{
    Q_ASSERT(count <= kMaxSymbols);
    std::fill(lengths, lengths + count, quint8(0));
    Leaf leaves[kMaxSymbols];
    int n = 0;
    for (int s = 0; s < count; ++s) {
        if (frequencies[s] > 0)
            leaves[n++] = { frequencies[s], s };
    }
    for (int s = 0; n < 2 && s < count; ++s) {
        if (frequencies[s] == 0)
            leaves[n++] = { 1, s };
    }
    if (n < 2) {   // an alphabet of one symbol
        if (n == 1)
            lengths[leaves[0].second] = 1;
        return;
    }
    // Too long a code: flatten the frequencies and build again. Halving keeps the order of
    // frequent and rare; at worst all become 1, a balanced tree well within the limit.
    for (;;) {
        std::sort(leaves, leaves + n);
        if (buildTree(leaves, n, lengths) <= limit)
            return;
        for (int i = 0; i < n; ++i)
            leaves[i].first = std::max<quint32>(1, leaves[i].first >> 1);
    }
}

void canonicalCodes(const quint8* lengths, int count, quint16* codes)
{
    int perLength[16] = {};
    for (int s = 0; s < count; ++s)
        ++perLength[lengths[s]];
    perLength[0] = 0;
    int next[16] = {};
    int code = 0;
    for (int bits = 1; bits < 16; ++bits) {
        code = (code + perLength[bits - 1]) << 1;
        next[bits] = code;
    }
    for (int s = 0; s < count; ++s) {
        const int len = lengths[s];
        if (len == 0) {
            codes[s] = 0;
            continue;
        }
        const quint32 c = quint32(next[len]++);
        codes[s] = quint16(reverseBits16(c) >> (16 - len));
    }
}

} // namespace qm
