// CFilterListCtrl: a one-column list of rows with a check box each, used
// by the tag pane for the category tags and the user tags. A row's check
// state is 1 (unticked), 2 (ticked) or 3 (fixed: never changed by clicks,
// keys or SetTicked).
//
// With check boxes enabled, a left click or double click on a row's check
// box and the Space key (on the current row) toggle it and then tell the
// owner with WM_USER+2011: wParam = the control ID, lParam = the row. A
// right click on a check box is swallowed (no menu, no selection change).
//
// The control keeps the top-left corner it was created at; its height
// follows the rows (row height x row count) up to a limit the owner may
// set, beyond which the rows scroll. Only the rows in sight are painted.
#pragma once
#include "FilterListModel.h"
#include "WinControls.h"

#include <QListView>

class FilterRowDelegate;

class CFilterListCtrl : public QListView {
    Q_OBJECT
public:
    static constexpr UINT kToggledMessage = WM_USER + 2011;
    static constexpr const char* kStatePictures = "Image\\checkbox_white.png";

    explicit CFilterListCtrl(QWidget* parent = nullptr);
    ~CFilterListCtrl() override;

    // A child of `owner` at rect's top-left corner; the owner receives the
    // toggle notifications.
    BOOL Create(DWORD style, const QRect& rect, QWidget* owner, UINT id);
    void EnableCheckBoxes(bool enable);
    // The row icons by index (the image list).
    void SetIcons(std::vector<QIcon> icons);
    // The tallest the control grows before its rows scroll (0: no limit).
    void SetHeightLimit(int pixels);
    // Moves the control and sets its width; the height keeps its rules.
    void Place(const QPoint& topLeft, int width);

    int InsertRow(int index, int icon, const QString& text, LPARAM lParam = 0);
    void DeleteAllItems();
    int GetItemCount() const { return m_model.rowCount(); }
    QString GetItemText(int row) const { return m_model.Text(row); }
    LPARAM GetItemData(int row) const { return m_model.Param(row); }

    void SetTicked(int row, bool ticked);
    bool IsTicked(int row) const { return m_model.StateOf(row) == FilterListModel::kTicked; }
    void Toggle(int row);
    int GetState(int row) const { return m_model.StateOf(row); }
    // Any state, 3 included (only code sets a row fixed).
    void SetState(int row, int state) { m_model.SetState(row, state); }
    // Where a row's check box is drawn, in viewport coordinates.
    QRect StateRect(int row) const;
    int RowHeight() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The row whose check box is under the point, or -1.
    int StateRowAt(const QPoint& point) const;
    void ToggleAndNotify(int row);
    void FitHeight();

    FilterListModel m_model;
    FilterRowDelegate* m_pDelegate;
    QWidget* m_pOwner = nullptr;
    QRect m_createRect;
    int m_nHeightLimit = 0;
    bool m_bCheckBoxes = false;
};
