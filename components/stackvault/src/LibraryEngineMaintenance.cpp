// The maintenance interface of the library engine: it works on the library
// file with connections of its own, so it serves a library that cannot be
// opened as well as one that can.
#include "LibraryEngine.h"

#include "IntegrityCheck.h"
#include "LibraryBackup.h"
#include "LibraryLocation.h"
#include "LibraryRepair.h"
#include "Utf16Text.h"

#include <cstring>

HRESULT CLibraryEngine::GetLibraryPath(char16_t* path)
{
    if (!path) return E_POINTER;
    Utf16Text::CopyToField(path, kLibraryPathLength, LibraryLocation::DatabasePath());
    return S_OK;
}

HRESULT CLibraryEngine::CheckLibrary(LONG full, char16_t* finding)
{
    QString found;
    const HRESULT hr = IntegrityCheck::RunOnFile(LibraryLocation::DatabasePath(), full != 0, &found);
    if (finding) Utf16Text::CopyToField(finding, kLibraryTextLength, found);
    return hr;
}

// The instance's own connection is closed first (it would keep reading the
// damaged file); it stays closed until Initialize is called again.
HRESULT CLibraryEngine::RepairLibrary(LibraryRepairReport* report)
{
    if (!report) return E_POINTER;
    std::memset(static_cast<void*>(report), 0, sizeof(*report));
    Lock lock(m_mutex);
    if (!m_imports.Handles().empty()) return LIBRARY_E_IN_USE;
    m_upgradeBuilder.reset();
    m_imports.StopCheckpoints();
    m_listings.Clear();
    m_db.Close();
    m_lastAddedDisc = 0;
    return LibraryRepair(LibraryLocation::DatabasePath()).Run(report);
}

HRESULT CLibraryEngine::BackUpLibrary(LONG dailyOnly)
{
    const QString path = LibraryLocation::DatabasePath();
    QString backup;
    return dailyOnly ? LibraryBackup::TakeDaily(path) : LibraryBackup::Take(path, &backup);
}
