#include "WinEvent.h"

#include <chrono>

WinEvent::WinEvent(bool manualReset, bool initiallySignalled, std::string name)
    : m_signalled(initiallySignalled), m_manualReset(manualReset), m_name(std::move(name))
{
}

void WinEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_changed.notify_all();
}

void WinEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

DWORD WinEvent::Wait(DWORD milliseconds)
{
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_signalled; }))
        return WAIT_TIMEOUT;
    if (!m_manualReset) m_signalled = false;
    return WAIT_OBJECT_0;
}
