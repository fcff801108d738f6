// CApProgressCtrlAccessible: a CApProgressCtrl reads as a progress bar with
// its value, minimum and maximum, and its percentage as the value text
// (the bar shows no text of its own). Qt reports value changes itself.
#pragma once
#include "SkinAccessibleWidget.h"

class CApProgressCtrl;

class CApProgressCtrlAccessible : public SkinAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CApProgressCtrlAccessible(CApProgressCtrl* bar);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {} // read only
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 0; }

private:
    CApProgressCtrl* Bar() const;
};
