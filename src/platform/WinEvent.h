// An event object as Windows has them (CreateEvent / SetEvent /
// WaitForSingleObject): manual or automatic reset, with a name for
// diagnostics. Threads wait on it with a time-out.
#pragma once
#include "wintypes.h"

#include <condition_variable>
#include <mutex>
#include <string>

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;

class WinEvent {
public:
    WinEvent(bool manualReset, bool initiallySignalled, std::string name = {});

    void Set();
    void Reset();
    // WAIT_OBJECT_0 when signalled within `milliseconds`, else WAIT_TIMEOUT.
    // An automatic-reset event is reset by the wait that sees it.
    DWORD Wait(DWORD milliseconds);
    const std::string& Name() const { return m_name; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_signalled;
    const bool m_manualReset;
    const std::string m_name;
};
