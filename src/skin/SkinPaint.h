// Drawing shared by the skinned windows and controls: frames out of picture
// strips, pictures stretched by their middle (corners kept), and window
// shapes cut from pictures.
#pragma once
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QRegion>

class QPainter;

namespace SkinPaint {

// Frame `index` of a horizontal strip of `frames` equal frames.
QRect FrameRect(const QImage& strip, int frames, int index);
// Draws `source` of `image` into `target`: unscaled when the sizes match,
// else stretched with the corners given by `caps` kept at their size.
void DrawStretched(QPainter& painter, const QRect& target, const QImage& image, const QRect& source,
                   const QMargins& caps);
// Caps that keep rounded corners of a frame: a third of the shorter side,
// at most `limit` pixels.
QMargins CornerCaps(const QSize& frame, int limit = 8);
// The pixels whose alpha is at least half, as a window shape.
QRegion RegionFromAlpha(const QImage& image);
// The pixels that differ from the key colour (alpha ignored), as a window shape.
QRegion RegionWithoutColour(const QImage& image, QRgb key);

} // namespace SkinPaint
