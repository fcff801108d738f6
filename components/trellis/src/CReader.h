// A file-system reader: parses the disc's whole tree on a thread of its
// own, then answers folder enumerations by path from the parsed tree.
#pragma once
#include "CDevice.h"
#include "FileSystemReader.h"

#include <condition_variable>
#include <mutex>
#include <thread>

class CReader : public ITrellisReader, public ITrellisReadReport, public ITrellisFileData, public ComObject {
public:
    ~CReader() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    TRELLIS_COM_REFCOUNT

    HRESULT Attach(ITrellisDevice* device) override;
    HRESULT Open() override;
    HRESULT StartParse(DWORD options, DWORD reserved1, DWORD reserved2) override;
    HRESULT WaitParse(DWORD milliseconds, LONG* done, double* fraction) override;
    HRESULT Abort() override;
    HRESULT Close() override;
    HRESULT Detach() override;
    HRESULT GetTreeCounts(TrellisTreeCounts* counts) override;
    HRESULT GetUsedBlocks(DWORD session, UINT64* blocks) override;
    HRESULT FindFirst(LPCWSTR path, TrellisFindEntry* entry) override;
    HRESULT FindNext(TrellisFindEntry* entry) override;
    HRESULT FindClose() override;
    HRESULT GetReadReport(TrellisReadReport* report) override;
    HRESULT GetFileSize(LPCWSTR path, UINT64* size) override;
    HRESULT ReadFile(LPCWSTR path, UINT64 offset, BYTE* buffer, DWORD size, DWORD* read) override;

private:
    // An image file that ends before its file system does is known before
    // anything is read: the report's reason and sizes.
    void CheckImageLength();
    void Parse();
    bool TakeKeptParse();
    void StopParse();
    bool Parsed() const;
    // What identifies the opened image and its layout; empty for a drive.
    std::string MediumStamp() const;
    HRESULT FillNext(TrellisFindEntry* entry);
    // The parsed tree's node of a file path, or FileTree::kNone.
    uint32_t FindFile(LPCWSTR path) const;

    CDevice* m_device = nullptr;
    std::unique_ptr<DiscMedium> m_medium;
    std::unique_ptr<FileSystemReader> m_fileSystem;
    VolumeInfo m_volume;
    FileTree m_tree;
    TrellisReadReport m_openReport{};
    std::string m_stamp;
    DWORD m_options = 0;
    bool m_parsedHere = false; // the tree is this reader's own parse, not one taken over

    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_started = false;
    bool m_done = false;
    HRESULT m_result = S_OK;
    std::atomic<bool> m_abort{false};
    std::atomic<double> m_fraction{0.0};

    uint32_t m_findFolder = FileTree::kNone;
    size_t m_findPosition = 0;
};
