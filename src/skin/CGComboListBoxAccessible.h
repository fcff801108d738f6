// CGComboListBoxAccessible: the pop-up list of a CGComboBox reads as a list
// of items (CGComboListItemAccessible, one per row, made when first asked
// for); the row under the keyboard is selected and focused. The container
// window around the list is left out, so the list's parent is the combo box.
#pragma once
#include "SkinAccessibleWidget.h"

#include <vector>

class CGComboListBox;

class CGComboListBoxAccessible : public SkinAccessibleWidget {
public:
    explicit CGComboListBoxAccessible(CGComboListBox* list);
    ~CGComboListBoxAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    CGComboListBox* List() const;

private:
    mutable std::vector<QAccessible::Id> m_items;
};

// One row of the pop-up list.
class CGComboListItemAccessible : public QAccessibleInterface {
public:
    CGComboListItemAccessible(CGComboListBoxAccessible* list, int row) : m_pList(list), m_nRow(row) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override { return m_pList; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;
    int Row() const { return m_nRow; }

private:
    CGComboListBoxAccessible* m_pList;
    int m_nRow;
};
