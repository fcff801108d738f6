// CGScrollBar: a vertical scroll bar of its own window class
// "MFCGScrollBar" (arrow cursor), drawn from pictures: up and down arrows
// (four-frame strips: normal, hover, pressed, disabled), the thumb (four
// frames, stretched along the bar with its ends kept) and the track
// (stretched). Arrows and the track repeat while held (after 500 ms, then
// every 100 ms); the thumb is dragged. It is a QScrollBar, so scroll areas
// take it as their own.
#pragma once
#include "WinControls.h"

#include <QBasicTimer>
#include <QImage>
#include <QScrollBar>

class CGScrollBar : public QScrollBar {
    Q_OBJECT
public:
    static constexpr const char* kWindowClass = "MFCGScrollBar";
    static constexpr const char* kUpPicture = "Image\\Common\\scrollbar\\up.png";
    static constexpr const char* kDownPicture = "Image\\Common\\scrollbar\\down.png";
    static constexpr const char* kThumbPicture = "Image\\Common\\scrollbar\\thumb_v.png";
    static constexpr const char* kTrackPicture = "Image\\Common\\scrollbar\\bg_v_120.png";

    enum Part { None, UpArrow, DownArrow, PageUp, PageDown, Thumb };

    explicit CGScrollBar(QWidget* parent = nullptr);

    BOOL Create(DWORD style, const QRect& rect, QWidget* parent, UINT id);
    // Empty paths keep the default pictures.
    BOOL SetPictures(const QString& up, const QString& down, const QString& thumb, const QString& track);

    Part PartAt(const QPoint& point) const;
    QRect PartRect(Part part) const;
    Part PressedPart() const { return m_pressed; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    int ArrowHeight(const QImage& arrow) const;
    QRect TrackRect() const;
    int FrameFor(Part part) const;
    // One step of the held part; false once a page step reached the mouse.
    bool Step(Part part);

    QImage m_up, m_down, m_thumb, m_track;
    Part m_hover = None;
    Part m_pressed = None;
    QPoint m_pressPoint;
    int m_dragOffset = 0;
    QBasicTimer m_repeat;
};
