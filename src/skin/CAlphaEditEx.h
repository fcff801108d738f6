// CAlphaEditEx: a single-line edit over a background picture, its text
// drawn without a background of its own. While it is empty and unfocused
// it shows a cue text. Characters on its forbidden list are refused as
// typed input, with a tooltip saying why (pasted text is not filtered).
// Text beyond the limit, typed or pasted, is cut and the parent hears
// EN_MAXTEXT.
// Every key press is reported to the parent with WM_USER+1725, wParam = the
// control ID, lParam = the virtual-key code.
#pragma once
#include "WinControls.h"

#include <QImage>
#include <QLineEdit>

class CAlphaEditEx : public QLineEdit {
    Q_OBJECT
public:
    static constexpr UINT kKeyMessage = WM_USER + 1725;

    explicit CAlphaEditEx(QWidget* parent = nullptr);

    BOOL Create(const QString& backgroundPath, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                const QColor& textColour = QColor(0x1B, 0x2A, 0x3F));
    BOOL SetBackground(const QString& picturePath);
    void SetTextColor(const QColor& colour);
    void SetCueText(const QString& cue);
    QString CueText() const { return m_cue; }
    // The characters refused as typed input and the tooltip shown instead.
    void SetForbiddenChars(const QString& characters, const QString& tooltip);
    bool IsForbidden(QChar character) const { return m_forbidden.contains(character); }
    // The text limit; typing at it, or pasting more than fits, notifies the
    // parent with EN_MAXTEXT.
    void SetLimitText(int characters) { setMaxLength(characters); }
    void SetTooltip(const QString& text) { setToolTip(text); }
    // The tooltip text of the last refusal (empty when nothing was refused).
    QString LastRefusal() const { return m_lastRefusal; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // False (and the tooltip shown) when the typed text holds a forbidden character.
    bool AcceptTyped(const QString& typed);
    // Pastes the clipboard; what does not fit is cut and reported.
    void PasteWithLimit();

    QImage m_background;
    QColor m_textColour;
    QString m_cue;
    QString m_forbidden;
    QString m_forbiddenTip;
    QString m_lastRefusal;
};
