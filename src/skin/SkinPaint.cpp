#include "SkinPaint.h"

#include <QPainter>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

// A picture's part in its own device pixels.
QRectF DeviceRect(const QImage& image, const QRect& logical)
{
    const qreal ratio = image.devicePixelRatio();
    return QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio, logical.height() * ratio);
}

// `image` as one device pixel per logical pixel of `size` (its own logical
// size when empty): window shapes are made in logical pixels. Alpha shapes
// average the dense pixels, colour keys keep exact colours.
QImage AtLogicalSize(const QImage& image, QSize size, Qt::TransformationMode mode)
{
    if (size.isEmpty()) size = SkinPaint::Size(image);
    if (image.size() == size) return image;
    QImage logical = image.scaled(size, Qt::IgnoreAspectRatio, mode);
    logical.setDevicePixelRatio(1);
    return logical;
}

QRegion RegionOf(const QImage& image, const std::function<bool(QRgb)>& inside)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    std::vector<QRect> spans;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            while (x < pixels.width() && !inside(line[x])) ++x;
            const int start = x;
            while (x < pixels.width() && inside(line[x])) ++x;
            if (x > start) spans.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    region.setRects(spans.data(), static_cast<int>(spans.size()));
    return region;
}

} // namespace

namespace SkinPaint {

QSize Size(const QImage& image) { return image.deviceIndependentSize().toSize(); }

QRect Bounds(const QImage& image) { return QRect(QPoint(), Size(image)); }

QRect FrameRect(const QImage& strip, int frames, int index)
{
    const QSize size = Size(strip);
    const int width = size.width() / std::max(frames, 1);
    return QRect(index * width, 0, width, size.height());
}

QMargins CornerCaps(const QSize& frame, int limit)
{
    const int cap = std::min(limit, std::min(frame.width(), frame.height()) / 3);
    return QMargins(cap, cap, cap, cap);
}

void DrawStretched(QPainter& painter, const QRect& target, const QImage& image, const QRect& source,
                   const QMargins& caps)
{
    if (image.isNull() || target.isEmpty() || source.isEmpty()) return;
    if (target.size() == source.size()) {
        DrawPart(painter, target.topLeft(), image, source);
        return;
    }
    // Three columns and three rows; the caps shrink when the target is
    // smaller than the caps together.
    const int left = std::min(caps.left(), target.width() / 2), right = std::min(caps.right(), target.width() / 2);
    const int top = std::min(caps.top(), target.height() / 2), bottom = std::min(caps.bottom(), target.height() / 2);
    const int srcX[4] = {source.left(), source.left() + left, source.right() + 1 - right, source.right() + 1};
    const int srcY[4] = {source.top(), source.top() + top, source.bottom() + 1 - bottom, source.bottom() + 1};
    const int dstX[4] = {target.left(), target.left() + left, target.right() + 1 - right, target.right() + 1};
    const int dstY[4] = {target.top(), target.top() + top, target.bottom() + 1 - bottom, target.bottom() + 1};
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect from(QPoint(srcX[column], srcY[row]), QPoint(srcX[column + 1] - 1, srcY[row + 1] - 1));
            const QRect to(QPoint(dstX[column], dstY[row]), QPoint(dstX[column + 1] - 1, dstY[row + 1] - 1));
            if (!from.isEmpty() && !to.isEmpty()) painter.drawImage(QRectF(to), image, DeviceRect(image, from));
        }
    }
    painter.restore();
}

void DrawPart(QPainter& painter, const QPoint& at, const QImage& image, const QRect& source)
{
    painter.drawImage(QRectF(at, source.size()), image, DeviceRect(image, source));
}

QImage Cut(const QImage& image, const QRect& source)
{
    QImage part = image.copy(DeviceRect(image, source).toRect());
    part.setDevicePixelRatio(image.devicePixelRatio());
    return part;
}

QRegion RegionFromAlpha(const QImage& image, QSize size)
{
    return RegionOf(AtLogicalSize(image, size, Qt::SmoothTransformation),
                    [](QRgb pixel) { return qAlpha(pixel) >= 128; });
}

QRegion RegionWithoutColour(const QImage& image, QRgb key, QSize size)
{
    const QRgb opaqueKey = key | 0xFF000000u;
    return RegionOf(AtLogicalSize(image, size, Qt::FastTransformation),
                    [opaqueKey](QRgb pixel) { return (pixel | 0xFF000000u) != opaqueKey; });
}

} // namespace SkinPaint
