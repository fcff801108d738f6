// CGComboListBox: the list inside a CGComboBox's pop-up. Each row is drawn
// over the item background picture (a strip of two frames: normal, then
// highlighted), whole rows at once through a CDBufferDC. It follows the
// mouse, scrolls by wheel and keys, and reports the row chosen.
#pragma once
#include <QImage>
#include <QStringList>
#include <QWidget>

class CGComboListBox : public QWidget {
    Q_OBJECT
public:
    explicit CGComboListBox(QWidget* parent = nullptr);

    void SetItems(const QStringList& items, int current);
    void SetItemPicture(const QImage& strip);
    void SetTextColor(const QColor& colour) { m_textColour = colour; }
    int ItemHeight() const;
    int Count() const { return static_cast<int>(m_items.size()); }
    QString ItemText(int index) const { return m_items.value(index); }
    int TopIndex() const { return m_nTop; }
    void SetTopIndex(int top);
    // Scrolls as little as needed to show the row (none for -1) with the
    // rows that fit, the list never scrolled past its end.
    void ShowRow(int index);
    int HotIndex() const { return m_nHot; }
    int VisibleRows() const { return std::max(1, height() / ItemHeight()); }
    int IndexAt(const QPoint& point) const;

signals:
    void chosen(int index);
    void cancelled();
    void topIndexChanged(int top);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetHot(int index);

    QStringList m_items;
    QImage m_itemPicture;
    QColor m_textColour{0x1B, 0x2A, 0x3F};
    int m_nTop = 0;
    int m_nHot = -1;
};
