// CScanProgress: a running disc scan as the window shows it. While the scan
// runs, the progress window shows its bar and its title ("Importing ...",
// then the count of what was read, or who holds the library when another
// import runs first), polled every 200 ms; Cancel reaches the scan at once;
// the panes, the menu bar and the window's shortcuts rest, while the caption
// still moves and minimises the window; and the machine's sleep waits for
// the scan (the delay lock of PowerNotices).
//
// The main frame owns it and tells it the scan's codes on the window's
// thread: Starting, Cancelling, Aborting, Ended. What the end means to the
// user (the message, the reloaded list) is the import's (CImportCommand).
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class CDiscAccess;
class CMainFrame;
class CProgressDlg;
class PowerNotices;
class QShortcut;

class CScanProgress : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 200;

    CScanProgress(CMainFrame& frame, CDiscAccess* discs, PowerNotices& power);

    // Builds the progress window, hidden; false when it cannot be made.
    bool Create();
    CProgressDlg* Dialog() const { return m_pDialog; }
    bool IsPolling() const { return m_poll.isActive(); }

    void Starting(const QString& discName);
    // The scan took the user's Cancel: it is stopping, and the next Cancel
    // is a new request.
    void Cancelling();
    // The scan stops on its own (an error): it is winding down.
    void Aborting();
    // The scan ended, however: the window is whole again.
    void Ended();

private:
    void Poll();
    void ShowReadCount();
    void RestPanes(bool rest);

    CMainFrame& m_frame;
    CDiscAccess* m_pDiscs;
    PowerNotices& m_power;
    CProgressDlg* m_pDialog = nullptr;
    QString m_importingTitle;
    QTimer m_poll;
    QList<QPointer<QShortcut>> m_restingShortcuts; // shortcuts the scan turned off
};
