// CMainFrame: the window messages, and the scan's codes carried from the
// thread that reports them to the window's own.
#include "CAlbireoApp.h"
#include "CDiscAccess.h"
#include "CImportCommand.h"
#include "CMainFrame.h"
#include "CScanProgress.h"
#include "Diagnostics.h"
#include "InstanceChannel.h"
#include "WinControls.h"

namespace {

constexpr LPARAM kNoResult = -1;

} // namespace

bool CMainFrame::event(QEvent* event)
{
    if (auto* message = WinMessageEvent::From(event)) {
        message->result = WindowProc(message->msg, message->wParam, message->lParam);
        message->handled = true;
        return true;
    }
    return CGXTFrameWnd::event(event);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kCancelMessage:
        if (!m_pDiscAccess) return E_UNEXPECTED;
        m_pDiscAccess->SetCancel(int(wParam));
        return 1;
    case kScanCodeMessage:
        OnScanCode(int(wParam), lParam);
        return 1;
    case WM_COMMAND:
        return OnCmdMsg(LOWORD(wParam));
    case WM_COPYDATA:
        // Another start of the program handed over its start path (a disc
        // image from the desktop); it is imported once this message has
        // been answered, so the other start does not wait for the import.
        if (auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam); copy && copy->lpData && wParam == CAlbireoApp::kStartPathCopyData) {
            const QString path = QString::fromUtf16(static_cast<const char16_t*>(copy->lpData));
            DumpMsg("MainFrame", "start path from another instance: %s", qUtf8Printable(path));
            ImportStartPath(path);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

void CMainFrame::ScanCallbackProc(int code, intptr_t parameter, int context)
{
    // Runs on the thread that reports: the scan-starting code comes from the
    // window's own thread, the others from the worker. Window work happens
    // on the window's thread, so codes are carried there with their value
    // (the worker's result lives only while it reports).
    CMainFrame* frame = FrameOf(context);
    if (!frame) return;
    if (code == ScanStarting) {
        const auto* name = reinterpret_cast<const char16_t*>(parameter);
        frame->m_pScanProgress->Starting(name ? QString::fromUtf16(name) : QString());
        return;
    }
    LPARAM value = 0;
    if (code == ScanFinished) value = parameter ? *reinterpret_cast<const int*>(parameter) : kNoResult;
    PostMessage(frame, kScanCodeMessage, WPARAM(code), value);
}

void CMainFrame::OnScanCode(int code, LPARAM value)
{
    switch (code) {
    case ScanFinished:
        m_pScanProgress->Ended();
        // The window is whole again before the import tells its outcome:
        // the list shows the new disc behind the message.
        raise();
        activateWindow();
        m_pImport->ScanEnded(int(value));
        break;
    case ScanCancelled:
        m_pScanProgress->Cancelling();
        break;
    case ScanAborting:
        m_pScanProgress->Aborting();
        break;
    default:
        break;
    }
}

void CMainFrame::OnSessionEnding()
{
    // Sleep, shutdown or log-off during an import: the import stops and
    // removes its disc rather than being cut off half-way.
    if (m_pDiscAccess && m_pDiscAccess->IsBusy()) m_pDiscAccess->SetCancel(1);
}
