// CGScrollCheckBox: a scrolling list of rows, each a check box (a toggle
// CGButton, control ID 9000 + row) with its text beside it and, on rows
// that ask for one, a delete button (control ID 30000 + row). Rows are 28
// pixels high; the check box (20 x 20) sits at (5, row x 28 + 5), the
// delete button at x = 215. With the divider enabled the rows from the
// divider row on are drawn one row lower and the divider picture fills the
// gap. A delete button's click sends WM_USER+2000 with the row index to the
// parent; the parent decides whether the row goes (DeleteRow). From the
// keyboard each check box and delete button is a Tab stop (Space presses
// it), and the list scrolls to the row that takes the focus; screen readers
// see a list of check boxes named after their rows.
#pragma once
#include "WinControls.h"

#include <QWidget>
#include <vector>

class CGButton;
class CGScrollBar;
class CGStatic;

class CGScrollCheckBox : public QWidget {
    Q_OBJECT
public:
    static constexpr UINT kDeleteMessage = WM_USER + 2000;
    static constexpr int kRowHeight = 28;
    static constexpr int kCheckIdBase = 9000;
    static constexpr int kDeleteIdBase = 30000;
    static constexpr int kDeleteX = 215;
    static constexpr int kDividerRow = 4;
    static constexpr const char* kCheckPicture = "Image\\Common\\checkbox\\btn_check-box.png";

    explicit CGScrollCheckBox(QWidget* parent = nullptr);
    ~CGScrollCheckBox() override;

    BOOL Create(DWORD style, const QRect& rect, QWidget* parent, UINT id,
                const QColor& textColour = QColor(0x1B, 0x2A, 0x3F));
    // Scroll bar pictures (empty paths keep the defaults).
    BOOL SetScrollBarPictures(const QString& up, const QString& down, const QString& thumb, const QString& track);
    void SetDeletePicture(const QString& picturePath, const QString& tooltip);
    void SetCheckPicture(const QString& picturePath) { m_strCheckPicture = picturePath; }
    void EnableDivider(bool enable, const QString& picturePath);

    // Appends a row; returns its index.
    int AddRow(const QString& text, bool withDelete);
    void DeleteRow(int row);
    void ResetContent();
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    QString GetRowText(int row) const;
    void SetCheck(int row, bool checked);
    bool GetCheck(int row) const;
    CGButton* CheckButton(int row) const;
    CGButton* DeleteButton(int row) const;
    // Top of a row in the scrolled content.
    int RowTop(int row) const;
    int ContentHeight() const;
    CGScrollBar* ScrollBar() const { return m_pScrollBar; }
    void ScrollToRow(int row);
    // Scrolls just enough to show the whole row.
    void EnsureRowVisible(int row);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Row {
        CGButton* check;
        CGStatic* text;
        CGButton* remove; // null without a delete button
    };
    void Layout();
    bool LayoutFrame();
    void LayoutRow(int row);
    void RemoveWidgets(const Row& entry);
    void OnRowCommand(QObject* control);

    QWidget* m_pContent;
    CGScrollBar* m_pScrollBar;
    CGStatic* m_pDivider;
    std::vector<Row> m_rows;
    QString m_strCheckPicture;
    QString m_strDeletePicture;
    QString m_strDeleteTip;
    QColor m_textColour;
    bool m_bDivider = false;
};
