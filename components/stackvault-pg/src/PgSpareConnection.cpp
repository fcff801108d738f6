#include "PgSpareConnection.h"

void PgSpareConnection::Prepare(const QString& address)
{
    if (m_opening.valid()) return;
    m_opening = std::async(std::launch::async, [address]() -> std::unique_ptr<PgConnection> {
        auto db = std::make_unique<PgConnection>();
        return SUCCEEDED(db->Open(address)) ? std::move(db) : nullptr;
    });
}

PgSpareConnection::Opening PgSpareConnection::Take(const QString& address)
{
    Opening taken = std::move(m_opening);
    Prepare(address);
    return taken;
}

void PgSpareConnection::Drop()
{
    if (m_opening.valid()) m_opening.get();
}
