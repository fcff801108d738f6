#include "PgSpareConnection.h"

void PgSpareConnection::Prepare(const QString& address, std::vector<std::string> warmUp)
{
    std::lock_guard lock(m_mutex);
    if (m_opening.valid()) return;
    m_opening = std::async(std::launch::async, [address, warmUp = std::move(warmUp)]() -> std::unique_ptr<PgConnection> {
        auto db = std::make_unique<PgConnection>();
        if (FAILED(db->Open(address))) return nullptr;
        for (const std::string& statement : warmUp) db->Exec(statement.c_str());
        return db;
    });
}

PgSpareConnection::Opening PgSpareConnection::Take()
{
    std::lock_guard lock(m_mutex);
    return std::move(m_opening);
}

void PgSpareConnection::GiveBack(std::unique_ptr<PgConnection> db)
{
    std::lock_guard lock(m_mutex);
    if (m_opening.valid() || !db || !db->IsOpen()) return;
    std::promise<std::unique_ptr<PgConnection>> kept;
    kept.set_value(std::move(db));
    m_opening = kept.get_future();
}

void PgSpareConnection::Drop()
{
    Opening opening = Take();
    if (opening.valid()) opening.get();
}
