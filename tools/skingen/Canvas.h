// Drawing helpers of the skin generator: empty pictures, strips of state
// frames, the shared surfaces (rounded panels, dialog bodies) and the
// output of pictures under their "Image\..." names.
#pragma once
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <functional>
#include <vector>

namespace Canvas {

// One picture of the skin: its path as the program names it and how to draw it.
struct Picture {
    QString path;
    std::function<QImage()> draw;
};
using Pictures = std::vector<Picture>;

enum State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

// Every picture is drawn twice: at density 1 under its own name and at
// density 2 under Qt's "@2x" name for dense screens. Drawing code works in
// the picture's own (logical) pixels either way; Blank() makes an image of
// the current density.
inline constexpr int kDenseRatio = 2;
void SetDensity(int density);
int Density();
// The "@2x" name of a picture file: "dir/name@2x.png" for "dir/name.png".
QString DenseName(const QString& file);

QImage Blank(int width, int height, const QColor& fill = Qt::transparent);
// A picture's size in its own pixels, whatever its density.
QSize LogicalSize(const QImage& image);
// The part `logical` of a picture, of the picture's density.
QImage Cut(const QImage& image, const QRect& logical);
// A horizontal strip of `frames` frames of `frameWidth` x `height`; `paint`
// draws frame i into a painter whose origin is the frame's corner.
QImage Strip(int frameWidth, int height, int frames, const std::function<void(QPainter&, int frame)>& paint);
// A painter with antialiasing and smooth scaling on.
void Prepare(QPainter& painter);
QPainterPath Rounded(const QRectF& rect, qreal radius);
// Vertical two-colour gradient over `rect`.
QLinearGradient Vertical(const QRectF& rect, const QColor& top, const QColor& bottom);
// The font of pictures that carry words.
QFont Face(qreal pixelSize, int weight = QFont::DemiBold);

// The skinned dialog surface: rounded corners (transparent outside), a navy
// caption band with a teal hairline, a light body and an optional footer.
QImage DialogSurface(int width, int height, int captionHeight, int footerHeight, bool flatBody = false);
// A white card with a hairline edge, for areas that hold rows or pictures.
void Card(QPainter& painter, const QRectF& rect, qreal radius = 6);

// Writes every picture under `root` (backslashes become folders), at
// density 1 and, beside it, at density 2 under its "@2x" name; false
// and a message on standard error when one cannot be written.
bool WriteAll(const Pictures& pictures, const QString& root);

} // namespace Canvas
