#pragma once

#include <QVector>
#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <initializer_list>

namespace qm {

// A set of ids as one bit each, ascending when walked. Start-up lists tens of thousands of
// free ids per catalogue: a tree node per id cost more than reading the index files.
class FreeIds {
public:
    FreeIds() = default;
    FreeIds(std::initializer_list<quint32> ids)
    {
        for (quint32 id : ids)
            insert(id);
    }

    bool empty() const { return m_count == 0; }
    std::size_t size() const { return m_count; }
    std::size_t count(quint32 id) const { return contains(id) ? 1 : 0; }
    bool contains(quint32 id) const
    {
        const qsizetype word = qsizetype(id / 64);
        return word < m_words.size() && (m_words[word] >> (id % 64)) & 1u;
    }
    void insert(quint32 id)
    {
        const qsizetype word = qsizetype(id / 64);
        if (word >= m_words.size())
            m_words.resize(word + 1, 0);
        const quint64 bit = quint64(1) << (id % 64);
        if (!(m_words[word] & bit)) {
            m_words[word] |= bit;
            ++m_count;
        }
    }
    void erase(quint32 id)
    {
        if (!contains(id))
            return;
        m_words[qsizetype(id / 64)] &= ~(quint64(1) << (id % 64));
        --m_count;
    }
    void clear()
    {
        m_words.clear();
        m_count = 0;
    }

    class const_iterator {
    public:
        const_iterator(const QVector<quint64>* words, qint64 at) : m_words(words), m_at(at) { advance(); }
        quint32 operator*() const { return quint32(m_at); }
        const_iterator& operator++()
        {
            ++m_at;
            advance();
            return *this;
        }
        bool operator==(const const_iterator& o) const { return m_at == o.m_at; }
        bool operator!=(const const_iterator& o) const { return m_at != o.m_at; }

    private:
        // To the next set bit at or after m_at, or to the end.
        void advance()
        {
            const qint64 end = qint64(m_words->size()) * 64;
            while (m_at < end) {
                const quint64 rest = (*m_words)[m_at / 64] >> (m_at % 64);
                if (rest) {
                    m_at += qCountTrailingZeroBits(rest);
                    return;
                }
                m_at = (m_at / 64 + 1) * 64;
            }
            m_at = end;
        }
        const QVector<quint64>* m_words;
        qint64 m_at;
    };
    const_iterator begin() const { return const_iterator(&m_words, 0); }
    const_iterator end() const { return const_iterator(&m_words, qint64(m_words.size()) * 64); }

    // The same ids, whatever words either holds past its largest one.
    bool operator==(const FreeIds& o) const
    {
        if (m_count != o.m_count)
            return false;
        const qsizetype common = std::min(m_words.size(), o.m_words.size());
        for (qsizetype i = 0; i < common; ++i)
            if (m_words[i] != o.m_words[i])
                return false;
        return true;   // equal counts and equal common words leave the rest empty on both sides
    }
    bool operator!=(const FreeIds& o) const { return !(*this == o); }

private:
    QVector<quint64> m_words;
    std::size_t m_count = 0;
};

} // namespace qm
