#include "CAlbListRowDelegate.h"

#include "CAlbListCtrl.h"

#include "LibraryRecords.h"

#include <QLineEdit>
#include <QPainter>

namespace {

const QColor kNormal(0xFF, 0xFF, 0xFF);
const QColor kHot(0xEA, 0xF3, 0xFB);
const QColor kFocusedSelection(0xCC, 0xE4, 0xF7);
const QColor kUnfocusedSelection(0xE3, 0xE7, 0xEC);
const QColor kText(0x1B, 0x2A, 0x3F);

} // namespace

CAlbListRowDelegate::CAlbListRowDelegate(CAlbListCtrl* list) : QStyledItemDelegate(list), m_pList(list) {}

QColor CAlbListRowDelegate::Background(int row, bool selected, bool focused, bool hot) const
{
    QRgb own = 0;
    if (m_pList->GetMode() == CAlbListCtrl::SearchResults && m_pList->RowColor(row, &own)) return QColor::fromRgb(own);
    if (selected && (focused || hot)) return kFocusedSelection;
    if (selected) return kUnfocusedSelection;
    if (hot) return kHot;
    return kNormal;
}

void CAlbListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const bool hot = option.state & QStyle::State_MouseOver;
    const bool focused = m_pList->hasFocus();
    painter->fillRect(option.rect, Background(index.row(), selected, focused, hot));
    QStyleOptionViewItem plain = option;
    plain.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver | QStyle::State_HasFocus);
    plain.palette.setColor(QPalette::Text, kText);
    QStyledItemDelegate::paint(painter, plain, index);
}

void CAlbListRowDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QSize bound = m_pList->iconSize();
    const QSize own = option->decorationSize;
    if (own.isValid() && bound.isValid() && (own.width() > bound.width() || own.height() > bound.height()))
        option->decorationSize = own.scaled(bound, Qt::KeepAspectRatio);
}

QWidget* CAlbListRowDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setMaxLength(kLibraryTextLength - 1);
        line->setFrame(true);
    }
    return editor;
}

void CAlbListRowDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const
{
    // The row's text starts after its picture; the line keeps the row's
    // height, not less than the line needs.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const int textLeft = item.decorationSize.isValid() && !item.icon.isNull() ? item.decorationSize.width() + 8 : 0;
    QRect area = option.rect.adjusted(textLeft, 0, 0, 0);
    const int height = std::max(editor->sizeHint().height(), 0);
    if (area.height() > height) area = QRect(area.left(), area.center().y() - height / 2, area.width(), height);
    editor->setGeometry(area);
}
