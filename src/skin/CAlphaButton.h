// CAlphaButton: a button drawn from one picture with alpha. The states
// show as light on hover, a one-pixel push while held and half opacity
// when disabled. Clicks reach the parent as WM_COMMAND BN_CLICKED.
#pragma once
#include "WinControls.h"

#include <QAbstractButton>
#include <QImage>

class QPainter;

class CAlphaButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CAlphaButton(QWidget* parent = nullptr);

    BOOL Create(const QString& picturePath, DWORD style, const QRect& rect, QWidget* parent, UINT id);
    BOOL SetPicture(const QString& picturePath);
    void SetTooltip(const QString& text) { setToolTip(text); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void DrawPicture(QPainter& painter);

    QImage m_picture;
};
