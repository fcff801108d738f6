// The fade-in of a CGButton: a short thread that walks the picture's
// constant alpha from 0 to 254 in steps of 2, waiting up to 20 ms between
// steps on the button's event; signalling the event ends it early. The
// thread never paints: it hands each step to a callback that queues the
// repaint on the button's own thread.
#pragma once
#include "WinEvent.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class CGButtonFade {
public:
    static constexpr int kStep = 2;
    static constexpr int kLastAlpha = 254;
    static constexpr DWORD kStepWaitMs = 20;

    // `last` is true for the final call, which carries alpha 255.
    using Step = std::function<void(int alpha, bool last)>;

    explicit CGButtonFade(std::string eventName);
    ~CGButtonFade();
    CGButtonFade(const CGButtonFade&) = delete;
    CGButtonFade& operator=(const CGButtonFade&) = delete;

    // Starts a fade (after ending a running one).
    void Start(Step step);
    // Signals the event and waits until the thread has finished.
    void Stop();
    bool Running() const { return m_running.load(); }
    const std::string& EventName() const { return m_event.Name(); }

private:
    void Run(Step step);

    WinEvent m_event;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
};
