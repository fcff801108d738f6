#include "CReader.h"

#include "FileSystemProbe.h"

#include <chrono>
#include <cstring>

CReader::~CReader() { Detach(); }

HRESULT CReader::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITrellisReader) {
        *object = static_cast<ITrellisReader*>(this);
    } else if (iid == IID_ITrellisReadReport) {
        *object = static_cast<ITrellisReadReport*>(this);
    } else if (iid == IID_ITrellisFileData) {
        *object = static_cast<ITrellisFileData*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CReader::Attach(ITrellisDevice* device)
{
    CDevice* ours = nullptr;
    const HRESULT hr = CDevice::CheckAttach(device, &ours);
    if (FAILED(hr)) return hr;
    Detach();
    m_device = ours;
    m_device->AddRef();
    return S_OK;
}

HRESULT CReader::Open()
{
    if (!m_device) return E_UNEXPECTED;
    Close();
    const HRESULT hr = m_device->OpenMedium(m_medium);
    if (FAILED(hr)) return hr;
    m_fileSystem = FileSystemProbe::Open(*m_medium, m_volume);
    if (!m_fileSystem && m_medium->Layout().HasDataTrack()) {
        m_medium.reset();
        return TRELLIS_E_BAD_FORMAT; // data on the disc, but no file system that can be read
    }
    CheckImageLength();
    m_stamp = MediumStamp();
    return S_OK;
}

std::string CReader::MediumStamp() const
{
    std::string stamp = m_medium->Stamp();
    if (stamp.empty()) return {};
    const DiscLayout& layout = m_medium->Layout();
    stamp += '|' + std::to_string(layout.leadOut);
    for (const TrackLayout& track : layout.tracks)
        stamp += ',' + std::to_string(track.start) + '/' + std::to_string(track.format) + '/' + std::to_string(track.session);
    return stamp;
}

void CReader::CheckImageLength()
{
    const DiscLayout& layout = m_medium->Layout();
    if (!layout.imageFile || m_volume.describedBlocks <= layout.leadOut) return;
    m_openReport.reasons = TRELLIS_GAP_SHORT_IMAGE;
    m_openReport.mediumBytes = UINT64(layout.leadOut) * DiscMedium::kBlockSize;
    m_openReport.volumeBytes = m_volume.describedBlocks * DiscMedium::kBlockSize;
}

HRESULT CReader::StartParse(DWORD options, DWORD reserved1, DWORD reserved2)
{
    if (reserved1 || reserved2) return E_INVALIDARG;
    if (!m_medium) return E_UNEXPECTED;
    StopParse();
    m_tree = FileTree();
    m_abort = false;
    m_options = options;
    const bool taken = TakeKeptParse();
    m_parsedHere = !taken;
    m_fraction = taken ? 1.0 : 0.0;
    {
        std::lock_guard lock(m_mutex);
        m_started = true;
        m_done = taken;
        m_result = S_OK;
    }
    if (!taken) m_thread = std::thread(&CReader::Parse, this);
    return S_OK;
}

// The kept parse replaces what Open read of the same image.
bool CReader::TakeKeptParse()
{
    KeptParse::Parse kept;
    if (!m_device->LastParse().Take(m_stamp, m_options, kept)) return false;
    m_fileSystem.reset();
    m_medium = std::move(kept.medium);
    m_fileSystem = std::move(kept.fileSystem);
    m_volume = kept.volume;
    m_tree = std::move(kept.tree);
    return true;
}

void CReader::Parse()
{
    HRESULT result = S_OK;
    if (m_fileSystem) {
        ParseControl control(&m_abort, &m_fraction);
        result = m_fileSystem->ReadTree(m_tree, control);
    }
    if (SUCCEEDED(result)) m_fraction = 1.0;
    std::lock_guard lock(m_mutex);
    m_result = result;
    m_done = true;
    m_finished.notify_all();
}

HRESULT CReader::WaitParse(DWORD milliseconds, LONG* done, double* fraction)
{
    std::unique_lock lock(m_mutex);
    if (!m_started) return E_UNEXPECTED;
    m_finished.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_done; });
    if (done) *done = m_done ? 1 : 0;
    if (fraction) *fraction = m_fraction.load();
    return m_done ? m_result : TRELLIS_S_PARSE_RUNNING;
}

HRESULT CReader::Abort()
{
    m_abort = true;
    return S_OK;
}

void CReader::StopParse()
{
    m_abort = true;
    if (m_thread.joinable()) m_thread.join();
    m_abort = false;
    std::lock_guard lock(m_mutex);
    m_started = false;
    m_done = false;
}

bool CReader::Parsed() const
{
    std::lock_guard lock(m_mutex);
    return m_started && m_done && SUCCEEDED(m_result);
}

HRESULT CReader::Close()
{
    const bool keep = m_parsedHere && !m_stamp.empty() && Parsed() && m_device;
    StopParse();
    FindClose();
    if (keep)
        m_device->LastParse().Keep(m_stamp, m_options,
                                   {std::move(m_medium), std::move(m_fileSystem), m_volume, std::move(m_tree)});
    m_parsedHere = false;
    m_stamp.clear();
    m_tree = FileTree();
    m_fileSystem.reset();
    m_medium.reset();
    m_volume = VolumeInfo{};
    m_openReport = TrellisReadReport{};
    return S_OK;
}

HRESULT CReader::Detach()
{
    Close();
    SafeRelease(m_device);
    return S_OK;
}

HRESULT CReader::GetTreeCounts(TrellisTreeCounts* counts)
{
    if (!counts) return E_POINTER;
    if (!Parsed()) return E_UNEXPECTED;
    counts->files = m_tree.FileCount();
    counts->folders = m_tree.FolderCount();
    counts->entries = counts->files + counts->folders;
    return S_OK;
}

HRESULT CReader::GetUsedBlocks(DWORD session, UINT64* blocks)
{
    if (!blocks) return E_POINTER;
    if (!m_medium) return E_UNEXPECTED;
    if (session > m_medium->Layout().sessions) return E_INVALIDARG;
    *blocks = m_volume.usedBlocks;
    return S_OK;
}

HRESULT CReader::FindFirst(LPCWSTR path, TrellisFindEntry* entry)
{
    if (!path || !entry) return E_POINTER;
    if (!Parsed()) return E_UNEXPECTED;
    m_findFolder = m_tree.FindFolder(path);
    m_findPosition = 0;
    if (m_findFolder == FileTree::kNone) return TRELLIS_E_PATH_NOT_FOUND;
    return FillNext(entry);
}

HRESULT CReader::FindNext(TrellisFindEntry* entry)
{
    if (!entry) return E_POINTER;
    if (m_findFolder == FileTree::kNone || !Parsed()) return E_UNEXPECTED;
    return FillNext(entry);
}

HRESULT CReader::FillNext(TrellisFindEntry* entry)
{
    const FileNode& folder = m_tree.Node(m_findFolder);
    if (m_findPosition >= folder.children.size()) return TRELLIS_E_NO_MORE_ENTRIES;
    const FileNode& node = m_tree.Node(folder.children[m_findPosition++]);
    std::memset(entry, 0, sizeof *entry);
    entry->attributes = node.attributes;
    entry->time.low = DWORD(node.fileTime);
    entry->time.high = DWORD(node.fileTime >> 32);
    entry->size = node.size;
    const size_t length = std::min<size_t>(node.name.size(), MAX_PATH - 1);
    std::memcpy(entry->name, node.name.data(), length * sizeof(char16_t));
    return S_OK;
}

HRESULT CReader::FindClose()
{
    m_findFolder = FileTree::kNone;
    m_findPosition = 0;
    return S_OK;
}

HRESULT CReader::GetReadReport(TrellisReadReport* report)
{
    if (!report) return E_POINTER;
    if (!Parsed()) return E_UNEXPECTED;
    *report = m_openReport;
    report->unreadFolders = m_tree.UnreadFolders();
    report->unreadFiles = m_tree.UnreadFiles();
    report->reasons |= m_tree.GapReasons();
    return S_OK;
}

uint32_t CReader::FindFile(LPCWSTR path) const
{
    std::u16string_view wanted(path);
    while (!wanted.empty() && wanted.front() == u'\\') wanted.remove_prefix(1);
    return m_tree.FindFile(wanted);
}

HRESULT CReader::GetFileSize(LPCWSTR path, UINT64* size)
{
    if (!path || !size) return E_POINTER;
    if (!Parsed()) return E_UNEXPECTED;
    const uint32_t node = FindFile(path);
    if (node == FileTree::kNone) return TRELLIS_E_PATH_NOT_FOUND;
    *size = m_tree.Node(node).size;
    return S_OK;
}

HRESULT CReader::ReadFile(LPCWSTR path, UINT64 offset, BYTE* buffer, DWORD size, DWORD* read)
{
    if (!path || !read || (!buffer && size)) return E_POINTER;
    *read = 0;
    if (!Parsed() || !m_fileSystem) return E_UNEXPECTED;
    const uint32_t node = FindFile(path);
    if (node == FileTree::kNone) return TRELLIS_E_PATH_NOT_FOUND;
    uint32_t got = 0;
    const HRESULT hr = m_fileSystem->ReadFileData(node, m_tree.Node(node), offset, buffer, size, &got);
    *read = got;
    return hr;
}
