#include "CScanProgress.h"

#include "CDiscAccess.h"
#include "CMainFrame.h"
#include "CProgressDlg.h"
#include "ILibraryEngineStatus.h"
#include "LibraryStatusText.h"
#include "PowerNotices.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMenuBar>
#include <QShortcut>

CScanProgress::CScanProgress(CMainFrame& frame, CDiscAccess* discs, PowerNotices& power)
    : m_frame(frame), m_pDiscs(discs), m_power(power)
{
    m_poll.setInterval(kPollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &CScanProgress::Poll);
}

bool CScanProgress::Create()
{
    m_pDialog = new CProgressDlg(&m_frame);
    if (!m_pDialog->Create(LoadString(IDS_PROGRESS_TITLE), &m_frame)) return false;
    // Cancel reaches the scan at once, not at the next poll.
    connect(m_pDialog, &CProgressDlg::cancelRequested, this, [this] {
        if (IsPolling()) Poll();
    });
    m_pDialog->SetRange(0, 100);
    m_pDialog->SetPos(0);
    m_pDialog->hide();
    return true;
}

void CScanProgress::Starting(const QString& discName)
{
    m_importingTitle = LoadString(IDS_FMT_IMPORTING).replace(QStringLiteral("%s"), discName);
    m_pDialog->SetTitle(m_importingTitle);
    RestPanes(true);
    m_pDialog->SetPos(0);
    m_pDialog->setEnabled(true);
    m_pDialog->CenterWindow();
    m_pDialog->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_poll.start();
    m_power.HoldDelay();
}

void CScanProgress::Cancelling()
{
    m_pDialog->SetTitle(LoadString(IDS_PROGRESS_CANCELLING));
    m_pDialog->ResetCancel();
    if (m_pDiscs) m_pDiscs->SetCancel(0);
}

void CScanProgress::Aborting() { m_pDialog->SetTitle(LoadString(IDS_PROGRESS_CANCELLING)); }

void CScanProgress::Ended()
{
    m_poll.stop();
    m_pDialog->SetPos(100);
    m_pDialog->ResetCancel();
    if (m_pDiscs) m_pDiscs->SetCancel(0);
    m_pDialog->hide();
    RestPanes(false);
    m_power.ReleaseDelay();
}

void CScanProgress::Poll()
{
    if (!m_pDiscs) return;
    int progress = 0;
    m_pDiscs->GetProperty(CDiscAccess::kProgressProperty, &progress);
    m_pDialog->SetPos(progress);
    m_pDiscs->SetCancel(m_pDialog->IsCancelled() ? 1 : 0);
    // While another import into the library runs, say so instead of
    // showing a bar that does not move.
    ImportSlotHolder holder{};
    if (m_pDiscs->GetImportWait(&holder)) m_pDialog->SetTitle(LibraryStatusText::ImportWait(holder));
    else if (!m_pDialog->IsCancelled()) ShowReadCount();
}

void CScanProgress::ShowReadCount()
{
    // A large disc's bar moves slowly: the count of what was read shows it is at work.
    int itemsRead = 0;
    m_pDiscs->GetProperty(CDiscAccess::kItemsReadProperty, &itemsRead);
    const QString title = itemsRead == 0 ? m_importingTitle
                                         : m_importingTitle + u'\n' +
                                               FormatString(IDS_FMT_FILES_READ, {QLocale().toString(itemsRead)});
    if (m_pDialog->Title() != title) m_pDialog->SetTitle(title);
}

void CScanProgress::RestPanes(bool rest)
{
    // The frame itself stays enabled, so its caption still moves, minimises
    // and paints the window.
    if (QWidget* client = m_frame.ClientArea()) client->setEnabled(!rest);
    if (auto* menuBar = m_frame.findChild<QMenuBar*>()) menuBar->setEnabled(!rest);
    if (rest) {
        for (QShortcut* shortcut : m_frame.findChildren<QShortcut*>())
            if (shortcut->isEnabled()) {
                shortcut->setEnabled(false);
                m_restingShortcuts << shortcut;
            }
        return;
    }
    for (const QPointer<QShortcut>& shortcut : std::exchange(m_restingShortcuts, {}))
        if (shortcut) shortcut->setEnabled(true);
}
