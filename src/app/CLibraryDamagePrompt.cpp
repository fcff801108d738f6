#include "CLibraryDamagePrompt.h"

#include "CFlwMessageBox.h"
#include "WinControls.h"

#include <QEvent>
#include <QWidget>

CLibraryDamagePrompt::CLibraryDamagePrompt(Window window) : m_window(std::move(window))
{
    if (m_window.widget) m_window.widget->installEventFilter(this);
}

CLibraryDamagePrompt::~CLibraryDamagePrompt() = default;

void CLibraryDamagePrompt::RepairIfUnopenable()
{
    ILibraryEngine* engine = nullptr;
    if (FAILED(m_loader.CreateLibraryEngine(&engine))) return;
    const HRESULT opened = engine->Initialize(0, 1, 0);
    engine->Uninitialize();
    engine->Release();
    if (m_health.TakeFirstDamage(opened)) Ask();
}

void CLibraryDamagePrompt::OnEngineResult(HRESULT hr)
{
    if (!m_health.TakeFirstDamage(hr)) return;
    m_bPending = true;
    // After the call that met the damage has returned to the event loop.
    QMetaObject::invokeMethod(this, &CLibraryDamagePrompt::AskWhenReady, Qt::QueuedConnection);
}

bool CLibraryDamagePrompt::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window.widget) return false;
    if (event->type() == QEvent::Show && !m_bChecked) {
        m_bChecked = true;
        m_health.StartStartupCheck(this, [this](HRESULT hr) {
            OnEngineResult(hr);
            emit startupChecked(hr);
        });
    } else if (event->type() == QEvent::EnabledChange && m_bPending) {
        QMetaObject::invokeMethod(this, &CLibraryDamagePrompt::AskWhenReady, Qt::QueuedConnection);
    }
    return false;
}

void CLibraryDamagePrompt::AskWhenReady()
{
    if (!m_bPending || (m_window.widget && !m_window.widget->isEnabled())) return;
    m_bPending = false;
    Ask();
}

void CLibraryDamagePrompt::Ask()
{
    // A window not shown yet is no place to centre a box on.
    QWidget* parent = m_window.widget && m_window.widget->isVisible() ? m_window.widget : nullptr;
    const int answer = CFlwMessageBox::showMessage(m_health.DamageQuestion(), MB_YESNO | MB_ICONWARNING,
                                                   CFlwMessageBox::kCaptionId, parent);
    if (answer != IDYES || !m_health.CanRepair()) {
        emit answered(S_FALSE);
        return;
    }
    QString report;
    const HRESULT hr = RepairWithEnginesClosed(&report);
    CFlwMessageBox::showMessage(report, MB_OK | MB_ICONWARNING, CFlwMessageBox::kCaptionId, parent);
    if (m_window.reload) m_window.reload();
    emit answered(hr);
}

HRESULT CLibraryDamagePrompt::RepairWithEnginesClosed(QString* report)
{
    const std::vector<ILibraryEngine*> engines = m_window.engines ? m_window.engines() : std::vector<ILibraryEngine*>();
    for (ILibraryEngine* engine : engines) engine->Uninitialize();
    const HRESULT hr = m_health.Repair(report);
    HRESULT reopened = S_OK;
    for (ILibraryEngine* engine : engines) {
        const HRESULT opened = engine->Initialize(0, 1, 0);
        if (FAILED(opened)) reopened = opened;
    }
    // A library that cannot be opened again is news like any other damage.
    if (FAILED(reopened)) OnEngineResult(reopened);
    return hr;
}
