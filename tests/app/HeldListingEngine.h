// A library engine whose listings hand out only part of what they found,
// to stop a listing in the states a user meets for a moment only. Held, a
// listing is counted ahead (as a search of one or two characters is) and
// gives the records of its first rows only, as while the rest is still
// being found. Failed, it reports a failed read and gives no record past
// its first rows. Released, it passes everything on.
#pragma once
#include "ILibraryListings.h"
#include "WholeListEngine.h"

#include <algorithm>
#include <limits>

class HeldListingEngine final : public WholeListEngine, public ILibraryListings {
public:
    enum class State { Held, Failed, Released };

    // `readableRows`: rows of each kind (folders, files) readable while not released.
    HeldListingEngine(ILibraryEngine* inner, LONG readableRows) : WholeListEngine(inner), m_nReadable(readableRows)
    {
        if (FAILED(inner->QueryInterface(IID_ILibraryListings, reinterpret_cast<void**>(&m_inner)))) m_inner = nullptr;
    }
    void SetState(State state) { m_state = state; }

    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object || !(iid == IID_ILibraryListings)) return WholeListEngine::QueryInterface(iid, object);
        *object = static_cast<ILibraryListings*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return WholeListEngine::AddRef(); }
    ULONG Release() override { return WholeListEngine::Release(); }

    HRESULT OpenSearchListing(const char16_t* text, LibraryListing* listing) override
    {
        return m_inner->OpenSearchListing(text, listing);
    }
    HRESULT OpenFolderListing(LONG discId, LONG folderId, LibraryListing* listing) override
    {
        return m_inner->OpenFolderListing(discId, folderId, listing);
    }
    HRESULT WaitListing(LibraryListing listing, LONG, LONG, LibraryListingCounts* counts) override
    {
        // Underneath every entry is found; the window is told what the state says.
        HRESULT hr = S_FALSE;
        while ((hr = m_inner->WaitListing(listing, std::numeric_limits<LONG>::max(), 1000, counts)) == S_FALSE) {
        }
        if (m_state == State::Released || FAILED(hr)) return hr;
        counts->complete = 0;
        counts->counted = 1;
        if (m_state == State::Held) return S_FALSE;
        counts->failure = E_FAIL;
        return E_FAIL;
    }
    HRESULT GetListingItems(LibraryListing listing, LONG kind, LONG first, ItemRecord* records, LONG count,
                            LONG* filled) override
    {
        if (m_state == State::Released) return m_inner->GetListingItems(listing, kind, first, records, count, filled);
        *filled = 0;
        const LONG readable = std::clamp<LONG>(m_nReadable - first, 0, count);
        if (readable == 0) return m_state == State::Failed ? E_FAIL : S_OK;
        return m_inner->GetListingItems(listing, kind, first, records, readable, filled);
    }
    HRESULT CloseListing(LibraryListing listing) override { return m_inner->CloseListing(listing); }

private:
    ~HeldListingEngine() override
    {
        if (m_inner) m_inner->Release();
    }

    ILibraryListings* m_inner = nullptr;
    LONG m_nReadable;
    State m_state = State::Held;
};
