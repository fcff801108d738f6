#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace Glyphs {

namespace {

// Coordinates below are in a 24-unit box.
struct Pen {
    QPainter& p;
    QRectF box;
    qreal unit;
    QPointF at(qreal x, qreal y) const { return box.topLeft() + QPointF(x * unit, y * unit); }
    QRectF rect(qreal x, qreal y, qreal w, qreal h) const { return QRectF(at(x, y), QSizeF(w * unit, h * unit)); }
    void line(qreal x1, qreal y1, qreal x2, qreal y2) const { p.drawLine(at(x1, y1), at(x2, y2)); }
};

void DrawBody(const Pen& g, Kind kind, const QColor& colour)
{
    QPainter& p = g.p;
    switch (kind) {
    case Close:
        g.line(6, 6, 18, 18);
        g.line(18, 6, 6, 18);
        break;
    case Minimise: g.line(6, 16, 18, 16); break;
    case Maximise: p.drawRoundedRect(g.rect(6, 6, 12, 12), g.unit, g.unit); break;
    case Restore:
        p.drawRoundedRect(g.rect(5, 9, 10, 10), g.unit, g.unit);
        g.line(9, 5.5, 18.5, 5.5);
        g.line(18.5, 5.5, 18.5, 15);
        break;
    case Back:
        g.line(19, 12, 5, 12);
        g.line(11, 6, 5, 12);
        g.line(11, 18, 5, 12);
        break;
    case Import: {
        // A down arrow into a tray.
        g.line(12, 3.5, 12, 14);
        g.line(7.5, 9.5, 12, 14);
        g.line(16.5, 9.5, 12, 14);
        QPainterPath tray;
        tray.moveTo(g.at(4, 13));
        tray.lineTo(g.at(4, 19.5));
        tray.lineTo(g.at(20, 19.5));
        tray.lineTo(g.at(20, 13));
        p.drawPath(tray);
        break;
    }
    case Refresh: {
        QPainterPath arc;
        arc.arcMoveTo(g.rect(5, 5, 14, 14), 60);
        arc.arcTo(g.rect(5, 5, 14, 14), 60, 280);
        p.drawPath(arc);
        g.line(15.5, 3, 15.5, 7.2);
        g.line(15.5, 7.2, 19.5, 7.2);
        break;
    }
    case LargeIcons:
        for (int i = 0; i < 4; ++i) p.drawRoundedRect(g.rect(4.5 + (i % 2) * 8.5, 4.5 + (i / 2) * 8.5, 6.5, 6.5), g.unit, g.unit);
        break;
    case SmallIcons:
        for (int row = 0; row < 3; ++row) {
            p.drawRect(g.rect(4.5, 5 + row * 5.5, 3, 3));
            g.line(10.5, 6.5 + row * 5.5, 19.5, 6.5 + row * 5.5);
        }
        break;
    case Details:
        for (int row = 0; row < 4; ++row) g.line(5, 6 + row * 4, 19, 6 + row * 4);
        break;
    case Search:
        p.drawEllipse(g.rect(4.5, 4.5, 11, 11));
        g.line(14, 14, 19.5, 19.5);
        break;
    case Tag: {
        QPainterPath tag;
        tag.moveTo(g.at(4.5, 4.5));
        tag.lineTo(g.at(12, 4.5));
        tag.lineTo(g.at(19.5, 12));
        tag.lineTo(g.at(12, 19.5));
        tag.lineTo(g.at(4.5, 12));
        tag.closeSubpath();
        p.drawPath(tag);
        p.drawEllipse(QRectF(g.at(7.5, 7.5), QSizeF(2.2 * g.unit, 2.2 * g.unit)));
        break;
    }
    case Plus:
        g.line(12, 5, 12, 19);
        g.line(5, 12, 19, 12);
        break;
    case Trash:
        g.line(5, 7, 19, 7);
        g.line(10, 4.5, 14, 4.5);
        p.drawRoundedRect(g.rect(7, 7, 10, 12.5), g.unit, g.unit);
        g.line(10.5, 10, 10.5, 16.5);
        g.line(13.5, 10, 13.5, 16.5);
        break;
    case Camera:
        p.drawRoundedRect(g.rect(3.5, 7.5, 17, 12), 2 * g.unit, 2 * g.unit);
        g.line(9, 7.5, 10.5, 5);
        g.line(10.5, 5, 13.5, 5);
        g.line(13.5, 5, 15, 7.5);
        p.drawEllipse(g.rect(8.5, 10, 7, 7));
        break;
    case Check: {
        QPainterPath check;
        check.moveTo(g.at(5.5, 12.5));
        check.lineTo(g.at(10, 17));
        check.lineTo(g.at(18.5, 7.5));
        p.drawPath(check);
        break;
    }
    case Star:
    case Upgrade: {
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const qreal radius = (i % 2 ? 3.6 : 8.2) * g.unit;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            const QPointF point = g.at(12, 12.5) + QPointF(radius * std::cos(angle), radius * std::sin(angle));
            i ? star.lineTo(point) : star.moveTo(point);
        }
        star.closeSubpath();
        p.drawPath(star);
        if (kind == Upgrade) {
            p.setBrush(colour);
            p.drawEllipse(QRectF(g.at(17, 2.5), QSizeF(4.5 * g.unit, 4.5 * g.unit)));
        }
        break;
    }
    case Help: {
        QPainterPath hook;
        hook.moveTo(g.at(8.5, 9));
        hook.cubicTo(g.at(8.5, 4), g.at(16.5, 4), g.at(16, 9));
        hook.cubicTo(g.at(15.7, 12), g.at(12, 12), g.at(12, 15));
        p.drawPath(hook);
        p.setBrush(colour);
        p.drawEllipse(QRectF(g.at(11, 18.2), QSizeF(2 * g.unit, 2 * g.unit)));
        break;
    }
    case Disc:
        p.drawEllipse(g.rect(3.5, 3.5, 17, 17));
        p.drawEllipse(g.rect(9.5, 9.5, 5, 5));
        break;
    case All:
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colour);
            p.drawRoundedRect(g.rect(4.5 + (i % 2) * 8.5, 4.5 + (i / 2) * 8.5, 6.5, 6.5), 1.5 * g.unit, 1.5 * g.unit);
        }
        break;
    }
}

} // namespace

void Draw(QPainter& painter, Kind kind, const QRectF& box, const QColor& colour, qreal stroke)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal side = std::min(box.width(), box.height());
    const QRectF square(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    DrawBody(Pen{painter, square, side / 24.0}, kind, colour);
    painter.restore();
}

} // namespace Glyphs
