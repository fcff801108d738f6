// What Windows controls tell their parents, in the program's terms: control
// identifiers, WM_COMMAND notification codes, WM_NOTIFY headers, window
// styles and the hit-test and show codes the skinned windows use.
#pragma once
#include "WinMessage.h"

#include <QPoint>
#include <QRect>

class QObject;

constexpr UINT WM_NOTIFY = 0x004E;

// Window styles (the create calls of the controls take them).
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
// Button styles (low four bits).
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_CHECKBOX = 0x2;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_RADIOBUTTON = 0x4;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD BS_TYPEMASK = 0xF;
// Static control style: report clicks to the parent.
constexpr DWORD SS_NOTIFY = 0x0100;

// Notification codes carried in the high word of WM_COMMAND's wParam.
constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_DOUBLECLICKED = 5;
constexpr WORD STN_CLICKED = 0;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD CBN_SELCHANGE = 1;
// WM_NOTIFY codes.
constexpr UINT NM_RCLICK = static_cast<UINT>(-5);

// Hit-test answer that makes a point drag the window.
constexpr LRESULT HTCAPTION = 2;
// Show commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;

constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return static_cast<WPARAM>(low) | (static_cast<WPARAM>(high) << 16); }
constexpr WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }

// The header every WM_NOTIFY carries in lParam, followed by the point of a
// mouse notification (client coordinates of the sender).
struct NMHDR {
    QObject* hwndFrom;
    UINT idFrom;
    UINT code;
};
struct NMMOUSE {
    NMHDR hdr;
    QPoint pt;
};

// A Windows rectangle (left, top)-(right, bottom), right and bottom outside.
inline QRect RectLTRB(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

// Control identifiers of child windows.
void SetDlgCtrlID(QObject* control, int id);
int GetDlgCtrlID(const QObject* control);
// The direct or deeper child of `parent` with the identifier, or null.
QObject* GetDlgItem(const QObject* parent, int id);

// WM_COMMAND(MAKEWPARAM(id, code), control) sent to the control's parent.
LRESULT SendCommandToParent(QObject* control, WORD code);

// Message box styles: the button set (low four bits) and the icon.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_DEFBUTTON2 = 0x100; // the second button is the default
