// IVideoCapture: what the snapshot dialog needs of a video capture
// facility: the list of capture devices (and a signal when it changes),
// the capture settings read by name, a live preview of one device whose
// frames arrive as pictures, and stopping it. CQtVideoCapture serves it
// with Qt Multimedia; tests feed frames through a fake.
#pragma once
#include "hresult.h"

#include <QImage>
#include <QObject>
#include <QStringList>

class IVideoCapture : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~IVideoCapture() override = default;

    // The names of the capture devices present now, in the system's order.
    virtual QStringList DeviceNames() const = 0;
    // Reads the capture settings stored under `valueName`; a failure when
    // they are there but cannot be used.
    virtual HRESULT ReadSettings(const QString& valueName) = 0;
    // Starts the live preview of device `index` (stopping another one);
    // its frames arrive through frameReady.
    virtual HRESULT StartPreview(int index) = 0;
    virtual void StopPreview() = 0;

signals:
    void frameReady(const QImage& frame);
    // A device arrived or left.
    void devicesChanged();
    // The running preview stopped by itself (the device failed or left).
    void previewFailed();
};
