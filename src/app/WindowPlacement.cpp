#include "WindowPlacement.h"

#include "IntReg.h"

#include <QGuiApplication>
#include <QWidget>

namespace {

const WCHAR* const kKey = u"Software\\Quorvel\\Flintwell13";
const WCHAR* const kNames[] = {u"AlbWnd_PosX", u"AlbWnd_PosY", u"AlbWnd_PosW", u"AlbWnd_PosH", u"AlbWnd_PosS"};

} // namespace

std::optional<WindowPlacement> WindowPlacement::Read()
{
    int32_t values[5] = {};
    for (int i = 0; i < 5; ++i) {
        IntReg value(HKEY_CURRENT_USER, kKey, kNames[i]);
        if (!value.Read()) return std::nullopt;
        values[i] = value.Get();
    }
    return WindowPlacement{QRect(values[0], values[1], values[2], values[3]), values[4] == 1};
}

bool WindowPlacement::Write() const
{
    const int32_t values[5] = {normal.x(), normal.y(), normal.width(), normal.height(), maximised ? 1 : 0};
    bool written = true;
    for (int i = 0; i < 5; ++i) {
        IntReg value(HKEY_CURRENT_USER, kKey, kNames[i]);
        value.Set(values[i]);
        written = value.Write() && written;
    }
    return written;
}

WindowPlacement WindowPlacement::Of(const QWidget& window)
{
    const bool maximised = window.isMaximized();
    QRect normal = maximised ? window.normalGeometry() : window.geometry();
    if (normal.isEmpty()) normal = window.geometry();
    return {normal, maximised};
}

void WindowPlacement::Restore(QWidget& window)
{
    const std::optional<WindowPlacement> stored = Read();
    if (!stored) {
        window.resize(kDefaultWidth, kDefaultHeight);
        return;
    }
    // Wayland does not let a program place its window: only the size holds there.
    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland")))
        window.resize(stored->normal.size());
    else
        window.setGeometry(stored->normal);
    if (stored->maximised) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}
