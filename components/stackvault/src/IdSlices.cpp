#include "IdSlices.h"

#include <algorithm>

void IdSlices::Start(int64_t first, int64_t last, int64_t sliceIds)
{
    std::lock_guard lock(m_mutex);
    m_first = first;
    m_last = last;
    m_sliceIds = std::max<int64_t>(sliceIds, 1);
    m_next = m_turn = 0;
}

int64_t IdSlices::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_last < m_first ? 0 : (m_last - m_first) / m_sliceIds + 1;
}

bool IdSlices::Take(Slice* slice)
{
    std::lock_guard lock(m_mutex);
    if (m_stopped || m_last < m_first || m_next > (m_last - m_first) / m_sliceIds) return false;
    slice->number = int(m_next);
    slice->first = m_first + m_next * m_sliceIds;
    slice->last = std::min(m_last, slice->first + (m_sliceIds - 1));
    ++m_next;
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
