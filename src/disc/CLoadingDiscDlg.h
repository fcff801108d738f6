// CLoadingDiscDlg: reads the disc in the selected drive (its properties,
// identity and counts, which for a large disc means parsing its whole file
// system) while it says so. The read runs on a thread of its own, so the
// window keeps painting and the dialog's Cancel keeps answering; the dialog
// checks for the read's end on a short timer. A failed read shows message
// 3266 and closes with IDCANCEL; a finished one closes with IDOK and leaves
// what it read in Readout(). Cancel cannot stop the engine in the middle
// of its parse: it closes the dialog with IDCANCEL as soon as the read ends.
#pragma once
#include "CDiscWaitDialog.h"
#include "DiscReadout.h"

#include <QBasicTimer>
#include <atomic>
#include <thread>

class CAlphaStatic;
class CDiscAccess;

class CLoadingDiscDlg : public CDiscWaitDialog {
    Q_OBJECT
public:
    static constexpr int kCheckMs = 50;

    explicit CLoadingDiscDlg(CDiscAccess& discs, QWidget* parent = nullptr);
    ~CLoadingDiscDlg() override;

    const DiscReadout& Readout() const { return m_readout; }
    HRESULT ReadResult() const { return m_hrRead; }
    bool IsReading() const { return m_bStarted && !m_bDone.load(); }
    bool IsCancelRequested() const { return m_bCancel; }

protected:
    BOOL OnInitDialog() override;
    // The dialog ends itself when the read ends; Enter does not.
    void OnOK() override {}
    void OnCancel() override;
    void timerEvent(QTimerEvent* event) override;

private:
    void StartRead();
    void Finish();

    CDiscAccess& m_discs;
    DiscReadout m_readout;
    HRESULT m_hrRead = E_UNEXPECTED; // until the read ends
    std::thread m_reader;
    std::atomic<bool> m_bDone{false};
    bool m_bStarted = false;
    bool m_bCancel = false;
    QBasicTimer m_timer;
};
