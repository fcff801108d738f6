// SkinButtonAccessible: the interface of the skin's buttons (CGButton,
// CAlphaButton, CAlphaButtonEx). A toggle CGButton and a check-box
// CAlphaButtonEx read as check boxes with their checked state, a radio
// CAlphaButtonEx as a radio button, the rest as push buttons; the default
// button of a dialog says so. Its action presses the button as Space does;
// its key binding is the shortcut given with SkinAccessible::SetShortcut.
#pragma once
#include "SkinAccessibleWidget.h"

#include <QAbstractButton>

class SkinButtonAccessible : public SkinAccessibleWidget {
public:
    explicit SkinButtonAccessible(QAbstractButton* button);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
    bool IsCheckable() const;
    bool IsChecked() const;
    QString PressName() const;
};
