// CFlwBaseDialog: a CFlwDialog dressed in the skin. Its set-up (called from
// each dialog's OnInitDialog) loads the background picture (drawn at the
// origin; the dialog takes its size and shape), creates the caption
// buttons (minimise 61767 and close 61797, the close button cancels), the
// centred caption text, the 24-pixel product icon at (5, 5) and the product
// logo, and up to two bottom buttons on "Image\Common\button\btn.png".
#pragma once
#include "CFlwDialog.h"
#include "ResourceIds.h"

#include <QImage>

class CAlphaStatic;
class CGButton;
class CGStatic;

class CFlwBaseDialog : public CFlwDialog {
    Q_OBJECT
public:
    static constexpr UINT kMinimiseCommand = 61767;
    static constexpr UINT kCloseCommand = 61797;
    static constexpr UINT kMinimiseTipId = IDS_TIP_MINIMIZE;
    static constexpr const char* kMinimisePicture = "Image\\Dialogs\\BaseDialog\\btn_caption_under.png";
    static constexpr const char* kClosePicture = "Image\\Dialogs\\BaseDialog\\btn_caption_close.png";
    static constexpr const char* kButtonPicture = "Image\\Common\\button\\btn.png";
    static constexpr const char* kProductIcon = "Image\\Dialogs\\BaseDialog\\icon_product.png";
    static constexpr const char* kProductLogo = "Image\\Dialogs\\BaseDialog\\logo_product.png";
    static constexpr int kCaptionHeight = 34;
    static constexpr int kButtonWidth = 136;
    static constexpr int kButtonHeight = 24;
    static constexpr int kButtonPitch = 146;
    static constexpr int kButtonRise = 34;

    explicit CFlwBaseDialog(UINT templateId = 0, QWidget* parent = nullptr);

    // The skin set-up. A bottom button is left out when its text and command
    // are both 0; a text resource of 0 or less keeps the command's default
    // text. Button 1 stands left of button 2; the last one given is rightmost.
    // A background that cannot be loaded leaves the dialog unpainted; it
    // still opens (TRUE).
    BOOL SetupSkin(const QString& caption, const QString& backgroundPath, int button1TextId = 0,
                   UINT button1Command = 0, int button2TextId = 0, UINT button2Command = 0);
    // The product icon shown at (5, 5)-(29, 29); set before SetupSkin.
    void SetIconPath(const QString& iconPath) { m_strIconPath = iconPath; }

    QImage Background() const { return m_background; }
    CAlphaStatic* CaptionText() const { return m_pCaption; }
    CGButton* CaptionButton(UINT command) const;
    // The bottom button with the command, or null.
    CGButton* BottomButton(UINT command) const;
    // Left edge of bottom button i (0 = rightmost) in a client of `width`.
    static int BottomButtonLeft(int width, int index) { return width - (index + 1) * kButtonPitch; }
    // The text a bottom button of the command shows when no text is given.
    static int DefaultButtonTextId(UINT command);

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CreateCaption(const QString& caption);
    void CreateBottomButtons(const std::vector<std::pair<int, UINT>>& buttons);

    QImage m_background;
    QString m_strIconPath;
    CAlphaStatic* m_pCaption = nullptr;
    CGStatic* m_pIcon = nullptr;
    CGStatic* m_pLogo = nullptr;
    CGButton* m_pMinimise = nullptr;
    CGButton* m_pClose = nullptr;
    std::vector<CGButton*> m_bottomButtons;
};
