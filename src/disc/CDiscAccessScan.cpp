// CDiscAccess: the scan's operations, as the main frame and the import use them.
#include "CDiscAccess.h"

#include "CScanWorker.h"

HRESULT CDiscAccess::SetLibrary(ILibraryEngine* library)
{
    if (!library) return E_POINTER;
    m_pLibrary = library;
    return S_OK;
}

HRESULT CDiscAccess::SetDiscIds(int discId, int labelId)
{
    m_nDiscId = discId;
    m_nLabelId = labelId;
    return S_OK;
}

int CDiscAccess::StartScan(int mode)
{
    m_nMode = mode;
    WaitForScan();
    m_pWorker = std::make_unique<CScanWorker>(*this);
    m_pWorker->start();
    m_nReplacedDiscId = 0; // the worker took it when made
    return m_pWorker->isRunning() || m_pWorker->isFinished() ? 1 : 0;
}

int CDiscAccess::SetCallback(ScanCallback callback, int context)
{
    m_pCallback = callback;
    m_nCallbackContext = context;
    return 1;
}

HRESULT CDiscAccess::GetProperty(int key, int* value) const
{
    if (!value) return E_POINTER;
    if (key == 5000) *value = m_nProgress.load();
    return S_OK;
}

void CDiscAccess::SetCancel(int value)
{
    m_nCancelRequested = value;
    m_nAbortRequested = value;
}

bool CDiscAccess::WaitForScan(unsigned long milliseconds)
{
    return !m_pWorker || m_pWorker->wait(QDeadlineTimer(milliseconds == ULONG_MAX ? QDeadlineTimer::Forever
                                                                                  : QDeadlineTimer(milliseconds)));
}
