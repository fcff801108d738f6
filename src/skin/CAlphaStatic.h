// CAlphaStatic: text drawn straight onto the parent's background, in the
// dialog font "MS Shell Dlg 2" and a settable colour.
#pragma once
#include "WinControls.h"

#include <QLabel>

class CAlphaStatic : public QLabel {
    Q_OBJECT
public:
    explicit CAlphaStatic(QWidget* parent = nullptr);

    BOOL Create(const QString& text, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                const QColor& textColour = QColor(0x1B, 0x2A, 0x3F));
    void SetTextColor(const QColor& colour);
    QColor TextColor() const { return m_textColour; }
    void SetTooltip(const QString& text) { setToolTip(text); }

private:
    QColor m_textColour;
};
