#include "WindowBench.h"

#include "CFileListView.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>

namespace {
// Processor time of the calling thread.
double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}
} // namespace

namespace WindowBench {

void PrepareEnvironment(const QString& database, const QTemporaryDir& scratch)
{
    if (qEnvironmentVariableIsEmpty("ALBIREO_PROGRAM_DIR")) qputenv("ALBIREO_PROGRAM_DIR", ALBIREO_BUILT_PROGRAM_DIR);
    qputenv("ALBIREO_LIBRARY_DB", database.toLocal8Bit());
    qputenv("ALBIREO_REGISTRY_USER", scratch.filePath(QStringLiteral("user.reg")).toLocal8Bit());
    qputenv("ALBIREO_REGISTRY_MACHINE", scratch.filePath(QStringLiteral("machine.reg")).toLocal8Bit());
    qputenv("ALBIREO_RUNTIME_DIR", scratch.path().toLocal8Bit());
    qputenv("ALBIREO_UNATTENDED", "1");
}

void PaintList(CFileListView* view) { view->List()->viewport()->grab(); }

double Milliseconds(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

void WaitForEvents(int maxMs)
{
    QEventLoop loop;
    QTimer::singleShot(maxMs, &loop, &QEventLoop::quit);
    loop.processEvents(QEventLoop::WaitForMoreEvents);
}

StallWatch::StallWatch()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    m_timer.start();
    m_sinceTick.start();
    m_threadMsAtTick = ThreadMilliseconds();
}

void StallWatch::Restart()
{
    m_longest = 0;
    m_longestBusy = 0;
    m_sinceTick.restart();
    m_threadMsAtTick = ThreadMilliseconds();
}

double StallWatch::Longest()
{
    Tick();
    return m_longest;
}

double StallWatch::LongestBusy()
{
    Tick();
    return m_longestBusy;
}

void StallWatch::Tick()
{
    const double threadMs = ThreadMilliseconds();
    m_longest = std::max(m_longest, Milliseconds(m_sinceTick));
    m_longestBusy = std::max(m_longestBusy, threadMs - m_threadMsAtTick);
    m_sinceTick.restart();
    m_threadMsAtTick = threadMs;
}

} // namespace WindowBench
