// CDiscAccess: the one object that owns the disc engine's objects, the list
// of drives the user may import from, the selected drive, the last disc read
// and the scan into the library. Created at start-up, deleted at exit.
#pragma once
#include "CDiscIdentity.h"
#include "ComPtr.h"
#include "ComponentModule.h"
#include "ScanState.h"
#include "TrellisInterfaces.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <atomic>
#include <climits>
#include <memory>
#include <vector>

struct ILibraryEngine;
struct ImportSlotHolder;
class CScanWorker;

class CDiscAccess {
public:
    // GetProperty's key for the scan's progress (0..100).
    static constexpr int kProgressProperty = 5000;

    // Loads the disc engine from the program folder, tells it the settings
    // location and builds the drive list. Without an engine the object
    // still exists and its operations answer their failure codes.
    CDiscAccess();
    ~CDiscAccess();
    CDiscAccess(const CDiscAccess&) = delete;
    CDiscAccess& operator=(const CDiscAccess&) = delete;

    // The result of loading the engine and building the list.
    HRESULT InitResult() const { return m_hrInit; }
    ITrellisEngine* Engine() const { return m_engine.Get(); }

    // Drives.
    int GetDriveCount() const { return m_nDriveCount; }
    int GetDriveNames(QStringList& names) const;
    HRESULT SelectDrive(int position);
    HRESULT GetDriveLetter(char* letter) const;
    HRESULT CheckDiscReady();
    HRESULT CheckDriveReady(int engineIndex);
    HRESULT EjectMedia();
    HRESULT LockMedia(LONG flag);
    // Whether this object last locked the selected drive (and has not
    // unlocked it since).
    bool IsMediaLocked() const { return m_bMediaLocked; }
    // The engine index of the drive listed at `position`, or -1.
    int EngineIndexAt(int position) const;
    // The list position of the drive with this letter, or -1.
    int PositionOfLetter(char letter) const;

    // Disc properties and identity of the disc in the selected drive.
    HRESULT ReadDiscProperties(char* identity, WCHAR* label, WCHAR* spareText, int* audioFlag, int* discClass,
                               int* folderCount, int* fileCount, INT64* usedBytes, INT64* capacityBytes,
                               WCHAR* dateText);
    // The identity alone of the disc in the drive with that engine index.
    HRESULT GetDriveIdentity(char* identity, int engineIndex);
    DWORD MediaType() const { return m_dwMediaType; }
    int FileCount() const { return m_nFileCount; }
    int ItemTotal() const { return m_nItemTotal; }

    // Scan into the library (runs on a worker thread).
    HRESULT SetLibrary(ILibraryEngine* library);
    HRESULT SetDiscIds(int discId, int labelId);
    int StartScan(int mode);
    // The disc the next scan replaces (catalogued again), 0 for a new disc;
    // cleared when the scan starts.
    void SetReplacedDisc(int discId) { m_nReplacedDiscId = discId; }
    // What the last scan's read could not read; valid once it has finished.
    const DiscReadGaps& LastReadGaps() const { return m_scan.lastReadGaps; }
    int SetCallback(ScanCallback callback, int context);
    HRESULT GetProperty(int key, int* value) const;
    // Also passed to the library, so that a scan waiting there for another
    // import into the library gives up too.
    void SetCancel(int value);
    // The cancel request the worker reads (0 or what SetCancel gave).
    int CancelRequested() const { return m_scan.cancelRequested.load(); }
    // True while the running scan waits for another import into the library
    // to end (the library lets one import write at a time); `holder` then
    // names the process that imports. The progress window polls it with
    // the progress to say why nothing moves.
    bool GetImportWait(ImportSlotHolder* holder) const;
    // Waits for the running scan to end, at most `milliseconds` (the program
    // does when it ends during an import, once it cancelled the scan). True
    // when no scan runs any more.
    bool WaitForScan(unsigned long milliseconds = ULONG_MAX);
    // Set while a disc is read or scanned; the suspend check reads it.
    bool IsBusy() const { return m_scan.busy.load(); }

    // The disc class of a media type: 1 CD, 2 DVD, 3 BD, 0 unknown.
    static int DiscClassOf(DWORD mediaType);
    // Whether the media type is one of the CD types that take the CD reader.
    static bool IsCdMedia(DWORD mediaType);
    // Reduces every run of blanks to one and removes one trailing blank.
    static QString CollapseBlanks(const QString& text);

private:
    struct DiscFacts;

    HRESULT LoadEngine();
    HRESULT BuildDriveList();
    bool IsVirtualDrive(char letter) const;
    HRESULT ReadFacts(ITrellisDevice* device, bool forImport, DiscFacts& facts);
    HRESULT ReadOpenDisc(ITrellisDiscProperties* properties, bool forImport, DiscFacts& facts);
    HRESULT ReadDataDisc(ITrellisDiscProperties* properties, bool forImport, DiscFacts& facts);
    HRESULT CountPass(DiscFacts& facts);
    void ReleaseSelected();
    bool IsScanning() const;

    // Declared first: unloaded last, after every object of the engine is released.
    ComponentModule m_module;
    HRESULT m_hrInit = E_FAIL;
    ComPtr<ITrellisEngine> m_engine;
    ComPtr<ITrellisDiscInfo> m_discInfo;
    ComPtr<ITrellisDevice> m_selectedDevice;
    char m_cSelectedLetter = 0;
    bool m_bMediaLocked = false;
    int m_nDriveCount = 0;
    std::vector<int> m_listedEngineIndexes;
    QStringList m_driveNames;
    QMap<int, QString> m_driveRoots;

    DWORD m_dwMediaType = 0;
    int m_nFileCount = 0;
    int m_nItemTotal = 0;

    ScanState m_scan;
    ILibraryEngine* m_pLibrary = nullptr;
    int m_nDiscId = 0;
    int m_nLabelId = 0;
    int m_nMode = 0;
    int m_nReplacedDiscId = 0;
    std::unique_ptr<CScanWorker> m_pWorker;
};
