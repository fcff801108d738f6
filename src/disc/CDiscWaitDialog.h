// CDiscWaitDialog: what the two dialogs of template 434 share (waiting for
// a disc, reading a disc): the background, the disc icon, the one Cancel
// button and the bold "Please wait" title above the dialog's text.
#pragma once
#include "CFlwBaseDialog.h"

class CAlphaStatic;

class CDiscWaitDialog : public CFlwBaseDialog {
    Q_OBJECT
public:
    static constexpr UINT IDD = 434;
    static constexpr UINT kSecondTextId = 1485;
    static constexpr UINT kMainTextId = 1486;
    static constexpr UINT kTitleId = 1487;
    static constexpr const char* kBackground = "Image\\Marrowby\\bg_re_04.png";
    static constexpr const char* kIcon = "Image\\icon\\icon_disk.png";

    explicit CDiscWaitDialog(QWidget* parent = nullptr) : CFlwBaseDialog(IDD, parent) {}

protected:
    // Skins the dialog with its Cancel button, and left of it a button of
    // the dialog's own when `extraTextId` is given; SetupSkin's result.
    BOOL SetupWaitSkin(int extraTextId = 0, UINT extraCommand = 0);
    // The bold title at `rect`, and the dialog's word-wrapped text (id
    // `textId`) at `textRect`.
    void AddTexts(const QRect& rect, const QRect& textRect, UINT textId, const QString& text);

    CAlphaStatic* m_pTitle = nullptr;
    CAlphaStatic* m_pText = nullptr;
};
