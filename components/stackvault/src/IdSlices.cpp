#include "IdSlices.h"

#include <algorithm>

void IdSlices::Start(int64_t first, int64_t last, int64_t firstIds, int64_t mostIds)
{
    std::lock_guard lock(m_mutex);
    m_last = last;
    m_nextFirst = first;
    m_mostIds = std::max<int64_t>(mostIds, 1);
    m_nextIds = std::clamp<int64_t>(firstIds, 1, m_mostIds);
    m_next = m_turn = 0;
}

bool IdSlices::Take(Slice* slice)
{
    std::lock_guard lock(m_mutex);
    if (m_stopped || m_nextFirst > m_last) return false;
    slice->number = m_next++;
    slice->first = m_nextFirst;
    slice->last = std::min(m_last, m_nextFirst + (m_nextIds - 1));
    m_nextFirst = slice->last + 1;
    m_nextIds = std::min(m_nextIds * 2, m_mostIds);
    return true;
}

bool IdSlices::AwaitTurn(int number)
{
    std::unique_lock lock(m_mutex);
    m_turnChanged.wait(lock, [&] { return m_stopped || m_turn == number; });
    return !m_stopped;
}

void IdSlices::Passed(int number)
{
    std::lock_guard lock(m_mutex);
    if (m_turn == number) ++m_turn;
    m_turnChanged.notify_all();
}

void IdSlices::Stop()
{
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_turnChanged.notify_all();
}
