// A capture facility for tests: its devices are a list the test sets, and
// the frames of the running preview are the ones the test feeds.
#pragma once
#include "IVideoCapture.h"

class FakeVideoCapture : public IVideoCapture {
public:
    QStringList devices;
    HRESULT settingsResult = S_OK;
    HRESULT startResult = S_OK;
    int previewing = -1; // the device whose preview runs, -1 for none
    int starts = 0;

    QStringList DeviceNames() const override { return devices; }
    HRESULT ReadSettings(const QString& valueName) override
    {
        settingsName = valueName;
        return settingsResult;
    }
    HRESULT StartPreview(int index) override
    {
        ++starts;
        if (FAILED(startResult)) return startResult;
        previewing = index;
        return S_OK;
    }
    void StopPreview() override { previewing = -1; }

    void Feed(const QImage& frame)
    {
        if (previewing >= 0) emit frameReady(frame);
    }
    void ChangeDevices(const QStringList& now)
    {
        devices = now;
        emit devicesChanged();
    }

    QString settingsName;
};
