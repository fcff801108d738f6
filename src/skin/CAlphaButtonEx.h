// CAlphaButtonEx: a push button, check box or radio button drawn from a
// picture strip. Check boxes (styles 2 and 3) default to "Image\checkbox.png",
// radio buttons (styles 4 and 9) to "Image\radiobtn.png"; both strips hold
// eight square frames (normal, hover, pressed, disabled, then the same
// checked). A push button draws four frames stretched under its text.
// Clicks reach the parent as WM_COMMAND BN_CLICKED.
#pragma once
#include "WinControls.h"

#include <QAbstractButton>
#include <QImage>

class CAlphaButtonEx : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr const char* kCheckBoxPicture = "Image\\checkbox.png";
    static constexpr const char* kRadioPicture = "Image\\radiobtn.png";
    static constexpr const char* kPushPicture = "Image\\Common\\button\\btn.png";

    explicit CAlphaButtonEx(QWidget* parent = nullptr);

    // An empty picture path takes the default of the button's kind.
    BOOL Create(const QString& text, const QString& picturePath, DWORD style, const QRect& rect, QWidget* parent,
                UINT id, const QColor& textColour = QColor(0x1B, 0x2A, 0x3F));
    BOOL SetPicture(const QString& picturePath);
    void SetTooltip(const QString& text) { setToolTip(text); }
    void SetTextColor(const QColor& colour);
    DWORD ButtonType() const { return m_dwType; }
    bool IsCheckBox() const { return m_dwType == BS_CHECKBOX || m_dwType == BS_AUTOCHECKBOX; }
    bool IsRadio() const { return m_dwType == BS_RADIOBUTTON || m_dwType == BS_AUTORADIOBUTTON; }
    // The frame the current state draws.
    int FrameIndex() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void nextCheckState() override;

private:
    void Clicked();

    QImage m_picture;
    QColor m_textColour;
    DWORD m_dwType = BS_PUSHBUTTON;
};
