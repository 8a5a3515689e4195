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

std::vector<const ItemStep*> SessionHistory::stepsSinceClean(bool* complete) const
{
    std::vector<const ItemStep*> steps;
    const bool reachable = m_clean != kUnreachable && m_clean <= m_index;
    if (complete)
        *complete = reachable;
    if (!reachable)
        return steps;
    for (int i = m_clean; i < m_index; ++i)
        steps.push_back(m_steps[size_t(i)].get());
    return steps;
}

} // namespace qm
