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
    m_parked.clear();
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

bool IdSlices::HandOver(int number, Found& found, const PassOn& passOn)
{
    {
        std::unique_lock lock(m_mutex);
        m_handedOver.wait(lock, [&] { return m_stopped || m_turn == number || m_parked.size() < kMostParked; });
        if (m_stopped) return false;
        if (m_turn != number) {
            // The thread passing the slice before it passes this one too.
            m_parked.emplace(number, std::move(found));
            TakeSpare(found);
            return true;
        }
    }
    return PassInTurn(found, passOn);
}

bool IdSlices::PassInTurn(Found& found, const PassOn& passOn)
{
    bool more = passOn(found);
    Found parked; // a parked slice passed on after the own one
    bool passedParked = false;
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (!more) m_stopped = true;
            ++m_turn;
            m_handedOver.notify_all();
            if (passedParked) m_spare.push_back(std::move(parked));
            if (m_stopped) return false;
            const auto next = m_parked.find(m_turn);
            if (next == m_parked.end()) return true;
            parked = std::move(next->second);
            m_parked.erase(next);
        }
        passedParked = true;
        more = passOn(parked);
    }
}

void IdSlices::TakeSpare(Found& found)
{
    found = Found{};
    if (m_spare.empty()) return;
    found = std::move(m_spare.back());
    m_spare.pop_back();
    found.Clear();
}

void IdSlices::Stop()
{
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_handedOver.notify_all();
}
