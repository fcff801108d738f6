// SkinAccessible: how custom-drawn controls speak to screen readers. Qt asks
// a factory for the accessible interface of every object, class by class
// from the most derived; this one factory (installed once with
// QAccessible::installFactory when the application starts) answers from a
// table of class names. To make a control of your own readable:
//
//  1. Write its interface, usually a SkinAccessibleWidget subclass that
//     names its role and overrides what the control knows (its text, its
//     checked state, its children, its actions).
//  2. Register it once, before the first control of the class is shown:
//         SkinAccessible::Register<CMyCtrl, CMyCtrlAccessible>();
//     A control that needs nothing but a role and its text or tooltip as
//     its name takes the generic interface:
//         SkinAccessible::Register<CMyCtrl>(QAccessible::StaticText);
//  3. Tell screen readers when something they show changes on its own:
//         SkinAccessible::NotifyCheckChanged(control);
//     or any other event through SkinAccessible::Send (focus, the value of
//     a QProgressBar and the text of a QLabel Qt reports itself).
//
// The skin registers its own controls (CGButton and its family, CGStatic,
// CGScrollCheckBox, CGComboBox and its pop-up list, CApProgressCtrl, the
// message box) at start-up.
#pragma once
#include <QAccessible>
#include <QKeySequence>
#include <QString>
#include <functional>

class QWidget;

namespace SkinAccessible {

using Maker = std::function<QAccessibleInterface*(QObject* object)>;

// Answers Qt's queries for objects of class `className` (exactly; derived
// classes register themselves or fall back to their base's interface).
void Register(const char* className, Maker maker);

// The generic interface: `role`, the name from the accessible name, else
// the control's text, else its tooltip.
void RegisterRole(const char* className, QAccessible::Role role);

template <class Control, class Interface>
void Register()
{
    Register(Control::staticMetaObject.className(),
             [](QObject* object) -> QAccessibleInterface* { return new Interface(static_cast<Control*>(object)); });
}

template <class Control>
void Register(QAccessible::Role role)
{
    RegisterRole(Control::staticMetaObject.className(), role);
}

// Registers the skin's own controls (done when the application starts;
// calling it again does nothing).
void RegisterSkinControls();

// Hands `event` to the screen reader, when one listens, and to the observer.
void Send(QAccessibleEvent& event);
// The control's check state changed (readers then ask for the new state).
void NotifyCheckChanged(QWidget* control);
// The row `index` of a list drawn by the control has the keyboard focus.
void NotifyFocusedItem(QWidget* control, int index);
// The window opened with something to say at once: screen readers read
// out its name and description (a message box's caption and text).
void Announce(QWidget* window);

// The keys that press the control from anywhere in its window (a command's
// shortcut); screen readers hear them as its shortcut.
void SetShortcut(QWidget* control, const QKeySequence& keys);
QKeySequence ShortcutOf(const QWidget* control);

// Sees every event Send hands on, whether or not a reader listens (Qt drops
// them then); for tests. An empty function stops observing.
using Observer = std::function<void(const QAccessibleEvent& event)>;
void SetObserver(Observer observer);

} // namespace SkinAccessible
