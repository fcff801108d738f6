#include "FilterRowDelegate.h"

#include "FilterListModel.h"
#include "SkinPaint.h"

#include <QPainter>

namespace {

const QColor kText(0x1B, 0x2A, 0x3F);
const QColor kSelected(0xE3, 0xF2, 0xF0);
const QColor kFocusEdge(0x9C, 0xD3, 0xCC);

} // namespace

FilterRowDelegate::FilterRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QRect FilterRowDelegate::StateRect(const QRect& rowRect)
{
    return QRect(rowRect.left() + kStateLeft, rowRect.top() + (rowRect.height() - kStateSize) / 2, kStateSize,
                 kStateSize);
}

void FilterRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QRect row = option.rect;
    if (option.state & QStyle::State_Selected) painter->fillRect(row, kSelected);
    if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Selected)) {
        painter->setPen(kFocusEdge);
        painter->drawRect(row.adjusted(0, 0, -1, -1));
    }
    const int state = index.data(Qt::CheckStateRole).isValid()
                          ? static_cast<const FilterListModel*>(index.model())->StateOf(index.row())
                          : 0;
    if (m_bCheckBoxes && state >= FilterListModel::kUnticked && !m_states.isNull())
        SkinPaint::DrawPart(*painter, StateRect(row).topLeft(), m_states,
                            QRect((state - 1) * kStateSize, 0, kStateSize, kStateSize));
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const int iconTop = row.top() + (row.height() - kStateSize) / 2;
    if (!icon.isNull()) icon.paint(painter, QRect(row.left() + kIconLeft, iconTop, kStateSize, kStateSize));
    painter->setFont(option.font);
    painter->setPen(kText);
    const QRect textRect = row.adjusted(kTextLeft, 0, -2, 0);
    const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                       textRect.width());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

QSize FilterRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), kRowHeight);
}
