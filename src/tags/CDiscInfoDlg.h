// CDiscInfoDlg: the details of one disc (name, type, size, date), its label
// picture and its tags. The user may take a new label (through the snapshot
// dialog) and change the tags (through the add-tag dialog). The dialog
// writes nothing to the library: it prepares the new tags strings and three
// label files (32, 128 and 360 pixels, PNG) in the private temporary folder,
// which the caller stores after OK and then deletes. Cancel deletes them.
//
// Two forms: a catalogued disc (OK reads "OK"), and a disc being imported
// (newDiscForm 1: OK reads "Import").
#pragma once
#include "CFlwBaseDialog.h"
#include "ILibraryEngine.h"

class CAlphaStatic;
class CGButton;
class CGStatic;

class CDiscInfoDlg : public CFlwBaseDialog {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 3232;
    static constexpr UINT kLabelId = 3225;
    static constexpr UINT kAddLabelButtonId = 3226;
    static constexpr UINT kTagsButtonId = 3227;
    static constexpr UINT kTagsValueId = 3228;
    static constexpr UINT kCancelCommand = 6044;
    static constexpr int kLabelSize = 116;
    static constexpr const char* kBackground = "Image\\Albireo\\bg_DiscInfoDlg.png";
    static constexpr const char* kCoverPicture = "Image\\Albireo\\cover.png";
    static constexpr const char* kAddLabelPicture = "Image\\Albireo\\btn_add_cover.png";

    CDiscInfoDlg(const QString& value1, const QString& value2, const QString& value3, const QString& value4,
                 LONG labelImageId, const QString& tagIds, bool alternateRowLabel, int newDiscForm,
                 ILibraryEngine* engine, QWidget* parent = nullptr);
    ~CDiscInfoDlg() override;

    // Results, read after the dialog closed.
    QString SmallLabelPath() const { return m_strSmallLabelPath; }
    QString MediumLabelPath() const { return m_strMediumLabelPath; }
    QString LargeLabelPath() const { return m_strLargeLabelPath; }
    QString TagIds() const { return m_strTagIds; }
    QString TagNames() const { return m_strTagNames; }
    QString TempFolder() const { return m_strTempFolder; }
    bool TagsAdded() const { return m_bTagsAdded; }
    bool TagsDeleted() const { return m_bTagsDeleted; }

    // Button 3226: a new label through the snapshot dialog.
    void CaptureLabel();
    // Button 3227: the tags through the add-tag dialog.
    void EditTags();

    QImage LabelBitmap() const { return m_labelBitmap; }
    CGStatic* TagsValue() const { return m_pTagsValue; }
    CGButton* TagsButton() const { return m_pTagsButton; }
    CGButton* AddLabelButton() const { return m_pAddLabelButton; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;

private:
    void CreateRows();
    void CreateLabelControls();
    void ShowTagNames();
    void ShowLabel(const QImage& picture);
    // Writes the three label files from the snapshot; FALSE when one cannot
    // be written: no new file is left and the label taken before stays.
    BOOL WriteLabelFiles(const QImage& picture, const QString& baseName);
    void RemoveLabelFiles();

    QString m_strValues[4];
    LONG m_nLabelImageId;
    QString m_strTagIds;
    bool m_bAlternateRowLabel;
    int m_nNewDiscForm;
    ILibraryEngine* m_pEngine;
    QString m_strTagNames;
    QString m_strSmallLabelPath;
    QString m_strMediumLabelPath;
    QString m_strLargeLabelPath;
    QImage m_labelBitmap;
    QString m_strTempFolder;
    bool m_bTagsDeleted = false;
    bool m_bTagsAdded = false;
    CGStatic* m_pLabel = nullptr;
    CGStatic* m_pTagsValue = nullptr;
    CGButton* m_pAddLabelButton = nullptr;
    CGButton* m_pTagsButton = nullptr;
};
