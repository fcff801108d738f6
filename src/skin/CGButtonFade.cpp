#include "CGButtonFade.h"

CGButtonFade::CGButtonFade(std::string eventName) : m_event(false, false, std::move(eventName)) {}

CGButtonFade::~CGButtonFade() { Stop(); }

void CGButtonFade::Start(Step step)
{
    Stop();
    m_event.Reset();
    m_running = true;
    m_thread = std::thread(&CGButtonFade::Run, this, std::move(step));
}

void CGButtonFade::Stop()
{
    if (!m_thread.joinable()) return;
    m_event.Set();
    m_thread.join();
}

void CGButtonFade::Run(Step step)
{
    for (int alpha = 0; alpha <= kLastAlpha; alpha += kStep) {
        step(alpha, false);
        if (m_event.Wait(kStepWaitMs) == WAIT_OBJECT_0) break;
    }
    step(255, true);
    m_running = false;
}
