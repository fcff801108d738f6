// CLibraryDamagePrompt: what the main window does about a damaged library.
// Before the panes open the library it tries to open it, and offers the
// repair at once when the file is too damaged to be opened at all (the
// panes could not start otherwise). When the window is first shown it runs
// the quick check in the background;
// when the check, or any engine call of the panes, answers that the library
// file is damaged, it asks the user once per run whether to repair it (the
// skinned message box, Yes/No). On Yes it closes every engine instance of
// the window, repairs, shows what was saved and lost, opens the engines
// again and has the panes read the library anew.
//
// The question waits until the current engine call has returned and the
// window is enabled (it is disabled while a disc is imported), so that no
// engine is closed under a caller or an import.
#pragma once
#include "CDllCom.h"
#include "CLibraryHealth.h"

#include <QObject>
#include <functional>
#include <vector>

class QWidget;

class CLibraryDamagePrompt : public QObject {
    Q_OBJECT
public:
    // What the window lends the prompt: every engine instance it holds
    // (closed for the repair, opened again after it) and how its panes
    // read the library again.
    struct Window {
        QWidget* widget = nullptr;
        std::function<std::vector<ILibraryEngine*>()> engines;
        std::function<void()> reload;
    };

    explicit CLibraryDamagePrompt(Window window);
    ~CLibraryDamagePrompt() override;

    // Tries to open the library; when that fails because the file is
    // damaged, asks at once (Yes repairs). For the start, before the panes
    // open their engines.
    void RepairIfUnopenable();
    // The result of an engine call: a damage failure, the first of the run,
    // leads to the question; any other result does nothing.
    void OnEngineResult(HRESULT hr);
    bool IsQuestionPending() const { return m_bPending; }

signals:
    // The start-up check has answered (S_OK: the library is sound).
    void startupChecked(HRESULT hr);
    // The question was answered and, on Yes, the repair has run (hr is the
    // repair's result, S_FALSE when the user declined).
    void answered(HRESULT hr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AskWhenReady();
    void Ask();
    HRESULT RepairWithEnginesClosed(QString* report);

    Window m_window;
    CDllCom m_loader;
    CLibraryHealth m_health{m_loader};
    bool m_bChecked = false;
    bool m_bPending = false;
};
