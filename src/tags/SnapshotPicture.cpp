#include "SnapshotPicture.h"

#include <QPainter>

namespace SnapshotPicture {

QRect CentredSquare(QSize frame)
{
    const int side = qMin(frame.width(), frame.height());
    return QRect((frame.width() - side) / 2, (frame.height() - side) / 2, side, side);
}

QRectF PreviewPlacement(QSize frame)
{
    const QRect square = CentredSquare(frame);
    if (square.isEmpty()) return {};
    const qreal scale = qreal(kSnapshotSize) / square.width();
    const QSizeF shown(frame.width() * scale, frame.height() * scale);
    return QRectF(QPointF((kPreviewWidth - shown.width()) / 2, (kPreviewHeight - shown.height()) / 2), shown);
}

QImage Preview(const QImage& frame, const QImage& previewMask)
{
    QImage preview(kPreviewWidth, kPreviewHeight, QImage::Format_ARGB32_Premultiplied);
    preview.fill(Qt::black);
    QPainter painter(&preview);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!frame.isNull()) painter.drawImage(PreviewPlacement(frame.size()), frame);
    if (!previewMask.isNull()) painter.drawImage(preview.rect(), previewMask);
    return preview;
}

QImage Compose(const QImage& frame, const QImage& snapshotMask, const QImage& background)
{
    const QRect target(0, 0, kSnapshotSize, kSnapshotSize);
    // The frame's square, opaque, cut to the mask.
    QImage disc(target.size(), QImage::Format_ARGB32_Premultiplied);
    disc.fill(Qt::transparent);
    QPainter cut(&disc);
    cut.setRenderHint(QPainter::SmoothPixmapTransform);
    cut.drawImage(target, frame.convertToFormat(QImage::Format_RGB32), CentredSquare(frame.size()));
    if (!snapshotMask.isNull()) {
        cut.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        cut.drawImage(target, snapshotMask);
    }
    cut.end();

    QImage snapshot(target.size(), QImage::Format_ARGB32_Premultiplied);
    snapshot.fill(Qt::transparent);
    QPainter painter(&snapshot);
    if (!background.isNull()) painter.drawImage(target, background);
    painter.drawImage(0, 0, disc);
    painter.end();
    return snapshot.convertToFormat(QImage::Format_ARGB32);
}

} // namespace SnapshotPicture
