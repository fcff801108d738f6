// Paints one row of a CFilterListCtrl: the check state picture (a strip of
// three 16-pixel frames: unticked, ticked, fixed), the row's icon and its
// text on one line. Rows are never edited in place; ticks change only
// through the list control.
#pragma once
#include <QImage>
#include <QStyledItemDelegate>

class FilterRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kStateLeft = 2;
    static constexpr int kStateSize = 16;
    static constexpr int kIconLeft = 22;
    static constexpr int kTextLeft = 42;

    explicit FilterRowDelegate(QObject* parent = nullptr);

    void SetStatePictures(const QImage& strip) { m_states = strip; }
    void SetCheckBoxes(bool shown) { m_bCheckBoxes = shown; }
    // Where the state picture of a row drawn in `rowRect` lies.
    static QRect StateRect(const QRect& rowRect);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override
    {
        return false;
    }

private:
    QImage m_states;
    bool m_bCheckBoxes = true;
};
