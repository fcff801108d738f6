// The disc engine loaded from the program folder the way the program loads
// it, with helpers that put an image into the first image drive and read
// the disc back through the engine's objects.
#pragma once
#include "ComPtr.h"
#include "ComponentModule.h"
#include "TrellisInterfaces.h"

#include <QString>
#include <map>

struct CatalogEntry {
    bool folder = false;
    UINT64 size = 0;
    UINT64 fileTime = 0;
};

// What the disc-information object says about a disc.
struct DiscProperties {
    DWORD mediaType = 0, status = 0, capacity = 0, used = 0;
    LONG sessions = 0, tracks = 0;
    std::vector<DWORD> trackFormats, trackStarts;
    DWORD fileSystem = 0, partitionSize = 0;
    TrellisVolumeTime time{};
    QString label;
};

class TrellisSession {
public:
    TrellisSession();
    ~TrellisSession();

    ITrellisEngine* Engine() const { return m_engine; }
    // The first image drive (after the physical drives).
    ITrellisDevice* ImageDrive() const { return m_imageDrive; }
    HRESULT Insert(const QString& imagePath);

    HRESULT ReadProperties(DiscProperties& properties);
    // Parses with the given reader class and walks every folder: full
    // paths ("dir/sub/name") to entries; with the reader's report of what
    // it could not read when asked.
    HRESULT ReadCatalog(std::map<QString, CatalogEntry>& catalog, REFCLSID readerClass = CLSID_TrellisCdReader,
                        TrellisTreeCounts* counts = nullptr, TrellisReadReport* report = nullptr);

private:
    ComponentModule m_module;
    ITrellisEngine* m_engine = nullptr;
    ITrellisDevice* m_imageDrive = nullptr;
};
