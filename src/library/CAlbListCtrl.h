// CAlbListCtrl: the report list of the file list view. It knows which of
// three presentations it shows (1 disc list, 2 folder contents, 3 search
// results), builds that presentation's columns, and draws rows with their
// backgrounds: in search results single rows (the group headers) keep a
// colour of their own, selected or not. While it has the keyboard focus
// (not from a click) the skin's focus ring marks the current row (the
// whole list while it has none); Tab leaves the list instead of walking
// its cells.
#pragma once
#include "CAlbListModel.h"
#include "wintypes.h"

#include <QHash>
#include <QTableView>

class CAlbListCtrl : public QTableView {
    Q_OBJECT
public:
    static constexpr int kControlId = 648;
    enum Mode { DiscList = 1, FolderContents = 2, SearchResults = 3 };

    explicit CAlbListCtrl(QWidget* parent = nullptr);

    // Rebuilds the columns for the presentation (any value but 1 and 2
    // gives the search-result columns).
    void SetMode(int mode);
    int GetMode() const { return m_nMode; }
    void SetRowColor(int row, QRgb colour) { m_mapRowColor.insert(row, colour); }
    // A group header row: its colour, and one line of text high.
    void SetHeaderRow(int row, QRgb colour);
    void ClearRowColors() { m_mapRowColor.clear(); }
    bool RowColor(int row, QRgb* colour) const;
    // Small icons (2) or details (1): both show the column titles and one
    // row per item; small icons draws the pictures at 24 pixels (at the
    // layout's scale) in compact rows, details at their full size.
    void SetPresentation(int style);
    int Presentation() const { return m_nPresentation; }
    // The pictures rows refer to by index, and their size.
    void SetImageList(const std::vector<QPixmap>* images, QSize iconSize);
    CAlbListModel* Model() const { return m_pModel; }
    // The selected row, or -1.
    int SelectedRow() const;
    void SelectRow(int row);
    // Opens the row's name for editing in place (the model takes the name).
    void RenameRow(int row);
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
    // What an empty list says in its middle (empty: nothing).
    void SetEmptyText(const QString& text);
    QString EmptyText() const { return m_strEmptyText; }
    // The width and title resource of each column of a presentation.
    struct Column {
        UINT titleId;
        int width;
        Qt::Alignment alignment;
    };
    static std::vector<Column> ColumnsOf(int mode);

signals:
    // A row was opened (double click or Enter).
    void rowOpened(int row);
    void columnClicked(int column);
    void contextMenuAt(const QPoint& globalPosition);
    // Type-ahead: the user typed `text` to find a row by name.
    void typedAhead(const QString& text);
    // Backspace or Alt+Left; Delete; Ctrl+F or "/".
    void backRequested();
    void deleteRequested();
    // F2.
    void renameRequested();
    void searchRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateRowHeight();
    // The presentation's widths, in proportion to the list's width (until
    // the user sizes a column himself).
    void FitColumns();
    void PaintEmptyText();

    CAlbListModel* m_pModel;
    QHash<int, QRgb> m_mapRowColor;
    int m_nMode = DiscList;
    int m_nPresentation = 1;
    QSize m_iconSize{16, 16};
    bool m_bFitting = false;
    bool m_bUserSized = false;
    QString m_strEmptyText;
};
