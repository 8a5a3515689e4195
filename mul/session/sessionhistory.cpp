#include "sessionhistory.h"

namespace qm {

SessionHistory::SessionHistory(int limit)
    : m_limit(limit)
{
}

void SessionHistory::push(std::unique_ptr<ItemStep> step)
{
    m_steps.resize(size_t(m_index));
    if (m_clean > m_index)
        m_clean = kUnreachable;
    m_steps.push_back(std::move(step));
    ++m_index;
    while (int(m_steps.size()) > m_limit) {
        m_steps.erase(m_steps.begin());
        --m_index;
        if (m_clean != kUnreachable)
            m_clean = m_clean > 0 ? m_clean - 1 : kUnreachable;
    }
}

void SessionHistory::clear()
{
    m_steps.clear();
    m_index = 0;
    m_clean = 0;
}

bool SessionHistory::pathFromClean(std::vector<Move>* path) const
{
    path->clear();
    if (m_clean == kUnreachable)
        return false;
    for (int i = m_clean; i < m_index; ++i)
        path->push_back({ m_steps[size_t(i)].get(), true });
    for (int i = m_clean - 1; i >= m_index; --i)
        path->push_back({ m_steps[size_t(i)].get(), false });
    return true;
}

} // namespace qm
