// CGScrollCheckBoxAccessible: a CGScrollCheckBox reads as a list whose
// children are, row by row, the row's check box (named after the row) and
// its delete button, then the scroll bar while it shows.
#pragma once
#include "SkinAccessibleWidget.h"

class CGScrollCheckBox;

class CGScrollCheckBoxAccessible : public SkinAccessibleWidget {
public:
    explicit CGScrollCheckBoxAccessible(CGScrollCheckBox* list);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    QList<QWidget*> Children() const;
};
