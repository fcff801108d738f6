#include "LibraryChangeWatch.h"

LibraryChangeWatch::LibraryChangeWatch(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &LibraryChangeWatch::Poll);
}

void LibraryChangeWatch::Start(ILibraryEngine* engine, std::function<bool()> canShow)
{
    Stop();
    if (!engine || FAILED(engine->QueryInterface(IID_ILibraryChanges, m_changes.PutVoid()))) m_changes.Reset();
    // The stamp of the library as the window read it first.
    if (!m_changes || FAILED(m_changes->GetChangeStamp(&m_stamp))) {
        m_changes.Reset();
        return;
    }
    m_canShow = std::move(canShow);
    m_timer.start();
}

void LibraryChangeWatch::Stop()
{
    m_timer.stop();
    m_changes.Reset();
}

void LibraryChangeWatch::Poll()
{
    // While the window cannot show a change the engine is not asked at all
    // (an import's worker may hold it); the stamp still differs afterwards.
    if (!m_changes || (m_canShow && !m_canShow())) return;
    INT64 stamp = 0;
    if (FAILED(m_changes->GetChangeStamp(&stamp)) || stamp == m_stamp) return;
    m_stamp = stamp;
    emit changedElsewhere();
}
