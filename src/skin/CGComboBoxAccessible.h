// CGComboBoxAccessible: a CGComboBox reads as a combo box whose value is the
// current choice; it is expandable, expanded while its pop-up list is open,
// and that list is its one child once it has been opened. Its action opens
// or closes the list.
#pragma once
#include "SkinAccessibleWidget.h"

class CGComboBox;

class CGComboBoxAccessible : public SkinAccessibleWidget {
public:
    explicit CGComboBoxAccessible(CGComboBox* combo);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

protected:
    QString VisibleText() const override { return {}; } // the choice is the value, not the name

private:
    CGComboBox* Combo() const;
    bool IsOpen() const;
};
