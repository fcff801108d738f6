#include "WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstring>
#include <wayland-client.h>

namespace {

constexpr char kTokenVariable[] = "XDG_ACTIVATION_TOKEN";
constexpr char kActivationGlobal[] = "xdg_activation_v1";

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

void NoteGlobal(void* found, wl_registry*, uint32_t, const char* interfaceName, uint32_t)
{
    if (std::strcmp(interfaceName, kActivationGlobal) == 0) *static_cast<bool*>(found) = true;
}

void IgnoreRemoval(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener{NoteGlobal, IgnoreRemoval};

} // namespace

QString WindowActivation::TakeLaunchToken()
{
    const QString token = qEnvironmentVariable(kTokenVariable);
    qunsetenv(kTokenVariable);
    return token;
}

bool WindowActivation::BringToFront(QWidget& window, const QString& token)
{
    if (OnWayland()) {
        if (token.isEmpty() || !CompositorOffersActivation()) return false;
        // Qt's Wayland window spends the token in the environment on its
        // next activation request, and removes it.
        qputenv(kTokenVariable, token.toUtf8());
    }
    window.raise();
    window.activateWindow();
    return true;
}

// Asked on a connection of its own (one round trip, once per hand-over)
// rather than through Qt's, whose list of globals is not public.
bool WindowActivation::CompositorOffersActivation()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return false;
    bool found = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &found);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return found;
}
