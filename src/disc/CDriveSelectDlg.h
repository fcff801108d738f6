// CDriveSelectDlg: the first dialog of an import, in which the user chooses
// the drive that holds the disc. It works on the disc access object
// directly: opening lists the drives and selects the first, and every change
// of the choice selects that drive at once, so that OK leaves the chosen
// drive selected. "Insert image..." beside the list puts a disc image into
// an image drive (the chosen one when it is an image drive, else the one
// ImageDriveSlots picks) and chooses that drive, so that a machine without
// an optical drive imports its images from here.
//
//   CDriveSelectDlg dialog(discs, parent);
//   if (dialog.DoModal() == IDOK) ... the selected drive of discs ...
#pragma once
#include "CFlwBaseDialog.h"

class CAlphaStatic;
class CDiscAccess;
class CGButton;
class CGComboBox;

class CDriveSelectDlg : public CFlwBaseDialog {
    Q_OBJECT
public:
    static constexpr UINT IDD = 3249;
    static constexpr UINT kTextId = 3250;
    static constexpr UINT kDriveListId = 3251;
    static constexpr UINT kInsertImageId = 3252;
    static constexpr const char* kBackground = "Image\\Marrowby\\bg_re_04.png";
    static constexpr const char* kIcon = "Image\\icon\\icon_disk.png";
    static constexpr const char* kComboPicture = "Image\\Common\\combobox\\combo_216_24.png";
    static constexpr const char* kComboItemPicture = "Image\\Common\\combobox\\comboitembk.jpg";

    CDriveSelectDlg(CDiscAccess& discs, QWidget* parent = nullptr);

    CGComboBox* DriveList() const { return m_pDriveList; }
    CGButton* InsertImageButton() const { return m_pInsertImage; }
    // Puts the image into an image drive and chooses that drive; a message
    // tells why when the image is refused. TRUE when it went in.
    BOOL InsertImage(const QString& imagePath);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void FillDriveList(int chosen);
    void ChooseImageFile();

    CDiscAccess& m_discs;
    CAlphaStatic* m_pText = nullptr;
    CGComboBox* m_pDriveList = nullptr;
    CGButton* m_pInsertImage = nullptr;
};
