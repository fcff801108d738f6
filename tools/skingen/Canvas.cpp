#include "Canvas.h"

#include "Palette.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace Canvas {

namespace {
int g_density = 1;
}

void SetDensity(int density) { g_density = density; }

int Density() { return g_density; }

QString DenseName(const QString& file)
{
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return file.left(dot) + QStringLiteral("@%1x").arg(kDenseRatio) + file.mid(dot);
}

QImage Blank(int width, int height, const QColor& fill)
{
    QImage image(width * g_density, height * g_density, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(g_density);
    image.fill(fill);
    return image;
}

QSize LogicalSize(const QImage& image) { return image.deviceIndependentSize().toSize(); }

QImage Cut(const QImage& image, const QRect& logical)
{
    const qreal ratio = image.devicePixelRatio();
    QImage part = image.copy(QRectF(logical.topLeft() * ratio, logical.size() * ratio).toRect());
    part.setDevicePixelRatio(ratio);
    return part;
}

QImage Strip(int frameWidth, int height, int frames, const std::function<void(QPainter&, int)>& paint)
{
    QImage image = Blank(frameWidth * frames, height);
    QPainter painter(&image);
    Prepare(painter);
    for (int frame = 0; frame < frames; ++frame) {
        painter.save();
        painter.translate(frame * frameWidth, 0);
        painter.setClipRect(0, 0, frameWidth, height);
        paint(painter, frame);
        painter.restore();
    }
    return image;
}

void Prepare(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

QPainterPath Rounded(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QLinearGradient Vertical(const QRectF& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QFont Face(qreal pixelSize, int weight)
{
    QFont font(QStringLiteral("Nimbus Sans"));
    font.setFamilies({QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QImage DialogSurface(int width, int height, int captionHeight, int footerHeight, bool flatBody)
{
    QImage image = Blank(width, height);
    QPainter painter(&image);
    Prepare(painter);
    const QRectF outer(0.5, 0.5, width - 1.0, height - 1.0);
    const QPainterPath shape = Rounded(outer, 9);
    painter.setClipPath(shape);
    if (flatBody)
        painter.fillRect(QRectF(0, 0, width, height), Palette::Body);
    else
        painter.fillRect(QRectF(0, 0, width, height), Vertical(QRectF(0, 0, width, height), Palette::Body, Palette::BodyLow));
    const QRectF band(0, 0, width, captionHeight);
    painter.fillRect(band, Vertical(band, Palette::NavyLight, Palette::Navy));
    // A soft sheen across the top half of the band.
    painter.fillRect(QRectF(0, 0, width, captionHeight / 2.0), QColor(255, 255, 255, 12));
    painter.fillRect(QRectF(0, captionHeight - 2, width, 2), Palette::Teal);
    if (footerHeight > 0) {
        const QRectF footer(0, height - footerHeight, width, footerHeight);
        painter.fillRect(footer, Palette::Footer);
        painter.fillRect(QRectF(0, footer.top(), width, 1), Palette::Hairline);
    }
    painter.setClipping(false);
    painter.setPen(QPen(Palette::Ink, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    return image;
}

void Card(QPainter& painter, const QRectF& rect, qreal radius)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x14, 0x25, 0x3E, 14));
    painter.drawRoundedRect(rect.translated(0, 1.5).adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
    painter.setPen(QPen(Palette::Hairline, 1));
    painter.setBrush(Palette::Field);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.restore();
}

namespace {

bool Write(const QImage& image, const QString& file)
{
    const bool jpeg = file.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
    const QImage out = jpeg ? image.convertToFormat(QImage::Format_RGB32) : image.convertToFormat(QImage::Format_ARGB32);
    if (!image.isNull() && out.save(file, nullptr, jpeg ? 95 : -1)) return true;
    std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(file));
    return false;
}

} // namespace

bool WriteAll(const Pictures& pictures, const QString& root)
{
    bool ok = true;
    for (const Picture& picture : pictures) {
        QString relative = picture.path;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString file = root + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(file).absolutePath());
        SetDensity(1);
        ok = Write(picture.draw(), file) && ok;
        SetDensity(kDenseRatio);
        ok = Write(picture.draw(), DenseName(file)) && ok;
    }
    SetDensity(1);
    return ok;
}

} // namespace Canvas
