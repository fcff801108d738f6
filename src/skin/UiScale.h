// The display-resolution functions of the program's windows. With the
// machine setting "EnableDPIAware" (DWORD, absent = 0) layouts and fonts
// follow the display's resolution; the setting is read once per process.
#pragma once

// Logical pixels per inch divided by 96 when "EnableDPIAware" is non-zero or
// `force` is true; otherwise 1.0.
double GetDpiFactor(bool force = false);
// Layout scale: 1.5 when "EnableDPIAware" is non-zero and GetDpiFactor(false)
// is at least 1.5; otherwise 1.0. Fixed layout sizes are multiplied by it.
double GetUiScale();

namespace UiScaleRules {

double DpiFactor(bool dpiAware, bool force, double logicalDpi);
double UiScale(bool dpiAware, double dpiFactor);
// Reads "EnableDPIAware" again on the next call (the setting changed).
void ForgetSetting();
// Takes `dpi` as the display's logical pixels per inch instead of asking
// the screen (0 asks the screen again); for displays that misreport and
// for tests on screens of a fixed resolution.
void OverrideLogicalDpi(double dpi);

} // namespace UiScaleRules
