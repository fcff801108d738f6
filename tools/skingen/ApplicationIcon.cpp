#include "ApplicationIcon.h"

#include "Canvas.h"
#include "Families.h"

#include <QDir>
#include <QSvgGenerator>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};
constexpr int kScalableSize = 512;

// A soft shadow under the disc, so that it stands off light and dark panels.
void Shadow(QPainter& p, const QPointF& centre, qreal side)
{
    QRadialGradient shade(centre + QPointF(0, side * 0.03), side * 0.49);
    shade.setColorAt(0.88, QColor(0x0C, 0x17, 0x27, 90));
    shade.setColorAt(1.0, QColor(0x0C, 0x17, 0x27, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(centre + QPointF(0, side * 0.03), side * 0.49, side * 0.49);
}

// Fine rings on the recorded area and a light sweep across it, as on a real disc.
void Grooves(QPainter& p, const QPointF& centre, qreal side)
{
    p.setBrush(Qt::NoBrush);
    for (qreal r = 0.17; r < 0.45; r += 0.035) {
        p.setPen(QPen(QColor(255, 255, 255, 22), std::max<qreal>(0.6, side / 256)));
        p.drawEllipse(centre, side * r, side * r);
    }
    QConicalGradient sweep(centre, 35);
    sweep.setColorAt(0.0, QColor(255, 255, 255, 0));
    sweep.setColorAt(0.08, QColor(255, 255, 255, 70));
    sweep.setColorAt(0.16, QColor(255, 255, 255, 0));
    sweep.setColorAt(0.5, QColor(255, 255, 255, 0));
    sweep.setColorAt(0.58, QColor(255, 255, 255, 45));
    sweep.setColorAt(0.66, QColor(255, 255, 255, 0));
    sweep.setColorAt(1.0, QColor(255, 255, 255, 0));
    QPainterPath ring;
    ring.addEllipse(centre, side * 0.45, side * 0.45);
    ring.addEllipse(centre, side * 0.15, side * 0.15);
    p.setPen(Qt::NoPen);
    p.setBrush(sweep);
    p.drawPath(ring);
}

// A four-pointed glint over the gold star of the mark.
void Glint(QPainter& p, const QPointF& centre, qreal side)
{
    const QPointF star = centre + QPointF(-side * 0.30, -side * 0.30);
    const qreal arm = side * 0.17, waist = side * 0.022;
    QPainterPath glint;
    glint.moveTo(star + QPointF(0, -arm));
    glint.lineTo(star + QPointF(waist, -waist));
    glint.lineTo(star + QPointF(arm, 0));
    glint.lineTo(star + QPointF(waist, waist));
    glint.lineTo(star + QPointF(0, arm));
    glint.lineTo(star + QPointF(-waist, waist));
    glint.lineTo(star + QPointF(-arm, 0));
    glint.lineTo(star + QPointF(-waist, -waist));
    glint.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xF1, 0xC8, 230));
    p.drawPath(glint);
}

} // namespace

void DrawApplicationIcon(QPainter& p, int side)
{
    Canvas::Prepare(p);
    const QRectF box(side * 0.04, side * 0.04, side * 0.92, side * 0.92);
    const QPointF centre = box.center();
    const bool detailed = side >= 32;
    if (detailed) Shadow(p, centre, box.width());
    DrawProductMark(p, box);
    if (detailed) Grooves(p, centre, box.width());
    if (side >= 48) Glint(p, centre, box.width());
}

bool WriteApplicationIcons(const QString& root, const QString& name)
{
    bool ok = true;
    for (const int side : kSizes) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(side);
        QImage image = Canvas::Blank(side, side);
        {
            QPainter painter(&image);
            DrawApplicationIcon(painter, side);
        }
        if (!QDir().mkpath(folder) || !image.convertToFormat(QImage::Format_ARGB32).save(folder + '/' + name + ".png")) {
            std::fprintf(stderr, "skingen: cannot write the %dx%d icon under %s\n", side, side, qPrintable(root));
            ok = false;
        }
    }
    const QString scalable = root + QStringLiteral("/hicolor/scalable/apps");
    QDir().mkpath(scalable);
    QSvgGenerator svg;
    svg.setFileName(scalable + '/' + name + ".svg");
    svg.setSize(QSize(kScalableSize, kScalableSize));
    svg.setViewBox(QRect(0, 0, kScalableSize, kScalableSize));
    svg.setTitle(QStringLiteral("Albireo"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        std::fprintf(stderr, "skingen: cannot write the scalable icon under %s\n", qPrintable(root));
        return false;
    }
    DrawApplicationIcon(painter, kScalableSize);
    painter.end();
    return ok;
}
