// Bringing a running instance's window to the front when another start of
// the program asks for it (the stand-in for SetForegroundWindow).
//
// X11 leaves that to the window manager, which raises the window or marks
// it. Wayland lets no program take the focus by itself: a window comes to
// the front only with an activation token (xdg-activation) that the
// compositor gave to whoever launched the second start, and which that
// start passes on in XDG_ACTIVATION_TOKEN. Without a token, or on a
// compositor without the protocol, the window stays where it is and the
// caller tells the user where to find it.
#pragma once

#include <QString>

class QWidget;

class WindowActivation {
public:
    // The token this process was launched with, taken out of the
    // environment so that none of this process's own windows spends it.
    static QString TakeLaunchToken();

    // Raises `window` and asks for the focus, spending `token` on Wayland.
    // False when the window system will certainly not bring it forward.
    static bool BringToFront(QWidget& window, const QString& token);

private:
    static bool CompositorOffersActivation();
};
