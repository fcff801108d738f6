// SnapshotPicture: the geometry and composition of a label snapshot. The
// largest centred square of a frame is what becomes the label: the live
// preview (536 x 402) shows the frame scaled so that this square fills the
// 380 x 380 disc in the middle of the preview mask, and a capture crops the
// same square, scales it to 380 x 380 and keeps it where the snapshot mask
// covers (a disc with its centre hole), transparent elsewhere.
#pragma once
#include <QImage>
#include <QRect>

namespace SnapshotPicture {

inline constexpr int kPreviewWidth = 536;
inline constexpr int kPreviewHeight = 402;
inline constexpr int kSnapshotSize = 380;
// What a snapshot is composed with: the disc-shaped mask and what shows
// around it.
inline constexpr const char* kMaskPicture = "Image\\Dialogs\\SnapshotDlg\\snapshot_mask.png";
inline constexpr const char* kBackgroundPicture = "Image\\Dialogs\\SnapshotDlg\\transparent.png";
// Pictures from files are read at most this large (longer side).
inline constexpr int kFileReadSide = 2048;

// The largest square centred in a frame of that size.
QRect CentredSquare(QSize frame);
// Where the frame lies in the preview: its centred square on the
// 380 x 380 square in the preview's middle.
QRectF PreviewPlacement(QSize frame);
// The preview picture: the frame placed on black with the mask over it.
QImage Preview(const QImage& frame, const QImage& previewMask);
// The 380 x 380 snapshot with alpha: the frame's centred square where the
// mask covers (opaque where the mask is), `background` elsewhere. A null
// mask keeps the whole square.
QImage Compose(const QImage& frame, const QImage& snapshotMask, const QImage& background);

} // namespace SnapshotPicture
