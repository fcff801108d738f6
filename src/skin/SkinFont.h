// The dialog font "MS Shell Dlg 2". The name is kept for every skinned
// window; on this system it stands for the first installed face of a list
// of similar sans-serif faces.
#pragma once
#include <QFont>

namespace SkinFont {

inline constexpr const char* kShellDlg = "MS Shell Dlg 2";
// Text size of dialogs and controls, in pixels at UI scale 1.0.
inline constexpr int kDialogPixels = 12;

QFont ShellDlg(int pixelSize = kDialogPixels, bool bold = false);
// The face at `pixelSize` grown by the layout scale (GetUiScale), for the
// texts of the main window, whose layout grows by the same scale.
QFont Scaled(int pixelSize = kDialogPixels, bool bold = false);

} // namespace SkinFont
