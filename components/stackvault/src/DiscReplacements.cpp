#include "DiscReplacements.h"

#include <sqlite3.h>
#include <vector>

HRESULT DiscReplacements::Register(int64_t importId, LONG newDiscId, LONG oldDiscId)
{
    LONG labelId = 0;
    if (newDiscId == oldDiscId) return E_INVALIDARG;
    HRESULT hr = m_discs.LabelId(oldDiscId, &labelId);
    if (FAILED(hr)) return hr;
    auto insert = m_db.Statement(
        "INSERT OR REPLACE INTO disc_replacements(new_disc_id, old_disc_id, import_id) VALUES(?, ?, ?)");
    if (!insert) return E_FAIL;
    insert->Bind(1, newDiscId);
    insert->Bind(2, oldDiscId);
    insert->Bind(3, importId);
    const int rc = insert->Run();
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "register replacement");
}

HRESULT DiscReplacements::Complete(int64_t importId)
{
    std::vector<LONG> replaced;
    {
        auto query = m_db.Statement(
            "SELECT r.old_disc_id FROM disc_replacements r WHERE r.import_id = ?"
            " AND EXISTS (SELECT 1 FROM discs n WHERE n.id = r.new_disc_id)"
            " AND EXISTS (SELECT 1 FROM discs o WHERE o.id = r.old_disc_id)");
        if (!query) return E_FAIL;
        query->Bind(1, importId);
        int rc;
        while ((rc = query->Step()) == SQLITE_ROW) replaced.push_back(static_cast<LONG>(query->Int64(0)));
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "replacements");
    }
    for (LONG discId : replaced) {
        const HRESULT hr = m_discs.Delete(discId);
        if (FAILED(hr)) return hr;
    }
    auto done = m_db.Statement("DELETE FROM disc_replacements WHERE import_id = ?");
    if (!done) return E_FAIL;
    done->Bind(1, importId);
    const int rc = done->Run();
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "replacements done");
}
