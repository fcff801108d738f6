#include "SkinButtonAccessible.h"

#include "CAlphaButtonEx.h"
#include "CGButton.h"
#include "SkinAccessible.h"

SkinButtonAccessible::SkinButtonAccessible(QAbstractButton* button)
    : SkinAccessibleWidget(button, QAccessible::PushButton)
{
}

bool SkinButtonAccessible::IsCheckable() const
{
    if (const auto* image = qobject_cast<const CGButton*>(Button())) return image->IsToggle();
    if (const auto* alpha = qobject_cast<const CAlphaButtonEx*>(Button())) return alpha->IsCheckBox() || alpha->IsRadio();
    return Button()->isCheckable();
}

bool SkinButtonAccessible::IsChecked() const
{
    if (const auto* image = qobject_cast<const CGButton*>(Button())) return image->GetCheck();
    return Button()->isChecked();
}

QAccessible::Role SkinButtonAccessible::role() const
{
    if (const auto* alpha = qobject_cast<const CAlphaButtonEx*>(Button()); alpha && alpha->IsRadio())
        return QAccessible::RadioButton;
    return IsCheckable() ? QAccessible::CheckBox : QAccessible::PushButton;
}

QAccessible::State SkinButtonAccessible::state() const
{
    QAccessible::State state = SkinAccessibleWidget::state();
    if (IsCheckable()) {
        state.checkable = true;
        state.checked = IsChecked();
    }
    if (const auto* image = qobject_cast<const CGButton*>(Button())) {
        state.defaultButton = image->IsDefault();
        state.pressed = image->VisualState() == 2;
    } else {
        state.pressed = Button()->isDown();
    }
    return state;
}

QString SkinButtonAccessible::PressName() const
{
    return IsCheckable() && role() == QAccessible::CheckBox ? toggleAction() : pressAction();
}

QStringList SkinButtonAccessible::actionNames() const
{
    QStringList names;
    if (Button()->isEnabled()) names << PressName();
    return names + SkinAccessibleWidget::actionNames();
}

void SkinButtonAccessible::doAction(const QString& actionName)
{
    if (actionName != PressName() || !Button()->isEnabled()) {
        SkinAccessibleWidget::doAction(actionName);
        return;
    }
    if (auto* image = qobject_cast<CGButton*>(Button()))
        image->Click();
    else
        Button()->click();
}

QStringList SkinButtonAccessible::keyBindingsForAction(const QString& actionName) const
{
    const QKeySequence keys = SkinAccessible::ShortcutOf(Button());
    if (actionName != PressName() || keys.isEmpty()) return SkinAccessibleWidget::keyBindingsForAction(actionName);
    return {keys.toString(QKeySequence::NativeText)};
}
