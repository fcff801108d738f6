#include "IncompleteDiscMarks.h"

#include "DiscReadGaps.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kBadgeSide = 17;
const QColor kBadgeColour(0xE0, 0x8A, 0x00);

// A warning triangle with an exclamation mark in the lower right corner.
void PaintBadge(QPainter& painter, const QRect& area)
{
    const QRectF badge(area.right() - kBadgeSide + 1, area.bottom() - kBadgeSide + 1, kBadgeSide, kBadgeSide);
    QPainterPath triangle;
    triangle.moveTo(badge.center().x(), badge.top() + 1);
    triangle.lineTo(badge.right() - 0.5, badge.bottom() - 1);
    triangle.lineTo(badge.left() + 0.5, badge.bottom() - 1);
    triangle.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(kBadgeColour);
    painter.drawPath(triangle);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    const double x = badge.center().x();
    painter.drawLine(QPointF(x, badge.top() + 6), QPointF(x, badge.bottom() - 6.5));
    painter.drawPoint(QPointF(x, badge.bottom() - 3.5));
}

} // namespace

void IncompleteDiscMarks::Read(ILibraryEngine* library, const std::vector<DiscRecord>& discs)
{
    m_reasons.clear();
    for (const DiscRecord& disc : discs) {
        const DiscReadGaps gaps = DiscReadGaps::OfDisc(library, disc.discId);
        if (gaps.IsIncomplete()) m_reasons.insert(disc.discId, gaps.ReasonText());
    }
}

QPixmap IncompleteDiscMarks::Mark(int discId, const QPixmap& picture) const
{
    if (!IsIncomplete(discId) || picture.isNull()) return picture;
    QPixmap marked = picture;
    QPainter painter(&marked);
    PaintBadge(painter, marked.rect());
    return marked;
}
