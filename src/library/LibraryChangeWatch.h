// LibraryChangeWatch: notices, once a second, that someone else changed
// the library (albireo-cli, another program or instance sharing it) and
// tells the window, which shows the change without a restart. The engine
// answers from its own state in constant time (a counter, no reading of the
// library), so the watch costs nothing that grows with the library.
//
// While the window cannot show a change (`canShow` false: a name is being
// edited, a dialog is open, an import runs) the engine is not asked; a
// change made meanwhile is told at the first tick that can show it.
// Engines without the changes interface are not watched.
//
//     m_changes.Start(engine, [this] { return !Busy(); });
//     connect(&m_changes, &LibraryChangeWatch::changedElsewhere, this, &View::ShowChanges);
//     m_changes.Stop();   // before the engine goes
#pragma once
#include "ComPtr.h"
#include "ILibraryChanges.h"

#include <QObject>
#include <QTimer>
#include <functional>

class LibraryChangeWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 1000;

    explicit LibraryChangeWatch(QObject* parent = nullptr);

    void Start(ILibraryEngine* engine, std::function<bool()> canShow);
    void Stop();
    bool IsWatching() const { return bool(m_changes); }
    // One tick now (the timer's work).
    void Poll();

signals:
    void changedElsewhere();

private:
    ComPtr<ILibraryChanges> m_changes;
    std::function<bool()> m_canShow;
    QTimer m_timer;
    INT64 m_stamp = 0;
};
