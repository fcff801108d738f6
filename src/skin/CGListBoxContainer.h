// CGListBoxContainer: the pop-up window that holds a CGComboListBox (and a
// CGScrollBar when the rows do not fit). It opens below its combo box, or
// above it when the work area of the screen (the screen less the task bar)
// has no room below, and is kept inside that work area.
#pragma once
#include <QRect>
#include <QWidget>

class CGComboListBox;
class CGScrollBar;

class CGListBoxContainer : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxVisibleRows = 8;

    explicit CGListBoxContainer(QWidget* owner);

    CGComboListBox* List() const { return m_pList; }
    CGScrollBar* ScrollBar() const { return m_pScrollBar; }
    // Opens next to `anchor` (global rectangle of the combo box).
    void Open(const QRect& anchor);
    // Where a pop-up of `size` goes next to `anchor` within `workArea`.
    static QRect Placement(const QRect& anchor, const QSize& size, const QRect& workArea);

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    CGComboListBox* m_pList;
    CGScrollBar* m_pScrollBar;
};
