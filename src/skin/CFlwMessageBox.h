// CFlwMessageBox: the program's message box, built fresh for every message
// and run modally through the modal seam. The style chooses the buttons
// (bits 0-3) and the icon (bits 4-7); the box sizes itself to the text
// (468 x 208 at least, text 318..874 pixels wide, 768 pixels high at most)
// and draws a background composed of nine pictures. Results are the
// platform codes IDOK .. IDNO. Enter presses the default button (style bits
// 8-11 count it in the system's left-to-right order, the first when they
// name none), which has the focus when the box opens; Escape cancels as the
// close button does. Screen readers hear the caption and text at once.
#pragma once
#include "CFlwDialog.h"
#include "ResourceIds.h"

#include <QFont>
#include <QImage>
#include <vector>

class CAlphaStatic;
class CGButton;

class CFlwMessageBox : public CFlwDialog {
    Q_OBJECT
public:
    static constexpr UINT kCaptionId = IDS_APP_CAPTION;
    static constexpr const char* kWindowClass = "Flintwell Message Box";
    static constexpr const char* kExclamationIcon = "Image\\Dialogs\\MessageBox\\icon_exclamation.png";
    static constexpr const char* kErrorIcon = "Image\\Dialogs\\MessageBox\\icon_error.png";
    static constexpr const char* kQuestionIcon = "Image\\Dialogs\\MessageBox\\icon_question.png";
    static constexpr const char* kWarningIcon = "Image\\Dialogs\\MessageBox\\icon_warning.png";
    static constexpr const char* kInformationIcon = "Image\\Dialogs\\MessageBox\\icon_information.png";
    static constexpr int kMinWidth = 468;
    static constexpr int kMinHeight = 208;
    static constexpr int kMaxHeight = 768;
    static constexpr int kMinTextWidth = 318;
    static constexpr int kMaxTextWidth = 874;

    // The message of string resource `textId`; the result code, or -1 when
    // the style names no buttons (nothing is shown then).
    static int showMessage(UINT textId, UINT style, UINT captionId = kCaptionId, QWidget* parent = nullptr,
                           const QString& iconPath = QString());
    static int showMessage(const QString& text, UINT style, UINT captionId = kCaptionId, QWidget* parent = nullptr,
                           const QString& iconPath = QString());

    // The button commands of a style, rightmost first; empty when the box
    // cannot be built.
    static std::vector<UINT> ButtonCommands(UINT style);
    // The command of the default button; 0 when the box cannot be built.
    static UINT DefaultCommand(UINT style);
    // The result a button command gives, 0 for other commands.
    static int ResultOfCommand(UINT command);
    // The icon picture a style shows ("" for none); `callerIcon` serves the
    // button sets beyond 5.
    static QString IconFor(UINT style, const QString& callerIcon);

    struct Layout {
        QSize box;      // the dialog's size
        QRect text;     // where the text goes
        int textWidth;  // the measured text width after wrapping
    };
    static Layout Measure(const QString& text, const QFont& font);
    static QFont TextFont();

    CFlwMessageBox(const QString& text, UINT textId, UINT style, UINT captionId, QWidget* parent,
                   const QString& iconPath);

    QString Text() const { return m_strText; }
    QString IconPath() const { return m_strIconPath; }
    UINT Style() const { return m_nStyle; }
    QImage Background() const { return m_background; }
    const std::vector<CGButton*>& Buttons() const { return m_buttons; }
    CGButton* CloseButton() const { return m_pClose; }
    Layout CurrentLayout() const { return m_layout; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    ModalRecord DescribeRun() const override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ComposeBackground();
    void CreateButtons(const std::vector<UINT>& commands);

    QString m_strText;
    UINT m_nTextId;
    UINT m_nStyle;
    UINT m_nCaptionId;
    QString m_strCaption;
    QString m_strIconPath;
    QImage m_icon;
    QImage m_background;
    Layout m_layout{};
    CAlphaStatic* m_pText = nullptr;
    CAlphaStatic* m_pTitle = nullptr;
    CGButton* m_pClose = nullptr;
    std::vector<CGButton*> m_buttons;
};
