#include "SkinPaint.h"

#include <QGuiApplication>
#include <QPainter>
#include <QWidget>
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

// The picture's pixels under cell `i` of `cells` equal cells over `length` pixels.
std::pair<int, int> Block(int i, int cells, int length)
{
    const int first = int(qint64(i) * length / cells);
    const int end = std::max(first + 1, int((qint64(i) + 1) * length / cells));
    return {first, std::min(end, length)};
}

// A window shape over a grid of `size` logical pixels (the picture's own
// logical size when empty): each logical pixel is judged on the picture's
// pixels it covers, which are several on a dense picture.
QRegion RegionOf(const QImage& image, QSize size, const std::function<bool(const std::vector<QRgb>&)>& inside)
{
    if (size.isEmpty()) size = SkinPaint::Size(image);
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    std::vector<QRect> spans;
    std::vector<QRgb> covered;
    const auto cellInside = [&](int x, int y) {
        const auto [left, right] = Block(x, size.width(), pixels.width());
        const auto [top, bottom] = Block(y, size.height(), pixels.height());
        covered.clear();
        for (int row = top; row < bottom; ++row) {
            const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(row));
            covered.insert(covered.end(), line + left, line + right);
        }
        return inside(covered);
    };
    for (int y = 0; y < size.height(); ++y) {
        int x = 0;
        while (x < size.width()) {
            while (x < size.width() && !cellInside(x, y)) ++x;
            const int start = x;
            while (x < size.width() && cellInside(x, y)) ++x;
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
    // Covered on average at least half.
    return RegionOf(image, size, [](const std::vector<QRgb>& pixels) {
        int alpha = 0;
        for (QRgb pixel : pixels) alpha += qAlpha(pixel);
        return alpha >= 128 * int(pixels.size());
    });
}

QRegion RegionWithoutColour(const QImage& image, QRgb key, QSize size)
{
    // No pixel of the key colour: an edge never shows it.
    const QRgb opaqueKey = key | 0xFF000000u;
    return RegionOf(image, size, [opaqueKey](const std::vector<QRgb>& pixels) {
        return std::none_of(pixels.begin(), pixels.end(),
                            [opaqueKey](QRgb pixel) { return (pixel | 0xFF000000u) == opaqueKey; });
    });
}

void PrepareShapedWindow(QWidget& window)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        window.setAttribute(Qt::WA_TranslucentBackground);
}

void ClipToShape(QPainter& painter, const QWidget& window)
{
    if (!window.mask().isEmpty()) painter.setClipRegion(window.mask());
}

} // namespace SkinPaint
