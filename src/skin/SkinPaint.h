// Drawing shared by the skinned windows and controls: frames out of picture
// strips, pictures stretched by their middle (corners kept), and window
// shapes cut from pictures. Sizes, rectangles and shapes are in the
// picture's own pixels (the window's logical pixels), whatever the density
// the picture was loaded at: a picture drawn for dense screens (device
// pixel ratio 2) measures and cuts exactly as its plain twin.
#pragma once
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QRegion>

class QPainter;
class QWidget;

namespace SkinPaint {

// The picture's size, and its whole rectangle, in logical pixels.
QSize Size(const QImage& image);
QRect Bounds(const QImage& image);
// Frame `index` of a horizontal strip of `frames` equal frames.
QRect FrameRect(const QImage& strip, int frames, int index);
// Draws `source` of `image` into `target`: unscaled when the sizes match,
// else stretched with the corners given by `caps` kept at their size.
void DrawStretched(QPainter& painter, const QRect& target, const QImage& image, const QRect& source,
                   const QMargins& caps);
// Draws `source` of `image` unscaled with its corner at `at`.
void DrawPart(QPainter& painter, const QPoint& at, const QImage& image, const QRect& source);
// The picture's part `source`, of the picture's density.
QImage Cut(const QImage& image, const QRect& source);
// Caps that keep rounded corners of a frame: a third of the shorter side,
// at most `limit` pixels.
QMargins CornerCaps(const QSize& frame, int limit = 8);
// The pixels whose alpha is at least half, as a window shape; `size`, when
// given, stretches the picture to that size first.
QRegion RegionFromAlpha(const QImage& image, QSize size = {});
// The pixels that differ from the key colour (alpha ignored), as a window
// shape; `size` as above.
QRegion RegionWithoutColour(const QImage& image, QRgb key, QSize size = {});

// A skinned top-level window is cut to its shape by its mask. On X11 the
// shape itself hides what lies outside, with or without a compositor (a
// translucent window would show black there without one). A Wayland
// compositor takes the mask for input only and shows every pixel: there
// the window is made translucent (before it is shown) and paints only
// inside its mask.
void PrepareShapedWindow(QWidget& window);
// Clips `painter` to the window's mask, when it has one.
void ClipToShape(QPainter& painter, const QWidget& window);

} // namespace SkinPaint
