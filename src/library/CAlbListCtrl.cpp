#include "CAlbListCtrl.h"

#include "CAlbListRowDelegate.h"
#include "ResourceIds.h"
#include "SkinFocusRing.h"
#include "StringResources.h"
#include "UiScale.h"
#include "WinControls.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;

} // namespace

std::vector<CAlbListCtrl::Column> CAlbListCtrl::ColumnsOf(int mode)
{
    if (mode == DiscList)
        return {{IDS_COL_NAME, 200, kLeft},
                {IDS_COL_TAGS, 200, kLeft},
                {IDS_COL_TYPE, 120, kLeft},
                {IDS_COL_DISC_DATE, 200, kLeft},
                {IDS_COL_SIZE, 200, kRight}};
    if (mode == FolderContents)
        return {{IDS_COL_NAME, 300, kLeft}, {IDS_COL_SIZE, 200, kRight}, {IDS_COL_TYPE, 120, kLeft}, {IDS_COL_DATE, 200, kLeft}};
    return {{0, 0, kLeft},           {IDS_COL_NAME, 300, kLeft}, {IDS_COL_DISC, 200, kLeft},
            {IDS_COL_TYPE, 120, kLeft}, {IDS_COL_DATE, 200, kLeft}, {IDS_COL_SIZE, 200, kRight}};
}

CAlbListCtrl::CAlbListCtrl(QWidget* parent) : QTableView(parent), m_pModel(new CAlbListModel(this))
{
    SetDlgCtrlID(this, kControlId);
    setModel(m_pModel);
    setItemDelegate(new CAlbListRowDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setMouseTracking(true); // the hot row follows the mouse
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    SkinFocusRing::Track(this);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CAlbListCtrl::columnClicked);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_bFitting) m_bUserSized = true;
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { emit rowOpened(index.row()); });
    SetMode(DiscList);
}

void CAlbListCtrl::SetMode(int mode)
{
    m_nMode = mode == DiscList || mode == FolderContents ? mode : SearchResults;
    const std::vector<Column> columns = ColumnsOf(m_nMode);
    QStringList titles;
    std::vector<Qt::Alignment> alignments;
    for (const Column& column : columns) {
        titles << (column.titleId ? LoadString(column.titleId) : QString());
        alignments.push_back(column.alignment);
    }
    m_pModel->SetColumns(titles, alignments);
    m_bUserSized = false;
    FitColumns();
    horizontalHeader()->setSortIndicatorShown(false);
}

void CAlbListCtrl::FitColumns()
{
    const std::vector<Column> columns = ColumnsOf(m_nMode);
    int total = 0;
    for (const Column& column : columns) total += column.width;
    // The columns share the list's width: narrower in a small window, wider
    // in a large one, so that no empty band is left at the right.
    const int available = viewport()->width();
    const double factor = available > 0 && total > 0 ? double(available) / total : 1.0;
    m_bFitting = true;
    for (size_t i = 0; i < columns.size(); ++i) {
        setColumnHidden(int(i), columns[i].width == 0);
        setColumnWidth(int(i), int(columns[i].width * factor));
    }
    m_bFitting = false;
}

void CAlbListCtrl::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    if (!m_bUserSized) FitColumns();
}

bool CAlbListCtrl::RowColor(int row, QRgb* colour) const
{
    const auto found = m_mapRowColor.constFind(row);
    if (found == m_mapRowColor.constEnd()) return false;
    *colour = *found;
    return true;
}

void CAlbListCtrl::SetPresentation(int style)
{
    m_nPresentation = style == 2 ? 2 : 1;
    UpdateRowHeight();
}

void CAlbListCtrl::SetImageList(const std::vector<QPixmap>* images, QSize iconSize)
{
    m_iconSize = iconSize;
    setIconSize(iconSize);
    m_pModel->SetImageList(images);
    UpdateRowHeight();
}

void CAlbListCtrl::SetHeaderRow(int row, QRgb colour)
{
    SetRowColor(row, colour);
    verticalHeader()->resizeSection(row, fontMetrics().height() + 8);
}

void CAlbListCtrl::UpdateRowHeight()
{
    const int text = fontMetrics().height() + 8;
    const int small = int(std::lround(24 * GetUiScale()));
    QSize shown = m_iconSize;
    if (m_nPresentation == 2 && (shown.width() > small || shown.height() > small))
        shown.scale(small, small, Qt::KeepAspectRatio);
    setIconSize(shown);
    verticalHeader()->setDefaultSectionSize(std::max(text, shown.height() + 4));
}

int CAlbListCtrl::SelectedRow() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CAlbListCtrl::SelectRow(int row)
{
    if (row < 0 || row >= m_pModel->rowCount()) {
        clearSelection();
        return;
    }
    const QModelIndex index = m_pModel->index(row, m_nMode == SearchResults ? 1 : 0);
    setCurrentIndex(index);
    selectRow(row);
    scrollTo(index);
}

void CAlbListCtrl::RenameRow(int row)
{
    if (row < 0 || row >= m_pModel->rowCount()) return;
    SelectRow(row);
    edit(m_pModel->index(row, 0));
}

// Home and End go to the first and last row, as in a file list (a table
// moves within the row); rows that cannot be selected are passed over.
QModelIndex CAlbListCtrl::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action != MoveHome && action != MoveEnd) return QTableView::moveCursor(action, modifiers);
    const int rows = model()->rowCount();
    const int step = action == MoveHome ? 1 : -1;
    for (int row = action == MoveHome ? 0 : rows - 1; row >= 0 && row < rows; row += step) {
        const QModelIndex index = model()->index(row, 0);
        if (index.flags() & Qt::ItemIsSelectable) return index;
    }
    return currentIndex();
}

void CAlbListCtrl::keyPressEvent(QKeyEvent* event)
{
    // Keys the name editor leaves (Enter that ends the editing) are not
    // the list's commands.
    if (IsEditing()) return QTableView::keyPressEvent(event);
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && SelectedRow() >= 0) {
        emit rowOpened(SelectedRow());
        return;
    }
    if (key == Qt::Key_Backspace || (key == Qt::Key_Left && event->modifiers() & Qt::AltModifier)) {
        emit backRequested();
        return;
    }
    if (key == Qt::Key_Delete) {
        emit deleteRequested();
        return;
    }
    if (key == Qt::Key_F2 && !event->modifiers()) {
        emit renameRequested();
        return;
    }
    const QString text = event->text();
    if (event->matches(QKeySequence::Find) || text == QStringLiteral("/")) {
        emit searchRequested();
        return;
    }
    // Printable text selects by name; the view decides which row.
    if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        emit typedAhead(text);
        return;
    }
    QTableView::keyPressEvent(event);
}

void CAlbListCtrl::SetEmptyText(const QString& text)
{
    if (text == m_strEmptyText) return;
    m_strEmptyText = text;
    viewport()->update();
}

void CAlbListCtrl::PaintEmptyText()
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const QRect area = viewport()->rect().adjusted(24, 24, -24, -24);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_strEmptyText);
}

void CAlbListCtrl::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (!m_strEmptyText.isEmpty() && m_pModel->rowCount() == 0) PaintEmptyText();
    if (!SkinFocusRing::Shows(*this)) return;
    // The current row across the columns shown; the whole list when it has none.
    const QModelIndex current = currentIndex();
    QRect ring = viewport()->rect();
    if (current.isValid()) {
        ring = visualRect(current);
        ring.setLeft(0);
        ring.setRight(std::min(viewport()->width(), horizontalHeader()->length() - horizontalOffset()) - 1);
    }
    QPainter painter(viewport());
    SkinFocusRing::Draw(painter, ring, GetUiScale());
}

void CAlbListCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    viewport()->update(); // the focus ring spans the row
}

void CAlbListCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid()) SelectRow(index.row());
    emit contextMenuAt(event->globalPos());
}
