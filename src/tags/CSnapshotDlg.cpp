#include "CSnapshotDlg.h"

#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "CGStatic.h"
#include "CQtVideoCapture.h"
#include "FileChooser.h"
#include "PictureFileReader.h"
#include "PictureSaver.h"
#include "PrivateTempFolder.h"
#include "ResourceIds.h"
#include "SkinImage.h"
#include "SnapshotPicture.h"
#include "StringResources.h"

#include <QFile>
#include <QStandardPaths>

namespace {

const QRect kCaptureRect = RectLTRB(260, 440, 307, 487);
const QRect kThumbnailRect = RectLTRB(490, 440, 537, 487);
const QRect kPreviewRect = RectLTRB(5, 35, 541, 437);
const QRect kComboRect = RectLTRB(14, 452, 230, 476);
constexpr UINT kWarning = 0x30;

CSnapshotDlg::CaptureFactory& Factory()
{
    static CSnapshotDlg::CaptureFactory factory;
    return factory;
}

// Whether the absence of a camera was told in this run: once is enough,
// the picture-file source works without one.
bool& NoCameraTold()
{
    static bool told = false;
    return told;
}

// Every extension in lower and upper case: cameras name their files
// "IMG_0001.JPG", and file dialogs may match patterns by case.
QString FileFilter()
{
    static const QStringList extensions = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                           QStringLiteral("bmp"), QStringLiteral("tif"),  QStringLiteral("tiff"),
                                           QStringLiteral("webp")};
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension << QStringLiteral("*.") + extension.toUpper();
    return LoadString(IDS_PICTURE_FILE_FILTER) + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

} // namespace

CSnapshotDlg::CSnapshotDlg(QWidget* parent, LONG labelImageId, ILibraryEngine* engine)
    : CFlwBaseDialog(kTemplateId, parent), m_nLabelImageId(labelImageId), m_pEngine(engine)
{
}

CSnapshotDlg::~CSnapshotDlg()
{
    if (m_pCapture) m_pCapture->StopPreview();
}

void CSnapshotDlg::SetCaptureFactory(CaptureFactory factory)
{
    Factory() = std::move(factory);
    NoCameraTold() = false; // other devices: their absence is news again
}

HRESULT CSnapshotDlg::prepare()
{
    m_pCapture = Factory() ? Factory()() : std::make_unique<CQtVideoCapture>();
    if (!m_pCapture) return E_FAIL;
    connect(m_pCapture.get(), &IVideoCapture::frameReady, this, &CSnapshotDlg::ShowFrame);
    connect(m_pCapture.get(), &IVideoCapture::devicesChanged, this, &CSnapshotDlg::DevicesChanged);
    // A preview that failed (a camera unplugged) is told from the event
    // loop, never inside the capture facility's own signal: the message's
    // loop could otherwise restart the preview and delete the camera that
    // is still emitting.
    connect(m_pCapture.get(), &IVideoCapture::previewFailed, this, [this] { ShowWarning(IDS_MSG_PREVIEW_FAILED); },
            Qt::QueuedConnection);
    m_devices = m_pCapture->DeviceNames();
    if (!m_devices.isEmpty()) return S_OK;
    if (!NoCameraTold()) ShowWarning(IDS_MSG_NO_CAPTURE_DEVICE);
    NoCameraTold() = true;
    return S_FALSE;
}

BOOL CSnapshotDlg::OnInitDialog()
{
    const BOOL skinned = SetupSkin(LoadString(IDS_SNAPSHOT_CAPTION), QString::fromLatin1(kBackground),
                                   IDS_BTN_DONE, IDOK);
    m_strSnapshotPath = PrivateTempFolder::Path() + QLatin1String(kSnapshotName);
    // The masks are worked on pixel by pixel with the camera's frames: plain density.
    m_previewMask = SkinImage::Load(QString::fromLatin1(kPreviewMask), 1.0);
    CreateControls();
    ShowCurrentLabel();
    ShowFrame(QImage());
    FillDeviceList(QString());
    if (!m_devices.isEmpty()) StartPreview(0);
    return skinned;
}

void CSnapshotDlg::CreateControls()
{
    m_pPreview = new CGStatic(this);
    m_pPreview->Create(QString(), WS_CHILD | WS_VISIBLE, kPreviewRect, this, kPreviewId);
    m_pCaptureButton = new CGButton(this);
    m_pCaptureButton->Create(QString::fromLatin1(kCapturePicture), WS_CHILD | WS_VISIBLE, kCaptureRect, this,
                             kCaptureButtonId);
    m_pCaptureButton->SetTooltipId(IDS_TIP_CAPTURE);
    m_pThumbnail = new CGStatic(this);
    m_pThumbnail->Create(QString(), WS_CHILD | WS_VISIBLE, kThumbnailRect, this, kThumbnailId);
    m_pDeviceCombo = new CGComboBox(this);
    m_pDeviceCombo->Create(QString::fromLatin1(kComboPicture), QString::fromLatin1(kComboItemPicture),
                           WS_CHILD | WS_VISIBLE, kComboRect, this, kDeviceComboId);
}

// The thumbnail: an earlier capture of this run, else the disc's label.
void CSnapshotDlg::ShowCurrentLabel()
{
    if (!m_strSourcePicture.isEmpty() && QFile::exists(m_strSourcePicture)) {
        m_pThumbnail->SetImage(QImage(m_strSourcePicture));
        return;
    }
    QImage* label = nullptr;
    if (m_nLabelImageId > 0 && m_pEngine && SUCCEEDED(m_pEngine->GetLabelImage(m_nLabelImageId, &label)) && label)
        m_pThumbnail->SetImage(*label);
    delete label;
}

QStringList CSnapshotDlg::DeviceEntries() const
{
    return QStringList(m_devices) << LoadString(IDS_SOURCE_PICTURE_FILE);
}

bool CSnapshotDlg::IsPictureFileChosen() const
{
    return m_pDeviceCombo && m_pDeviceCombo->GetCurSel() == m_devices.size();
}

void CSnapshotDlg::FillDeviceList(const QString& keepEntry)
{
    m_pDeviceCombo->ResetContent();
    const QStringList entries = DeviceEntries();
    for (const QString& entry : entries) m_pDeviceCombo->AddString(entry);
    const int kept = entries.indexOf(keepEntry);
    m_pDeviceCombo->SetCurSel(kept >= 0 ? kept : 0);
}

BOOL CSnapshotDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kCaptureButtonId:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        // With the picture-file source and nothing shown yet, the button
        // first asks for the picture.
        if (m_frame.isNull() && IsPictureFileChosen() && !ChoosePictureFile()) return TRUE;
        Capture();
        return TRUE;
    case kDeviceComboId:
        if (HIWORD(wParam) != CBN_SELCHANGE) return FALSE;
        DeviceChosen();
        return TRUE;
    default: return CFlwBaseDialog::OnCommand(wParam, lParam);
    }
}

void CSnapshotDlg::DeviceChosen()
{
    if (IsPictureFileChosen()) {
        if (m_pCapture) m_pCapture->StopPreview();
        ChoosePictureFile();
    } else {
        StartPreview(m_pDeviceCombo->GetCurSel());
    }
}

// A device arrived or left: list the devices again and restart the preview
// of the chosen one (a picture being shown stays).
void CSnapshotDlg::DevicesChanged()
{
    const QString chosen = m_pDeviceCombo ? m_pDeviceCombo->currentText() : QString();
    m_devices = m_pCapture->DeviceNames();
    if (!m_pDeviceCombo) return;
    FillDeviceList(chosen);
    if (!IsPictureFileChosen()) StartPreview(m_pDeviceCombo->GetCurSel());
}

void CSnapshotDlg::StartPreview(int device)
{
    if (!m_pCapture) return;
    m_frame = QImage();
    ShowFrame(QImage());
    if (FAILED(m_pCapture->ReadSettings(QString::fromLatin1(kSettingsName))) ||
        FAILED(m_pCapture->StartPreview(device)))
        ShowWarning(IDS_MSG_PREVIEW_FAILED);
}

void CSnapshotDlg::ShowFrame(const QImage& frame)
{
    if (!frame.isNull()) m_frame = frame;
    if (m_pPreview) m_pPreview->SetImage(SnapshotPicture::Preview(frame, m_previewMask));
}

BOOL CSnapshotDlg::ChoosePictureFile()
{
    const QString picture = FileChooser::ChooseExistingFile(this, LoadString(IDS_PICTURE_FILE_CAPTION),
                                                            QStandardPaths::PicturesLocation, FileFilter());
    return !picture.isEmpty() && UsePictureFile(picture);
}

BOOL CSnapshotDlg::UsePictureFile(const QString& path)
{
    const PictureFileReader::Result picture = PictureFileReader::Read(path, kPictureReadSide);
    if (picture.problem == PictureFileReader::Problem::TooLarge) {
        const QString text = QString::asprintf(
            qPrintable(LoadString(IDS_FMT_PICTURE_TOO_LARGE)), PictureFileReader::kMaxSide, PictureFileReader::kMaxSide,
            int(PictureFileReader::kMaxPixels / 1'000'000), int(PictureFileReader::kMaxFileBytes / (1024 * 1024)));
        CFlwMessageBox::showMessage(text, kWarning, CFlwMessageBox::kCaptionId, this,
                                    QString::fromLatin1(CFlwMessageBox::kWarningIcon));
        return FALSE;
    }
    if (FAILED(picture.hr)) {
        ShowWarning(IDS_MSG_PICTURE_UNREADABLE);
        return FALSE;
    }
    if (m_pCapture) m_pCapture->StopPreview();
    if (m_pDeviceCombo) m_pDeviceCombo->SetCurSel(m_devices.size());
    ShowFrame(picture.image);
    return TRUE;
}

BOOL CSnapshotDlg::Capture()
{
    if (m_frame.isNull()) return FALSE;
    const QImage snapshot = SnapshotPicture::Compose(m_frame, SkinImage::Load(QString::fromLatin1(kSnapshotMask), 1.0),
                                                     SkinImage::Load(QString::fromLatin1(kTransparent), 1.0));
    // The folder is made again when it was removed since the dialog opened.
    const QString folder = PrivateTempFolder::Path();
    m_strSnapshotPath = folder + QLatin1String(kSnapshotName);
    if (folder.isEmpty() || FAILED(PictureSaver::Save(snapshot, m_strSnapshotPath, QStringLiteral("png")))) {
        ShowWarning(IDS_MSG_LABEL_NOT_SAVED);
        return FALSE;
    }
    m_pThumbnail->SetImage(QImage(m_strSnapshotPath));
    return TRUE;
}

void CSnapshotDlg::OnCancel()
{
    if (m_pCapture) m_pCapture->StopPreview();
    if (!m_strSnapshotPath.isEmpty()) QFile::remove(m_strSnapshotPath);
    CFlwBaseDialog::OnCancel();
}

void CSnapshotDlg::ShowWarning(UINT textId)
{
    CFlwMessageBox::showMessage(textId, kWarning, CFlwMessageBox::kCaptionId, this,
                                QString::fromLatin1(CFlwMessageBox::kWarningIcon));
}
