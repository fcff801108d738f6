// CSnapshotDlg: takes a new label picture. The device list offers the
// capture devices and, after them, "a picture file": a camera shows its
// live preview, a picture file (a cover scan) is shown the same way, with
// the preview mask over it. The capture button crops what the disc shows
// to 380 x 380, masks it and saves it as "SnapShot.png" in the private
// temporary folder; Done keeps that file for the caller, cancelling
// deletes it. Without a camera, prepare() says so (message 3256, once per
// run) and the dialog still opens with the picture-file source.
//
// The capture facility comes from a factory (Qt Multimedia by default);
// tests install one that feeds frames.
#pragma once
#include "CFlwBaseDialog.h"
#include "ILibraryEngine.h"
#include "IVideoCapture.h"
#include "SnapshotPicture.h"

#include <functional>
#include <memory>

class CGButton;
class CGComboBox;
class CGStatic;

class CSnapshotDlg : public CFlwBaseDialog {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 437;
    static constexpr UINT kCaptureButtonId = 3253;
    static constexpr UINT kThumbnailId = 3225;
    static constexpr UINT kDeviceComboId = 1309;
    static constexpr UINT kPreviewId = 3250;
    static constexpr const char* kBackground = "Image\\Dialogs\\SnapshotDlg\\bg_dialog_Label_Snapshot.png";
    static constexpr const char* kCapturePicture = "Image\\Dialogs\\SnapshotDlg\\btn_capture.png";
    static constexpr const char* kPreviewMask = "Image\\Dialogs\\SnapshotDlg\\preview_mask.png";
    static constexpr const char* kSnapshotMask = SnapshotPicture::kMaskPicture;
    static constexpr const char* kTransparent = SnapshotPicture::kBackgroundPicture;
    static constexpr const char* kComboPicture = "Image\\Common\\combobox\\combo_216_24.png";
    static constexpr const char* kComboItemPicture = "Image\\Common\\combobox\\comboitembk.jpg";
    static constexpr const char* kSettingsName = "EncorderSetting";
    static constexpr const char* kSnapshotName = "SnapShot.png";
    static constexpr int kPictureReadSide = SnapshotPicture::kFileReadSide;

    using CaptureFactory = std::function<std::unique_ptr<IVideoCapture>()>;

    CSnapshotDlg(QWidget* parent, LONG labelImageId, ILibraryEngine* engine);
    ~CSnapshotDlg() override;

    // The factory every later prepare() uses; an empty one restores the
    // Qt Multimedia facility. The absence of a camera is told again once.
    static void SetCaptureFactory(CaptureFactory factory);

    // An earlier captured picture, shown as the current label.
    void setSourcePicture(const QString& path) { m_strSourcePicture = path; }
    // Makes the capture facility and lists its devices. Without a device
    // it returns S_FALSE (the picture-file source remains), showing message
    // 3256 the first time in the run. A failure means the dialog cannot be
    // used.
    HRESULT prepare();
    // The snapshot file: valid after the dialog ended with OK.
    QString snapshotPath() const { return m_strSnapshotPath; }

    // Reads a picture file as the current frame and shows it; a picture
    // that cannot be read, or is too large, gives a message and changes
    // nothing. FALSE then.
    BOOL UsePictureFile(const QString& path);
    // Crops, masks and saves the current frame; FALSE without a frame or
    // when it cannot be saved.
    BOOL Capture();

    // The entries of the device list: the devices, then the picture file.
    QStringList DeviceEntries() const;
    bool IsPictureFileChosen() const;
    QImage CurrentFrame() const { return m_frame; }
    CGStatic* Thumbnail() const { return m_pThumbnail; }
    CGStatic* PreviewArea() const { return m_pPreview; }
    CGComboBox* DeviceCombo() const { return m_pDeviceCombo; }
    CGButton* CaptureButton() const { return m_pCaptureButton; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;

private:
    void CreateControls();
    void ShowCurrentLabel();
    void FillDeviceList(const QString& keepEntry);
    void DeviceChosen();
    void DevicesChanged();
    void StartPreview(int device);
    void ShowFrame(const QImage& frame);
    // Asks for a picture file and uses it; FALSE when none was taken.
    BOOL ChoosePictureFile();
    void ShowWarning(UINT textId);

    LONG m_nLabelImageId;
    ILibraryEngine* m_pEngine;
    QString m_strSourcePicture;
    QString m_strSnapshotPath;
    std::unique_ptr<IVideoCapture> m_pCapture;
    QStringList m_devices;
    QImage m_frame;
    QImage m_previewMask;
    CGStatic* m_pThumbnail = nullptr;
    CGStatic* m_pPreview = nullptr;
    CGComboBox* m_pDeviceCombo = nullptr;
    CGButton* m_pCaptureButton = nullptr;
};
