// Shared pieces of the benchmarks that drive the real window (offscreen):
// the environment of a fresh run on a given library, painting the list as
// the screen would, and a watch on how long the window's thread is busy.
#pragma once
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

class CFileListView;
class QTemporaryDir;

namespace WindowBench {

// Settings, registry and run-time folder in `scratch`, the library at
// `database`, no questions asked.
void PrepareEnvironment(const QString& database, const QTemporaryDir& scratch);
// Paints what the list shows, as the screen would.
void PaintList(CFileListView* view);
double Milliseconds(const QElapsedTimer& timer);
// Handles the window thread's events, sleeping until one comes, for at most
// `maxMs`. (processEvents with a time limit never sleeps: a loop on it keeps
// a core busy that the program's own event loop leaves to its workers.)
void WaitForEvents(int maxMs);

// The longest time the window's thread did not answer: a timer on that
// thread ticks every millisecond; the longest gap between two ticks (or
// between the last tick and Longest()) is the longest stall. The thread's
// own processor time in each gap tells its own work from its waiting for a
// core: LongestBusy() is the most of it in any one gap.
class StallWatch {
public:
    StallWatch();
    void Restart();
    double Longest();
    double LongestBusy();

private:
    void Tick();

    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    double m_threadMsAtTick = 0;
    double m_longest = 0;
    double m_longestBusy = 0;
};

} // namespace WindowBench
