#include "PgChangeWatch.h"

#include "LibraryServerErrors.h"
#include "PgConnection.h"

namespace {
constexpr char kListen[] = "LISTEN library_changes";
} // namespace

HRESULT PgChangeWatch::MarkWriter(PgConnection& db, int64_t ownerId)
{
    static const std::string sql = "SELECT " + WriterMarkSql("$1");
    return db.Run(sql.c_str(), PgParams().Int(ownerId), "writer mark");
}

std::string PgChangeWatch::WriterMarkSql(const char* idSql)
{
    return std::string("set_config('albireo.writer', ") + idSql + ", false)";
}

void PgChangeWatch::Reconnected()
{
    if (m_listening) ++m_stamp;
    m_listening = false;
}

HRESULT PgChangeWatch::Stamp(PgConnection& db, int64_t ownerId, int64_t* stamp)
{
    if (!m_listening) {
        const HRESULT hr = db.Run(kListen, {}, "listen");
        if (FAILED(hr)) return hr;
        m_listening = true;
    }
    PGconn* conn = db.Handle();
    if (!PQconsumeInput(conn)) return LIBRARY_E_SERVER_UNREACHABLE;
    const QByteArray own = QByteArray::number(static_cast<qlonglong>(ownerId));
    while (PGnotify* notice = PQnotifies(conn)) {
        if (own != notice->extra) ++m_stamp;
        PQfreemem(notice);
    }
    *stamp = m_stamp;
    return S_OK;
}
