#include "UiScale.h"

#include "DwordReg.h"
#include "Registry.h"

#include <QGuiApplication>
#include <QScreen>
#include <atomic>

namespace {

std::atomic<int> g_dpiAware{-1}; // -1: not read yet
std::atomic<double> g_dpiOverride{0.0};

bool DpiAware()
{
    int state = g_dpiAware.load();
    if (state < 0) {
        DwordReg setting(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13", u"EnableDPIAware");
        state = setting.Read() && setting.Get() != 0 ? 1 : 0;
        g_dpiAware.store(state);
    }
    return state == 1;
}

double ScreenLogicalDpi()
{
    if (const double overridden = g_dpiOverride.load(); overridden > 0) return overridden;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

} // namespace

namespace UiScaleRules {

double DpiFactor(bool dpiAware, bool force, double logicalDpi)
{
    return dpiAware || force ? logicalDpi / 96.0 : 1.0;
}

double UiScale(bool dpiAware, double dpiFactor) { return dpiAware && dpiFactor >= 1.5 ? 1.5 : 1.0; }

void ForgetSetting() { g_dpiAware.store(-1); }

void OverrideLogicalDpi(double dpi) { g_dpiOverride.store(dpi); }

} // namespace UiScaleRules

double GetDpiFactor(bool force) { return UiScaleRules::DpiFactor(DpiAware(), force, ScreenLogicalDpi()); }

double GetUiScale() { return UiScaleRules::UiScale(DpiAware(), GetDpiFactor(false)); }
