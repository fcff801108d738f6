// CGXTFrameWnd: the skinned top-level frame. It has no system caption: it
// draws its own 43-pixel caption band, borders and caption buttons from the
// skin's pictures, cuts its rounded corners, and leaves moving and resizing
// to WindowDrag: a drag on the caption moves it, a drag on a border resizes
// it, a click does neither. Subclasses put their content into the client area.
#pragma once
#include "WindowDrag.h"
#include "wintypes.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

class QMenuBar;

class CGXTFrameWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCaptionHeight = 43;
    static constexpr int kSideBorder = 10;
    static constexpr int kBottomBorder = 6;
    static constexpr int kResizeGrip = 6;
    static constexpr QRgb kOutsideColour = 0xFF0000FF; // pure blue

    // Caption parts a point may hit.
    enum HitCode { HitNowhere, HitCaption, HitIcon, HitClose, HitMaximise, HitMinimise };

    explicit CGXTFrameWnd(QWidget* parent = nullptr);

    // Loads the pictures; FALSE when a caption picture is missing (the
    // frame then draws plain colours).
    BOOL CreateSkin();
    // The area inside the caption and borders, in window coordinates.
    QRect ClientRect() const;
    // A caption button's rectangle in window coordinates (empty when absent).
    QRect ButtonRect(HitCode button) const;
    HitCode HitTest(const QPoint& point) const;
    // The border edges a point lies on (for resizing); none inside.
    Qt::Edges EdgesAt(const QPoint& point) const;
    // Puts a menu bar into the caption band, right of the logo.
    void SetCaptionMenuBar(QMenuBar* menuBar);
    // The narrowest width at which the caption buttons stay clear of the menu bar.
    int CaptionMinimumWidth() const;
    int HoverCode() const { return m_nHover; }
    const WindowDrag& Drag() const { return m_drag; }
    // The tooltip string of a caption button.
    static UINT TooltipIdOf(HitCode button, bool maximised);
    // What a caption button does when released over it.
    void ActOnButton(HitCode button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void PaintBorders(QPainter& painter) const;
    void PaintCaption(QPainter& painter) const;
    void PaintButton(QPainter& painter, HitCode button, const QImage& strip) const;
    QRect TitleRect() const;
    int MenuBarLeft(bool withLogo) const;
    bool ShowsLogo() const;
    void PlaceMenuBar();
    void UpdateShape();
    void SetHover(HitCode hover);
    void ShowSystemMenu(const QPoint& globalPosition);

    QImage m_pieces[9]; // 1..9 as the pictures are numbered (5 unused)
    QRegion m_outside[4]; // outside pixels of the caption's ends and the bottom corners
    QImage m_icon;
    QImage m_logo;
    QImage m_close, m_maximise, m_restore, m_minimise;
    QMenuBar* m_pMenuBar = nullptr;
    HitCode m_nHover = HitNowhere;
    HitCode m_nPressed = HitNowhere;
    WindowDrag m_drag{this};
};
