#include "PgListingWorker.h"

#include "PgConnection.h"

namespace {
// A small first chunk brings the first screen as soon as it is found, even
// when hits are rare; later chunks are large, for fewer round trips.
constexpr char kFirstFetch[] = "FETCH 64 FROM listing";
constexpr char kFetch[] = "FETCH 4096 FROM listing";
// One snapshot: folders and files come from the same state of the library.
// Compiling the plan (jit) costs more than it saves on these short
// queries, and a larger sort and bitmap memory than the default keeps a
// broad search's ids out of temporary files.
constexpr char kBegin[] = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY; SET LOCAL jit = off; SET LOCAL work_mem = '64MB'";
} // namespace

PgListingWorker::PgListingWorker(const QString& address, PgSpareConnection::Opening spare,
                                 std::array<PgListingStep, kKinds> steps, std::array<int, kKinds> totals)
    : m_steps(std::move(steps)), m_found(totals),
      m_thread([this, address, opening = std::move(spare)]() mutable { Run(address, std::move(opening)); })
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
        {
            std::lock_guard lock(m_cancelMutex);
            m_cancel = PQgetCancel(db.Handle());
        }
        hr = db.Run(kBegin, {}, "listing");
        for (int kind = 0; kind < kKinds && SUCCEEDED(hr) && !m_stop; ++kind) hr = Collect(db, kind);
        std::lock_guard lock(m_cancelMutex);
        PQfreeCancel(m_cancel);
        m_cancel = nullptr;
    }
    m_found.End(hr, m_stop);
}

HRESULT PgListingWorker::Collect(PgConnection& db, int kind)
{
    ListingIds::Collector found(m_found, kind);
    if (!found.Wanted()) {
        found.Finish(true);
        return S_OK;
    }
    const PgListingStep& step = m_steps[size_t(kind)];
    const std::string declare = "DECLARE listing NO SCROLL CURSOR FOR " + step.sql;
    HRESULT hr = db.Run(declare.c_str(), step.params, "listing");
    bool more = SUCCEEDED(hr);
    for (bool first = true; more && !m_stop; first = false) {
        PgResult chunk;
        hr = db.Query(first ? kFirstFetch : kFetch, {}, chunk, "listing");
        more = SUCCEEDED(hr) && chunk.Rows() > 0;
        for (int i = 0; more && i < chunk.Rows(); ++i) more = found.Add(static_cast<int32_t>(chunk.Int64(i, 0)));
    }
    found.Finish(SUCCEEDED(hr) && !m_stop);
    if (SUCCEEDED(hr)) hr = db.Run("CLOSE listing", {}, "listing");
    return m_stop ? S_OK : hr;
}
