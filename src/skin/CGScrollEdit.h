// CGScrollEdit: a multi-line edit whose vertical scroll bar is a
// CGScrollBar; it behaves as the plain multi-line edit otherwise.
#pragma once
#include "WinControls.h"

#include <QPlainTextEdit>

class CGScrollBar;

class CGScrollEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CGScrollEdit(QWidget* parent = nullptr);

    BOOL Create(DWORD style, const QRect& rect, QWidget* parent, UINT id,
                const QColor& textColour = QColor(0x1B, 0x2A, 0x3F));
    // The scroll bar's pictures (empty paths keep the defaults).
    BOOL SetScrollBarPictures(const QString& up, const QString& down, const QString& thumb, const QString& track);
    void SetTextColor(const QColor& colour);
    CGScrollBar* ScrollBar() const { return m_pScrollBar; }

protected:
    // Paints the frame round the viewport (the control's own paint).
    bool event(QEvent* event) override;

private:
    CGScrollBar* m_pScrollBar;
};
