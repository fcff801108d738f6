// The listings an engine instance has open, each found by a worker of its
// own; a listing's handle is its worker's address. Not thread-safe: the
// engine's lock guards it.
#pragma once
#include "ILibraryListings.h"

#include <algorithm>
#include <memory>
#include <vector>

template <class Worker>
class OpenListings {
public:
    LibraryListing Add(std::unique_ptr<Worker> worker)
    {
        m_workers.push_back(std::move(worker));
        return m_workers.back().get();
    }
    // The listing's worker, null when it is not one of these.
    Worker* Find(LibraryListing listing) const
    {
        const auto found = std::find_if(m_workers.begin(), m_workers.end(), Is(listing));
        return found == m_workers.end() ? nullptr : found->get();
    }
    // Takes the listing out; its worker stops once the result goes (outside
    // the engine's lock, so that other calls need not wait for it).
    std::unique_ptr<Worker> Take(LibraryListing listing)
    {
        const auto found = std::find_if(m_workers.begin(), m_workers.end(), Is(listing));
        if (found == m_workers.end()) return nullptr;
        std::unique_ptr<Worker> taken = std::move(*found);
        m_workers.erase(found);
        return taken;
    }
    void Clear() { m_workers.clear(); }

private:
    static auto Is(LibraryListing listing)
    {
        return [listing](const std::unique_ptr<Worker>& worker) { return worker.get() == listing; };
    }

    std::vector<std::unique_ptr<Worker>> m_workers;
};
