#include "CQtVideoCapture.h"

#include "StringReg.h"

#include <QCamera>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QRegularExpression>
#include <QVideoFrame>
#include <QVideoSink>

namespace {

// The format of the wanted resolution, else the smallest larger one, else
// the camera's default (a null format).
QCameraFormat FormatFor(const QCameraDevice& device, QSize wanted)
{
    QCameraFormat best;
    for (const QCameraFormat& format : device.videoFormats()) {
        const QSize size = format.resolution();
        if (size.width() < wanted.width() || size.height() < wanted.height()) continue;
        if (best.isNull() || size.width() * size.height() < best.resolution().width() * best.resolution().height())
            best = format;
    }
    return best;
}

} // namespace

CQtVideoCapture::CQtVideoCapture(QObject* parent) : IVideoCapture(parent)
{
    connect(&m_devices, &QMediaDevices::videoInputsChanged, this, &IVideoCapture::devicesChanged);
}

CQtVideoCapture::~CQtVideoCapture() { StopPreview(); }

QStringList CQtVideoCapture::DeviceNames() const
{
    QStringList names;
    for (const QCameraDevice& device : QMediaDevices::videoInputs()) names << device.description();
    return names;
}

QSize CQtVideoCapture::ParseResolution(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,5})\\s*[xX]\\s*(\\d{1,5})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return {};
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    return size.isEmpty() ? QSize() : size;
}

HRESULT CQtVideoCapture::ReadSettings(const QString& valueName)
{
    StringReg setting(HKEY_CURRENT_USER, kSettingsKey, reinterpret_cast<const WCHAR*>(valueName.utf16()));
    m_resolution = {};
    if (!setting.Read() || setting.IsEmpty()) return S_FALSE; // no settings: the camera's defaults
    m_resolution = ParseResolution(setting.ToString());
    return m_resolution.isValid() ? S_OK : E_INVALIDARG;
}

HRESULT CQtVideoCapture::StartPreview(int index)
{
    StopPreview();
    const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
    if (index < 0 || index >= devices.size()) return E_INVALIDARG;
    m_camera = new QCamera(devices[index], this);
    if (m_resolution.isValid()) {
        const QCameraFormat format = FormatFor(devices[index], m_resolution);
        if (!format.isNull()) m_camera->setCameraFormat(format);
    }
    m_sink = new QVideoSink(this);
    m_session = new QMediaCaptureSession(this);
    m_session->setCamera(m_camera);
    m_session->setVideoSink(m_sink);
    connect(m_sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
        const QImage image = frame.toImage();
        if (!image.isNull()) emit frameReady(image);
    });
    // Queued: whoever hears the failure may stop the preview, which must
    // not delete the camera inside its own signal.
    connect(m_camera, &QCamera::errorOccurred, this, [this](QCamera::Error error) {
        if (error != QCamera::NoError) emit previewFailed();
    }, Qt::QueuedConnection);
    m_camera->start();
    return m_camera->error() == QCamera::NoError ? S_OK : E_FAIL;
}

// The camera, its sink and session are deleted from the event loop: a
// stop may come while one of them is still emitting (a camera unplugged).
void CQtVideoCapture::StopPreview()
{
    if (m_session) {
        m_session->setCamera(nullptr);
        m_session->setVideoSink(nullptr);
    }
    if (m_camera) {
        m_camera->disconnect(this);
        m_camera->stop();
    }
    if (m_sink) m_sink->disconnect(this);
    for (QObject* part : {static_cast<QObject*>(m_session), static_cast<QObject*>(m_sink),
                          static_cast<QObject*>(m_camera)})
        if (part) part->deleteLater();
    m_session = nullptr;
    m_sink = nullptr;
    m_camera = nullptr;
}
