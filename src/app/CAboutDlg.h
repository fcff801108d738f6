// CAboutDlg: the About box: the product, its version and what it is built on.
#pragma once
#include "CFlwBaseDialog.h"

class CAboutDlg : public CFlwBaseDialog {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 104;
    static constexpr const char* kBackground = "Image\\Albireo\\bg_about.png";

    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
};
