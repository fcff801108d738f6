// PowerNotices from systemd-logind: PrepareForSleep and PrepareForShutdown
// on the system bus, and a "delay" inhibitor (a file descriptor logind
// hands out) held while an import runs.
#pragma once
#include "PowerNotices.h"

#include <QDBusUnixFileDescriptor>

class LogindPowerNotices : public PowerNotices {
    Q_OBJECT
public:
    // Null when the system bus or logind cannot be reached.
    static std::unique_ptr<LogindPowerNotices> Connect();

    void HoldDelay() override;
    void ReleaseDelay() override;
    bool IsHoldingDelay() const override { return m_inhibitor.isValid(); }

private slots:
    void OnPrepare(bool starting);

private:
    LogindPowerNotices() = default;

    QDBusUnixFileDescriptor m_inhibitor;
};
