// CQtVideoCapture: the video capture facility on Qt Multimedia. Devices are
// the system's video inputs; the preview runs a camera into a video sink
// whose frames are handed on as pictures. The capture settings live under
// HKCU "Software\Quorvel\Flintwell13\QvRec4": a value "WIDTHxHEIGHT" picks
// the camera format of that resolution (or the nearest larger one); with no
// value the camera's own default is used.
#pragma once
#include "IVideoCapture.h"

#include <QMediaDevices>
#include <QPointer>
#include <QSize>

class QCamera;
class QMediaCaptureSession;
class QVideoSink;

class CQtVideoCapture : public IVideoCapture {
    Q_OBJECT
public:
    static constexpr const char16_t* kSettingsKey = u"Software\\Quorvel\\Flintwell13\\QvRec4";

    explicit CQtVideoCapture(QObject* parent = nullptr);
    ~CQtVideoCapture() override;

    QStringList DeviceNames() const override;
    HRESULT ReadSettings(const QString& valueName) override;
    HRESULT StartPreview(int index) override;
    void StopPreview() override;

    // "640x480" -> 640 x 480; an invalid size for anything else.
    static QSize ParseResolution(const QString& text);

private:
    QMediaDevices m_devices;
    QSize m_resolution;
    // Children of this object: deleted with it at the latest.
    QPointer<QMediaCaptureSession> m_session;
    QPointer<QCamera> m_camera;
    QPointer<QVideoSink> m_sink;
};
