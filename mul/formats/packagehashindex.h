#pragma once

#include <QVector>
#include <QtGlobal>

namespace qm {

// A package's entry positions by hash, as one flat table probed in place. Listing a package
// builds it for tens of thousands of entries at random places: a slot is 8 bytes (32 bits of
// the hash and the position), so the table stays in the cache where a node-based map and
// full 64-bit keys did not; the full hashes, by position, settle a match. Positions are
// small non-negative numbers (an entry's place in its list). Copies share their tables
// until one of them changes.
class PackageHashIndex {
public:
    using const_iterator = const int*;

    void reserve(qsizetype count)
    {
        if (2 * count > m_table.size())
            rehash(capacityFor(count));
        m_hashes.reserve(count);
    }
    // Adds `hash` at `position`; false, with nothing changed, when `hash` is there already.
    bool insert(quint64 hash, int position)
    {
        if (position < 0)
            return false;
        if (2 * (m_size + 1) > m_table.size())
            rehash(capacityFor(m_size + 1));
        const quint32 tag = tagOf(hash);
        Slot* table = m_table.data();
        for (quint64 i = slotOf(hash);; i = (i + 1) & m_mask) {
            if (table[i].position < 0) {
                if (position == m_hashes.size())
                    m_hashes.append(hash);   // positions come in order as a rule
                else {
                    if (position > m_hashes.size())
                        m_hashes.resize(position + 1);
                    m_hashes[position] = hash;
                }
                table[i] = { tag, position };
                ++m_size;
                return true;
            }
            if (table[i].tag == tag && m_hashes.at(table[i].position) == hash)
                return false;
        }
    }
    // Starts loading the slot where `hash` would go; nothing else.
    void prefetch(quint64 hash) const
    {
#if defined(__GNUC__)
        if (!m_table.isEmpty())
            __builtin_prefetch(m_table.constData() + slotOf(hash));
#else
        Q_UNUSED(hash);
#endif
    }
    // The position stored for `hash`, or constEnd() (null) when there is none.
    const int* constFind(quint64 hash) const
    {
        if (m_size == 0)
            return nullptr;
        const quint32 tag = tagOf(hash);
        const Slot* table = m_table.constData();
        for (quint64 i = slotOf(hash);; i = (i + 1) & m_mask) {
            if (table[i].position < 0)
                return nullptr;
            if (table[i].tag == tag && m_hashes.at(table[i].position) == hash)
                return &table[i].position;
        }
    }
    const int* constEnd() const { return nullptr; }
    bool contains(quint64 hash) const { return constFind(hash) != nullptr; }
    int value(quint64 hash, int missing = -1) const
    {
        const int* found = constFind(hash);
        return found ? *found : missing;
    }
    qsizetype size() const { return m_size; }

private:
    struct Slot {
        quint32 tag;
        int position;   // -1: empty
    };

    static qsizetype capacityFor(qsizetype count)
    {
        qsizetype capacity = 16;
        while (capacity < 2 * count)
            capacity *= 2;
        return capacity;
    }
    // Hashes in a file need not be spread well (a damaged or hand-made one), so they are
    // mixed before their top bits choose the slot.
    quint64 slotOf(quint64 hash) const { return (hash * 0x9E3779B97F4A7C15ull) >> m_shift; }
    static quint32 tagOf(quint64 hash) { return quint32(hash); }

    void rehash(qsizetype capacity)
    {
        const QVector<Slot> old = m_table;
        m_table = QVector<Slot>(capacity, Slot { 0, -1 });
        m_mask = quint64(capacity - 1);
        m_shift = 64;
        for (qsizetype c = capacity; c > 1; c /= 2)
            --m_shift;
        Slot* table = m_table.data();
        for (const Slot& s : old) {
            if (s.position < 0)
                continue;
            quint64 i = slotOf(m_hashes.at(s.position));
            while (table[i].position >= 0)
                i = (i + 1) & m_mask;
            table[i] = s;
        }
    }

    QVector<Slot> m_table;
    QVector<quint64> m_hashes;   // by position
    quint64 m_mask = 0;
    int m_shift = 64;
    qsizetype m_size = 0;
};

} // namespace qm
