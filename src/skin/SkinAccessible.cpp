#include "SkinAccessible.h"

#include "CAlphaButton.h"
#include "CAlphaButtonEx.h"
#include "CApProgressCtrl.h"
#include "CApProgressCtrlAccessible.h"
#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "CGComboBoxAccessible.h"
#include "CGComboListBox.h"
#include "CGComboListBoxAccessible.h"
#include "CGScrollCheckBox.h"
#include "CGScrollCheckBoxAccessible.h"
#include "CGStatic.h"
#include "SkinAccessibleWidget.h"
#include "SkinButtonAccessible.h"

#include <QCoreApplication>
#include <QHash>
#include <QWidget>

namespace {

constexpr const char* kShortcut = "skinAccessibleShortcut";

QHash<QString, SkinAccessible::Maker>& Makers()
{
    static QHash<QString, SkinAccessible::Maker> makers;
    return makers;
}

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    const auto found = Makers().constFind(className);
    if (found == Makers().constEnd() || !object || !object->isWidgetType()) return nullptr;
    return (*found)(object);
}

SkinAccessible::Observer& CurrentObserver()
{
    static SkinAccessible::Observer observer;
    return observer;
}

void InstallFactory()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
}

} // namespace

namespace SkinAccessible {

void Register(const char* className, Maker maker)
{
    InstallFactory();
    Makers().insert(QString::fromLatin1(className), std::move(maker));
}

void RegisterRole(const char* className, QAccessible::Role role)
{
    Register(className, [role](QObject* object) -> QAccessibleInterface* {
        return new SkinAccessibleWidget(static_cast<QWidget*>(object), role);
    });
}

void RegisterSkinControls()
{
    static bool registered = false;
    if (registered) return;
    registered = true;
    Register<CGButton, SkinButtonAccessible>();
    Register<CAlphaButton, SkinButtonAccessible>();
    Register<CAlphaButtonEx, SkinButtonAccessible>();
    Register<CGStatic>(QAccessible::StaticText);
    Register<CGScrollCheckBox, CGScrollCheckBoxAccessible>();
    Register<CGComboBox, CGComboBoxAccessible>();
    Register<CGComboListBox, CGComboListBoxAccessible>();
    Register<CApProgressCtrl, CApProgressCtrlAccessible>();
    Register<CFlwMessageBox>(QAccessible::AlertMessage);
}

void Send(QAccessibleEvent& event)
{
    if (CurrentObserver()) CurrentObserver()(event);
    QAccessible::updateAccessibility(&event);
}

void NotifyCheckChanged(QWidget* control)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(control, changed);
    Send(event);
}

void NotifyFocusedItem(QWidget* control, int index)
{
    QAccessibleEvent event(control, QAccessible::Focus);
    event.setChild(index);
    Send(event);
}

void Announce(QWidget* window)
{
    QAccessibleEvent event(window, QAccessible::Alert);
    Send(event);
}

void SetShortcut(QWidget* control, const QKeySequence& keys) { control->setProperty(kShortcut, keys); }

QKeySequence ShortcutOf(const QWidget* control) { return control->property(kShortcut).value<QKeySequence>(); }

void SetObserver(Observer observer) { CurrentObserver() = std::move(observer); }

} // namespace SkinAccessible

// Before the first window exists, so that no control is first met through
// Qt's own interface for its base class.
static void RegisterAtStartUp() { SkinAccessible::RegisterSkinControls(); }
Q_COREAPP_STARTUP_FUNCTION(RegisterAtStartUp)
