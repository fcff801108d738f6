// Paints the file list's rows: the normal, hot and selected backgrounds,
// and in search results the colour a row keeps in every state. Pictures
// come in their own sizes; each is drawn whole within the list's icon size.
#pragma once
#include <QStyledItemDelegate>

class CAlbListCtrl;

class CAlbListRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CAlbListRowDelegate(CAlbListCtrl* list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A name edited in place: a line as long as the library keeps a name,
    // over the name's text beside its picture.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The background of a row in a state, as the list draws it.
    QColor Background(int row, bool selected, bool focused, bool hot) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    CAlbListCtrl* m_pList;
};
