#include "ImageDriveSlots.h"

#include "CDiscAccess.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QDir>
#include <QFileInfo>

ComPtr<ITrellisImageDrive> ImageDriveSlots::At(int position) const
{
    ComPtr<ITrellisImageDrive> drive;
    const int index = m_discs.EngineIndexAt(position);
    ComPtr<ITrellisDevice> device;
    if (index < 0 || !m_discs.Engine() || FAILED(m_discs.Engine()->GetDrive(index, device.Put())) || !device)
        return drive;
    if (FAILED(device->QueryInterface(IID_ITrellisImageDrive, drive.PutVoid()))) drive.Reset();
    return drive;
}

QString ImageDriveSlots::ImageAt(int position) const
{
    const ComPtr<ITrellisImageDrive> drive = At(position);
    WCHAR path[4096] = {};
    if (!drive || drive->GetImagePath(path, 4096, nullptr) != S_OK) return QString();
    return QString::fromUtf16(path);
}

int ImageDriveSlots::ChooseFor(const QString& imagePath) const
{
    const QString wanted = QFileInfo(imagePath).absoluteFilePath();
    int firstImageDrive = -1, firstEmpty = -1;
    for (int position = 0; position < m_discs.GetDriveCount(); ++position) {
        if (!IsImageDrive(position)) continue;
        const QString held = ImageAt(position);
        if (!held.isEmpty() && QFileInfo(held).absoluteFilePath() == wanted) return position;
        if (firstImageDrive < 0) firstImageDrive = position;
        if (held.isEmpty() && firstEmpty < 0) firstEmpty = position;
    }
    return firstEmpty >= 0 ? firstEmpty : firstImageDrive;
}

HRESULT ImageDriveSlots::Insert(int position, const QString& imagePath, QString* reason) const
{
    const ComPtr<ITrellisImageDrive> drive = At(position);
    if (!drive) return E_INVALIDARG;
    const QString path = QFileInfo(imagePath).absoluteFilePath();
    const HRESULT hr = drive->InsertImage(reinterpret_cast<const WCHAR*>(path.utf16()));
    if (SUCCEEDED(hr) || !reason) return hr;
    WCHAR why[512] = {};
    *reason = drive->GetRefusalReason(why, 512) == S_OK ? QString::fromUtf16(why) : QString();
    return hr;
}

QString ImageDriveSlots::FilePatterns()
{
    return QStringLiteral("*.iso *.img *.udf *.cue *.toc *.nrg *.bin");
}

QString ImageDriveSlots::RefusalMessage(const QString& imagePath, const QString& reason)
{
    return FormatString(IDS_FMT_NOT_A_DISC_IMAGE,
                        {QDir::toNativeSeparators(imagePath), reason.isEmpty() ? LoadString(IDS_MSG_DISC_UNREADABLE) : reason});
}
