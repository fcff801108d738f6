#include "CFilterListCtrl.h"

#include "CGScrollBar.h"
#include "FilterRowDelegate.h"
#include "SkinFont.h"
#include "SkinImage.h"

#include <QKeyEvent>
#include <QMouseEvent>

CFilterListCtrl::CFilterListCtrl(QWidget* parent) : QListView(parent), m_pDelegate(new FilterRowDelegate(this))
{
    setModel(&m_model);
    setItemDelegate(m_pDelegate);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBar(new CGScrollBar(this));
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFont(SkinFont::ShellDlg());
    setContextMenuPolicy(Qt::NoContextMenu);
    m_pDelegate->SetStatePictures(SkinImage::Load(QString::fromLatin1(kStatePictures)));
    m_pDelegate->SetCheckBoxes(false);
}

CFilterListCtrl::~CFilterListCtrl() = default;

BOOL CFilterListCtrl::Create(DWORD style, const QRect& rect, QWidget* owner, UINT id)
{
    setParent(owner);
    m_pOwner = owner;
    m_createRect = rect;
    SetDlgCtrlID(this, static_cast<int>(id));
    setEnabled(!(style & WS_DISABLED));
    setVisible(style & WS_VISIBLE);
    FitHeight();
    return TRUE;
}

void CFilterListCtrl::EnableCheckBoxes(bool enable)
{
    m_bCheckBoxes = enable;
    m_model.EnableCheckBoxes(enable);
    m_pDelegate->SetCheckBoxes(enable);
}

void CFilterListCtrl::SetIcons(std::vector<QIcon> icons) { m_model.SetIcons(std::move(icons)); }

void CFilterListCtrl::SetHeightLimit(int pixels)
{
    m_nHeightLimit = pixels;
    FitHeight();
}

void CFilterListCtrl::Place(const QPoint& topLeft, int width)
{
    m_createRect = QRect(topLeft, QSize(width, m_createRect.height()));
    FitHeight();
}

int CFilterListCtrl::RowHeight() const { return FilterRowDelegate::kRowHeight; }

int CFilterListCtrl::InsertRow(int index, int icon, const QString& text, LPARAM lParam)
{
    const int row = m_model.Insert(index, icon, text, lParam);
    FitHeight();
    return row;
}

void CFilterListCtrl::DeleteAllItems()
{
    m_model.Clear();
    FitHeight();
}

void CFilterListCtrl::SetTicked(int row, bool ticked)
{
    const int state = m_model.StateOf(row);
    if (state == FilterListModel::kFixed || state == 0) return;
    m_model.SetState(row, ticked ? FilterListModel::kTicked : FilterListModel::kUnticked);
}

void CFilterListCtrl::Toggle(int row)
{
    const int state = m_model.StateOf(row);
    if (state == FilterListModel::kUnticked) m_model.SetState(row, FilterListModel::kTicked);
    if (state == FilterListModel::kTicked) m_model.SetState(row, FilterListModel::kUnticked);
}

QRect CFilterListCtrl::StateRect(int row) const
{
    return FilterRowDelegate::StateRect(visualRect(m_model.index(row)));
}

int CFilterListCtrl::StateRowAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() && StateRect(index.row()).contains(point) ? index.row() : -1;
}

void CFilterListCtrl::ToggleAndNotify(int row)
{
    Toggle(row);
    SendMessage(m_pOwner, kToggledMessage, static_cast<WPARAM>(GetDlgCtrlID(this)), static_cast<LPARAM>(row));
}

void CFilterListCtrl::mousePressEvent(QMouseEvent* event)
{
    const int row = m_bCheckBoxes ? StateRowAt(event->position().toPoint()) : -1;
    if (row >= 0 && event->button() == Qt::RightButton) return;
    QListView::mousePressEvent(event);
    if (row >= 0 && event->button() == Qt::LeftButton) ToggleAndNotify(row);
}

void CFilterListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int row = m_bCheckBoxes ? StateRowAt(event->position().toPoint()) : -1;
    if (row >= 0 && event->button() == Qt::RightButton) return;
    QListView::mouseDoubleClickEvent(event);
    if (row >= 0 && event->button() == Qt::LeftButton) ToggleAndNotify(row);
}

void CFilterListCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && m_bCheckBoxes) {
        if (currentIndex().isValid()) ToggleAndNotify(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

void CFilterListCtrl::FitHeight()
{
    int height = RowHeight() * GetItemCount();
    if (m_nHeightLimit > 0) height = std::min(height, m_nHeightLimit);
    setGeometry(QRect(m_createRect.topLeft(), QSize(std::max(m_createRect.width(), 0), height)));
}
