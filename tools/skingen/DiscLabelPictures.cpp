// The default disc labels of the five disc categories at 32, 128 and 360
// pixels: a disc cut to its round shape (with the centre hole clear), a
// category colour field, the category's motif and, at the larger sizes,
// its name set along the lower rim.
#include "Canvas.h"
#include "Families.h"
#include "Glyphs.h"
#include "Palette.h"

#include <QFontMetricsF>
#include <cmath>
#include <cstdint>

using namespace Canvas;

namespace {

struct Category {
    const char* name;
    const char* title;
    QColor from, to;
};

const Category kCategories[] = {
    {"video", "VIDEO", QColor(0x3B, 0x1E, 0x6E), QColor(0xC2, 0x18, 0x5B)},
    {"photo", "PHOTO", QColor(0x38, 0xBD, 0xF8), QColor(0x0F, 0x76, 0x6E)},
    {"music", "MUSIC", QColor(0xF9, 0x73, 0x16), QColor(0xBE, 0x18, 0x5D)},
    {"data", "DATA", QColor(0x14, 0x25, 0x3E), QColor(0x0F, 0x9F, 0x93)},
    {"system", "SYSTEM", QColor(0x1E, 0x29, 0x3B), QColor(0x64, 0x74, 0x8B)},
};

void VideoMotif(QPainter& p, const QPointF& c, qreal r, bool small)
{
    // A film strip across the upper half, and a play sign.
    if (!small) {
        p.save();
        p.translate(c);
        p.rotate(-18);
        const QRectF strip(-r * 1.2, -r * 0.78, r * 2.4, r * 0.34);
        p.fillRect(strip, QColor(0, 0, 0, 90));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 70));
        for (qreal x = strip.left() + r * 0.06; x < strip.right(); x += r * 0.16) {
            p.drawRoundedRect(QRectF(x, strip.top() + r * 0.035, r * 0.08, r * 0.06), r * 0.015, r * 0.015);
            p.drawRoundedRect(QRectF(x, strip.bottom() - r * 0.095, r * 0.08, r * 0.06), r * 0.015, r * 0.015);
        }
        p.restore();
    }
    const qreal s = small ? r * 0.62 : r * 0.3;
    const QPointF centre = small ? c : c + QPointF(r * 0.02, -r * 0.55);
    QPainterPath play;
    play.moveTo(centre + QPointF(-s * 0.45, -s * 0.6));
    play.lineTo(centre + QPointF(s * 0.65, 0));
    play.lineTo(centre + QPointF(-s * 0.45, s * 0.6));
    play.closeSubpath();
    QPainterPathStroker rounder;
    rounder.setWidth(s * 0.18);
    rounder.setJoinStyle(Qt::RoundJoin);
    p.fillPath(play.united(rounder.createStroke(play)), QColor(255, 255, 255, 235));
}

void PhotoMotif(QPainter& p, const QPointF& c, qreal r, bool small)
{
    // A sun over layered mountains.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xD1, 0x66));
    p.drawEllipse(c + QPointF(r * 0.42, -r * (small ? 0.38 : 0.5)), r * 0.16, r * 0.16);
    const qreal base = small ? 0.25 : 0.15;
    QPainterPath back;
    back.moveTo(c + QPointF(-r * 1.1, r * base));
    back.lineTo(c + QPointF(-r * 0.45, -r * 0.35));
    back.lineTo(c + QPointF(-r * 0.05, r * 0.02));
    back.lineTo(c + QPointF(r * 0.3, -r * 0.2));
    back.lineTo(c + QPointF(r * 1.1, r * 0.35));
    back.lineTo(c + QPointF(r * 1.1, r * 1.1));
    back.lineTo(c + QPointF(-r * 1.1, r * 1.1));
    back.closeSubpath();
    p.fillPath(back, QColor(0x0F, 0x3D, 0x5C, 170));
    QPainterPath front;
    front.moveTo(c + QPointF(-r * 1.1, r * 0.45));
    front.lineTo(c + QPointF(-r * 0.2, r * 0.05));
    front.lineTo(c + QPointF(r * 0.55, r * 0.5));
    front.lineTo(c + QPointF(r * 1.1, r * 0.3));
    front.lineTo(c + QPointF(r * 1.1, r * 1.1));
    front.lineTo(c + QPointF(-r * 1.1, r * 1.1));
    front.closeSubpath();
    p.fillPath(front, QColor(0x0C, 0x17, 0x27, 200));
}

void MusicMotif(QPainter& p, const QPointF& c, qreal r, bool small)
{
    // Grooves, and a pair of beamed notes.
    if (!small) {
        p.setBrush(Qt::NoBrush);
        for (qreal ring = 0.3; ring < 0.98; ring += 0.045) {
            p.setPen(QPen(QColor(255, 255, 255, 18), r * 0.006));
            p.drawEllipse(c, r * ring, r * ring);
        }
    }
    const qreal s = small ? r * 1.05 : r * 0.55;
    const QPointF o = small ? c + QPointF(-s * 0.05, s * 0.02) : c + QPointF(0, -r * 0.52);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    const QPointF left = o + QPointF(-s * 0.28, s * 0.3), right = o + QPointF(s * 0.28, s * 0.22);
    for (const QPointF& head : {left, right}) {
        p.save();
        p.translate(head);
        p.rotate(-22);
        p.drawEllipse(QPointF(), s * 0.15, s * 0.11);
        p.restore();
    }
    const qreal stem = s * 0.055;
    p.drawRect(QRectF(left + QPointF(s * 0.1, -s * 0.58), QSizeF(stem, s * 0.58)));
    p.drawRect(QRectF(right + QPointF(s * 0.1, -s * 0.58), QSizeF(stem, s * 0.58)));
    QPainterPath beam;
    beam.moveTo(left + QPointF(s * 0.1, -s * 0.58));
    beam.lineTo(right + QPointF(s * 0.1 + stem, -s * 0.66));
    beam.lineTo(right + QPointF(s * 0.1 + stem, -s * 0.52));
    beam.lineTo(left + QPointF(s * 0.1, -s * 0.44));
    beam.closeSubpath();
    p.drawPath(beam);
}

void DataMotif(QPainter& p, const QPointF& c, qreal r, bool small)
{
    // A field of cells, and a stack of storage platters.
    if (!small) {
        p.setPen(Qt::NoPen);
        const qreal cell = r * 0.07;
        // A linear congruential sequence, in unsigned arithmetic where it wraps.
        uint32_t seed = 7;
        for (qreal y = c.y() - r; y < c.y() + r; y += cell * 1.5)
            for (qreal x = c.x() - r; x < c.x() + r; x += cell * 1.5) {
                seed = (seed * 1103515245u + 12345u) & 0x7FFFFFFFu;
                p.setBrush(QColor(0x5E, 0xD8, 0xCB, 12 + int(seed >> 8) % 40));
                p.drawRect(QRectF(x, y, cell, cell));
            }
    }
    const qreal w = small ? r * 1.0 : r * 0.56, h = w * 0.2;
    const QPointF top = small ? c + QPointF(0, -w * 0.42) : c + QPointF(0, -r * 0.78);
    p.setPen(QPen(QColor(255, 255, 255, 235), std::max(1.0, w * 0.07)));
    p.setBrush(Qt::NoBrush);
    for (int level = 0; level < 3; ++level) {
        const QPointF centre = top + QPointF(0, level * h * 1.6);
        if (level == 0) p.drawEllipse(centre, w / 2, h / 2);
        QPainterPath lower;
        lower.moveTo(centre + QPointF(-w / 2, 0));
        lower.arcTo(QRectF(centre.x() - w / 2, centre.y() - h / 2 + h * 1.6 - h * 1.6, w, h), 180, 180);
        QPainterPath side;
        side.moveTo(centre + QPointF(-w / 2, 0));
        side.lineTo(centre + QPointF(-w / 2, h * 1.6));
        side.arcTo(QRectF(centre.x() - w / 2, centre.y() + h * 1.6 - h / 2, w, h), 180, 180);
        side.lineTo(centre + QPointF(w / 2, 0));
        p.drawPath(side);
    }
}

void SystemMotif(QPainter& p, const QPointF& c, qreal r, bool small)
{
    // Fine radial lines, and a gear.
    if (!small) {
        for (int i = 0; i < 72; ++i) {
            const qreal a = i * M_PI / 36;
            p.setPen(QPen(QColor(255, 255, 255, i % 6 ? 10 : 26), r * 0.006));
            p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * r * 0.3, c + QPointF(std::cos(a), std::sin(a)) * r);
        }
    }
    const qreal g = small ? r * 0.62 : r * 0.26;
    const QPointF o = small ? c : c + QPointF(0, -r * 0.56);
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal a = i * M_PI * 2 / (teeth * 4) - M_PI / 2;
        const qreal radius = (i % 4 == 0 || i % 4 == 1) ? g : g * 0.78;
        const QPointF point = o + QPointF(std::cos(a), std::sin(a)) * radius;
        i ? gear.lineTo(point) : gear.moveTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(o, g * 0.34, g * 0.34);
    p.fillPath(gear.subtracted(hole), QColor(255, 255, 255, 235));
}

void Motif(QPainter& p, int category, const QPointF& c, qreal r, bool small)
{
    switch (category) {
    case 0: VideoMotif(p, c, r, small); break;
    case 1: PhotoMotif(p, c, r, small); break;
    case 2: MusicMotif(p, c, r, small); break;
    case 3: DataMotif(p, c, r, small); break;
    default: SystemMotif(p, c, r, small); break;
    }
}

// The title set along the lower rim, reading left to right.
void RimTitle(QPainter& p, const QString& title, const QPointF& c, qreal radius, qreal pixelSize)
{
    QFont font = Face(pixelSize, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, pixelSize * 0.28);
    const QFontMetricsF metrics(font);
    qreal total = 0;
    for (QChar ch : title) total += metrics.horizontalAdvance(ch);
    qreal angle = M_PI / 2 + total / radius / 2;
    p.setFont(font);
    p.setPen(QColor(255, 255, 255, 230));
    for (QChar ch : title) {
        const qreal advance = metrics.horizontalAdvance(ch);
        const qreal mid = angle - advance / radius / 2;
        p.save();
        p.translate(c + QPointF(std::cos(mid), std::sin(mid)) * radius);
        p.rotate((mid - M_PI / 2) * 180 / M_PI);
        p.drawText(QPointF(-metrics.horizontalAdvance(ch) / 2 + pixelSize * 0.14, 0), QString(ch));
        p.restore();
        angle -= advance / radius;
    }
}

QImage DiscLabel(int category, int size)
{
    const Category& kind = kCategories[category];
    const bool small = size <= 48;
    QImage image = Blank(size, size);
    QPainter p(&image);
    Prepare(p);
    const QPointF c(size / 2.0, size / 2.0);
    const qreal r = size / 2.0 - std::max(0.5, size * 0.01);
    const qreal holeRadius = small ? r * 0.1 : r * 0.085;
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    QPainterPath hole;
    hole.addEllipse(c, holeRadius, holeRadius);
    const QPainterPath shape = disc.subtracted(hole);

    p.setClipPath(shape);
    QLinearGradient field(c + QPointF(-r, -r), c + QPointF(r, r));
    field.setColorAt(0, kind.from);
    field.setColorAt(1, kind.to);
    p.fillRect(QRectF(0, 0, size, size), field);
    Motif(p, category, c, r, small);
    // The shine of a disc: a faint conical sweep of light.
    QConicalGradient sheen(c, 35);
    sheen.setColorAt(0.00, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.12, QColor(255, 255, 255, 46));
    sheen.setColorAt(0.25, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.50, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.62, QColor(255, 255, 255, 34));
    sheen.setColorAt(0.75, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.00, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, size, size), sheen);
    // The clear hub around the hole.
    const qreal hub = small ? r * 0.3 : r * 0.24;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE8, 0xEE, 0xF5, small ? 150 : 120));
    p.drawEllipse(c, hub, hub);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF, 70));
    p.drawEllipse(c, hub * 0.62, hub * 0.62);
    if (!small) RimTitle(p, QString::fromLatin1(kind.title), c, r * 0.8, std::max(9.0, size * 0.062));
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 90), std::max(1.0, size / 180.0)));
    p.drawEllipse(c, r - size / 360.0, r - size / 360.0);
    p.setPen(QPen(QColor(0x0C, 0x17, 0x27, 70), 1));
    p.drawEllipse(c, holeRadius + 0.5, holeRadius + 0.5);
    return image;
}

} // namespace

void AddDiscLabelPictures(Pictures& out)
{
    for (int size : {32, 128, 360})
        for (int category = 0; category < 5; ++category)
            out.push_back({QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\%1\\%2.png")
                               .arg(size)
                               .arg(QLatin1String(kCategories[category].name)),
                           [category, size] { return DiscLabel(category, size); }});
}
