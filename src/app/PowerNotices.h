// Notices that the computer is about to sleep or shut down, or the session
// to end, while a disc is imported. The import is cancelled then rather
// than cut off. The base class only carries the signals (tests emit them);
// Create() gives one that listens to logind on the system bus and holds a
// delay inhibitor while an import runs, or this base when there is no bus.
#pragma once
#include <QObject>
#include <memory>

class PowerNotices : public QObject {
    Q_OBJECT
public:
    static std::unique_ptr<PowerNotices> Create();

    // While held, sleep and shutdown wait (briefly) for the import to stop.
    virtual void HoldDelay() {}
    virtual void ReleaseDelay() {}
    virtual bool IsHoldingDelay() const { return false; }

signals:
    // The machine prepares to sleep or shut down, or the session ends.
    void ending();
};
