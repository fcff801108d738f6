// CDiscAccess: the scan's operations, as the main frame and the import use them.
#include "CDiscAccess.h"

#include "CScanWorker.h"
#include "ILibraryEngine.h"
#include "ILibraryEngineStatus.h"

namespace {
// The library's optional status interface, released when done (null when
// the engine has none).
struct LibraryStatus {
    explicit LibraryStatus(ILibraryEngine* library)
    {
        if (library) library->QueryInterface(IID_ILibraryEngineStatus, reinterpret_cast<void**>(&status));
    }
    ~LibraryStatus() { SafeRelease(status); }
    LibraryStatus(const LibraryStatus&) = delete;
    LibraryStatus& operator=(const LibraryStatus&) = delete;
    ILibraryEngineStatus* status = nullptr;
};
} // namespace

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
    ScanJob job;
    job.engine = ComPtr<ITrellisEngine>::Share(m_engine.Get());
    job.device = ComPtr<ITrellisDevice>::Share(m_selectedDevice.Get());
    job.library = m_pLibrary;
    job.mediaType = m_dwMediaType;
    job.discId = m_nDiscId;
    job.labelId = m_nLabelId;
    job.replacedDiscId = m_nReplacedDiscId;
    job.mode = mode;
    job.fileCount = m_nFileCount;
    job.itemTotal = m_nItemTotal;
    m_nReplacedDiscId = 0; // the job took it
    m_pWorker = std::make_unique<CScanWorker>(m_scan, std::move(job));
    m_pWorker->start();
    return m_pWorker->isRunning() || m_pWorker->isFinished() ? 1 : 0;
}

int CDiscAccess::SetCallback(ScanCallback callback, int context)
{
    m_scan.callback = callback;
    m_scan.callbackContext = context;
    return 1;
}

HRESULT CDiscAccess::GetProperty(int key, int* value) const
{
    if (!value) return E_POINTER;
    if (key == kProgressProperty) *value = m_scan.progress.load();
    else if (key == kItemsReadProperty) *value = m_scan.itemsRead.load();
    return S_OK;
}

void CDiscAccess::SetCancel(int value)
{
    m_scan.cancelRequested = value;
    m_scan.abortRequested = value;
    if (!value || !IsScanning()) return;
    LibraryStatus library(m_pLibrary);
    if (library.status) library.status->SetImportCancel(value);
}

bool CDiscAccess::GetImportWait(ImportSlotHolder* holder) const
{
    if (!holder || !IsScanning()) return false;
    LibraryStatus library(m_pLibrary);
    return library.status && library.status->GetImportWait(holder) == S_OK;
}

// The library pointer is the caller's; it is used only while a scan runs,
// when the caller keeps it.
bool CDiscAccess::IsScanning() const { return m_pWorker && m_pWorker->isRunning(); }

bool CDiscAccess::WaitForScan(unsigned long milliseconds)
{
    return !m_pWorker || m_pWorker->wait(QDeadlineTimer(milliseconds == ULONG_MAX ? QDeadlineTimer::Forever
                                                                                  : QDeadlineTimer(milliseconds)));
}
