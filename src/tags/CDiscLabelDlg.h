// CDiscLabelDlg: shows a disc's label picture at full size (360 x 360).
// The picture is the engine's label set labelImageId; without one (id 0
// or less, or the engine has none) the label area stays empty.
#pragma once
#include "CFlwBaseDialog.h"
#include "ILibraryEngine.h"

class CGStatic;

class CDiscLabelDlg : public CFlwBaseDialog {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 3262;
    static constexpr UINT kLabelId = 3225;
    static constexpr UINT kCloseCommand = 6044;
    static constexpr int kLabelSize = 360;
    static constexpr const char* kBackground = "Image\\Albireo\\DiscLabel.png";

    CDiscLabelDlg(LONG labelImageId, ILibraryEngine* engine, QWidget* parent = nullptr);

    CGStatic* LabelControl() const { return m_pLabel; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    LONG m_nLabelImageId;
    ILibraryEngine* m_pEngine;
    CGStatic* m_pLabel = nullptr;
};
