#include "PgListingWorker.h"

#include "PgConnection.h"

#include <iterator>

namespace {
// A small first chunk brings the first screen as soon as it is found, even
// when hits are rare; later chunks are large, for fewer round trips.
constexpr int kFirstChunk = 64;
constexpr int kChunk = 4096;
// One snapshot: folders and files come from the same state of the library.
// Compiling the plan (jit) costs more than it saves on these short
// queries, and a larger sort and bitmap memory than the default keeps a
// broad search's ids out of temporary files.
constexpr const char* kBegin[] = {"BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", "SET LOCAL jit = off",
                                  "SET LOCAL work_mem = '64MB'"};

std::string CursorOf(int kind) { return "listing" + std::to_string(kind); }
} // namespace

PgListingWorker::PgListingWorker(const QString& address, PgSpareConnection& spare,
                                 std::array<PgListingStep, kKinds> steps, std::array<int, kKinds> totals)
    : m_spare(spare), m_steps(std::move(steps)), m_found(totals),
      m_thread([this, address, opening = spare.Take()]() mutable { Run(address, std::move(opening)); })
{
}

PgListingWorker::~PgListingWorker()
{
    m_stop = true;
    {
        std::lock_guard lock(m_cancelMutex);
        char error[256];
        if (m_cancel) PQcancel(m_cancel, error, sizeof(error));
    }
    m_thread.join();
}

void PgListingWorker::Run(QString address, PgSpareConnection::Opening spare)
{
    std::unique_ptr<PgConnection> ready = spare.valid() ? spare.get() : nullptr;
    if (!ready) ready = std::make_unique<PgConnection>();
    PgConnection& db = *ready;
    HRESULT hr = db.IsOpen() ? S_OK : db.Open(address);
    if (SUCCEEDED(hr)) {
        bool closed = false;
        {
            // A listing closed while its connection was still opening (a
            // count needs no rows) fetches nothing: its close waits for us.
            std::lock_guard lock(m_cancelMutex);
            closed = m_stop;
            if (!closed) m_cancel = PQgetCancel(db.Handle());
        }
        hr = closed ? E_ABORT : Collect(db);
        std::lock_guard lock(m_cancelMutex);
        PQfreeCancel(m_cancel);
        m_cancel = nullptr;
    }
    m_found.End(hr, m_stop);
    // A connection whose listing ran to its end serves the next one, its
    // server process ready to plan the same queries at once.
    if (SUCCEEDED(hr) && !m_stop && SUCCEEDED(db.Run("ROLLBACK", {}, "listing"))) m_spare.GiveBack(std::move(ready));
}

// Opens the snapshot, declares a cursor for each kind wanted and fetches
// the first chunk of each, all in one round trip (the folders' chunk is
// taken as soon as it comes); then reads the rest of each kind in turn.
HRESULT PgListingWorker::Collect(PgConnection& db)
{
    std::array<ListingIds::Collector, kKinds> found{ListingIds::Collector(m_found, 0), ListingIds::Collector(m_found, 1)};
    std::vector<PgConnection::Statement> statements;
    for (const char* statement : kBegin) statements.push_back({statement});
    std::array<size_t, kKinds> firstFetch{}; // the statement fetching each kind's first chunk
    for (int kind = 0; kind < kKinds; ++kind) {
        if (!found[size_t(kind)].Wanted()) continue;
        statements.push_back({"DECLARE " + CursorOf(kind) + " NO SCROLL CURSOR FOR " + m_steps[size_t(kind)].sql,
                              &m_steps[size_t(kind)].params});
        firstFetch[size_t(kind)] = statements.size();
        statements.push_back({"FETCH " + std::to_string(kFirstChunk) + " FROM " + CursorOf(kind)});
    }
    std::vector<PgResult> results;
    bool foldersMore = true;
    HRESULT hr = db.Pipeline(statements, results, "listing", [&](size_t index, const PgResult& chunk) {
        if (firstFetch[0] && index == firstFetch[0]) foldersMore = Take(found[0], chunk, kFirstChunk);
    });
    for (int kind = 0; kind < kKinds && SUCCEEDED(hr) && !m_stop; ++kind) {
        ListingIds::Collector& collector = found[size_t(kind)];
        if (collector.Wanted()) {
            const PgResult& first = results[firstFetch[size_t(kind)]];
            const bool more = kind == 0 ? foldersMore : Take(collector, first, kFirstChunk);
            if (more) hr = CollectRest(db, kind, collector);
        }
        collector.Finish(SUCCEEDED(hr) && !m_stop);
    }
    return m_stop ? S_OK : hr;
}

bool PgListingWorker::Take(ListingIds::Collector& found, const PgResult& chunk, int asked)
{
    bool more = true;
    for (int i = 0; more && i < chunk.Rows(); ++i) more = found.Add(static_cast<int32_t>(chunk.Int64(i, 0)));
    // Every id counted ahead is found, or a chunk short of what was asked
    // for was the last.
    return more && chunk.Rows() == asked && !m_stop;
}

HRESULT PgListingWorker::CollectRest(PgConnection& db, int kind, ListingIds::Collector& found)
{
    const std::string fetch = "FETCH " + std::to_string(kChunk) + " FROM " + CursorOf(kind);
    HRESULT hr = S_OK;
    for (bool more = true; more;) {
        PgResult chunk;
        hr = db.Query(fetch.c_str(), {}, chunk, "listing");
        more = SUCCEEDED(hr) && Take(found, chunk, kChunk);
    }
    return hr;
}
