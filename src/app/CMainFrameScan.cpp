// CMainFrame: the window messages; the import's scan as the window shows it
// (the callback, the progress window, cancelling); disc images handed to
// the program and catalogued files opened from their discs.
#include "CAlbireoApp.h"
#include "CAlbireoDoc.h"
#include "CDiscAccess.h"
#include "CFileListView.h"
#include "CFileOpenCommand.h"
#include "CFlwMessageBox.h"
#include "CImportCommand.h"
#include "CMainFrame.h"
#include "CProgressDlg.h"
#include "Diagnostics.h"
#include "ILibraryEngineStatus.h"
#include "InstanceChannel.h"
#include "LibraryStatusText.h"
#include "ResourceIds.h"
#include "PowerNotices.h"
#include "StringResources.h"
#include "WinControls.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QTimerEvent>

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
        frame->OnScanStarting(name ? QString::fromUtf16(name) : QString());
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
        OnScanFinished(value);
        break;
    case ScanCancelled:
        m_pProgressDlg->SetTitle(LoadString(IDS_PROGRESS_CANCELLING));
        m_pProgressDlg->ResetCancel();
        if (m_pDiscAccess) m_pDiscAccess->SetCancel(0);
        break;
    case ScanAborting:
        m_pProgressDlg->SetTitle(LoadString(IDS_PROGRESS_CANCELLING));
        break;
    default:
        break;
    }
}

void CMainFrame::OnScanStarting(const QString& discName)
{
    m_strImportingTitle = LoadString(IDS_FMT_IMPORTING).replace(QStringLiteral("%s"), discName);
    m_pProgressDlg->SetTitle(m_strImportingTitle);
    EnableClientForScan(false);
    m_pProgressDlg->SetPos(0);
    m_pProgressDlg->setEnabled(true);
    m_pProgressDlg->CenterWindow();
    m_pProgressDlg->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_progressTimer.start(kProgressIntervalMs, this);
    m_pPower->HoldDelay();
}

void CMainFrame::OnScanFinished(LPARAM result)
{
    m_progressTimer.stop();
    m_pProgressDlg->SetPos(100);
    m_pProgressDlg->ResetCancel();
    if (m_pDiscAccess) m_pDiscAccess->SetCancel(0);
    m_pProgressDlg->hide();
    EnableClientForScan(true);
    raise();
    activateWindow();
    m_pPower->ReleaseDelay();
    // The window is whole again before the message: the list shows the new
    // disc behind it.
    if (result == 0) {
        const QString why = LibraryStatusText::ImportFailureCause(m_pImport ? m_pImport->Library() : nullptr);
        if (why.isEmpty()) CFlwMessageBox::showMessage(IDS_MSG_IMPORT_FAILED, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, this);
        else CFlwMessageBox::showMessage(why, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, this);
    } else if (result == 1) {
        SendMessage(m_pFileListView, CFileListView::kReloadMessage, 1, 0);
        RefreshTags(); // the new disc may carry tags the pane has not counted
        // A read that missed folders or files never ends as a plain success.
        const DiscReadGaps& gaps = m_pDiscAccess->LastReadGaps();
        if (gaps.IsIncomplete())
            CFlwMessageBox::showMessage(gaps.ImportMessage(), MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, this);
        else
            CFlwMessageBox::showMessage(m_pImport->DoneMessageId(), MB_ICONINFORMATION, CFlwMessageBox::kCaptionId, this);
    }
    m_pImport->ScanEnded();
}

QWidget* CMainFrame::ClientArea() const { return m_pSplitter ? m_pSplitter->parentWidget() : nullptr; }

void CMainFrame::EnableClientForScan(bool enable)
{
    // The panes, the menu bar and the window's shortcuts rest while a disc
    // is scanned; the frame itself stays enabled, so its caption still
    // moves, minimises and paints the window.
    if (QWidget* client = ClientArea()) client->setEnabled(enable);
    if (auto* menuBar = findChild<QMenuBar*>()) menuBar->setEnabled(enable);
    if (!enable) {
        for (QShortcut* shortcut : findChildren<QShortcut*>())
            if (shortcut->isEnabled()) {
                shortcut->setEnabled(false);
                m_scanDisabled << shortcut;
            }
        return;
    }
    for (QObject* object : std::exchange(m_scanDisabled, {}))
        if (auto* shortcut = qobject_cast<QShortcut*>(object)) shortcut->setEnabled(true);
}

void CMainFrame::OpenCataloguedFile(int discId, const QString& folderPath, const QString& name)
{
    CFileOpenCommand(this, m_pDiscAccess, m_pFileListView->Engine(), &CMainFrame::OpenWithDesktop)
        .Open(discId, folderPath, name);
}

void CMainFrame::ImportStartPath(const QString& path)
{
    QTimer::singleShot(0, this, [this, path] { m_pImport->ImportImage(path); });
}

void CMainFrame::PollProgress()
{
    if (!m_pDiscAccess || !m_pProgressDlg) return;
    int progress = 0;
    m_pDiscAccess->GetProperty(CDiscAccess::kProgressProperty, &progress);
    m_pProgressDlg->SetPos(progress);
    m_pDiscAccess->SetCancel(m_pProgressDlg->IsCancelled() ? 1 : 0);
    // While another import into the library runs, say so instead of
    // showing a bar that does not move.
    ImportSlotHolder holder{};
    const bool waiting = m_pDiscAccess->GetImportWait(&holder);
    if (waiting) {
        m_pProgressDlg->SetTitle(LibraryStatusText::ImportWait(holder));
    } else if (!m_pProgressDlg->IsCancelled()) {
        // A large disc's bar moves slowly: the count of what was read shows it is at work.
        int itemsRead = 0;
        m_pDiscAccess->GetProperty(CDiscAccess::kItemsReadProperty, &itemsRead);
        const QString title = itemsRead == 0 ? m_strImportingTitle
                                             : m_strImportingTitle + u'\n' +
                                                   FormatString(IDS_FMT_FILES_READ, {QLocale().toString(itemsRead)});
        if (m_pProgressDlg->Title() != title) m_pProgressDlg->SetTitle(title);
    }
}

void CMainFrame::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_progressTimer.timerId()) {
        PollProgress();
    } else {
        CGXTFrameWnd::timerEvent(event);
    }
}

void CMainFrame::OnSessionEnding()
{
    // Sleep, shutdown or log-off during an import: the import stops and
    // removes its disc rather than being cut off half-way.
    if (m_pDiscAccess && m_pDiscAccess->IsBusy()) m_pDiscAccess->SetCancel(1);
}
