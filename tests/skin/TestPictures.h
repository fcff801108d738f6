// Pictures made in tests: strips whose frames are solid, distinct colours,
// so that a grabbed control tells which frame it drew.
#pragma once
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>

inline QColor FrameColour(int frame) { return QColor::fromHsv((frame * 45) % 360, 200, 220); }

inline QImage ColourStrip(int frames, int width = 10, int height = 10)
{
    QImage strip(frames * width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&strip);
    for (int frame = 0; frame < frames; ++frame) painter.fillRect(frame * width, 0, width, height, FrameColour(frame));
    return strip;
}

// The same strip drawn twice as dense (device pixel ratio 2), as the "@2x"
// twin of a skin picture is.
inline QImage DenseColourStrip(int frames, int width = 10, int height = 10)
{
    QImage strip = ColourStrip(frames, width * 2, height * 2);
    strip.setDevicePixelRatio(2);
    return strip;
}

// The frame whose colour the widget shows at `point`, or -1.
inline int FrameShown(QWidget& widget, int frames, QPoint point = QPoint(-1, -1))
{
    const QImage image = widget.grab().toImage();
    const QColor shown = image.pixelColor(point.x() < 0 ? QPoint(image.width() / 2, image.height() / 2) : point);
    for (int frame = 0; frame < frames; ++frame)
        if (FrameColour(frame).rgb() == shown.rgb()) return frame;
    return -1;
}
