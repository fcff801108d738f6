#include "EntryTypes.h"

#include <sqlite3.h>

HRESULT EntryTypes::IdOf(std::u16string_view text, int64_t* id)
{
    if (m_last && m_last->first == text) {
        *id = m_last->second;
        return S_OK;
    }
    if (const auto known = m_ids.find(text); known != m_ids.end()) {
        m_last = &*known;
        *id = known->second;
        return S_OK;
    }
    {
        auto add = m_db.Statement("INSERT OR IGNORE INTO entry_types(text) VALUES(?1)");
        if (!add) return E_FAIL;
        add->BindText(1, text);
        const int rc = add->Run();
        if (rc != SQLITE_DONE) return m_db.Failure(rc, "add type");
    }
    auto query = m_db.Statement("SELECT id FROM entry_types WHERE text = ?1");
    if (!query) return E_FAIL;
    query->BindText(1, text);
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "type id");
    *id = query->Int64(0);
    m_last = &*m_ids.emplace(text, *id).first;
    return S_OK;
}

std::string EntryTypes::TextSql(const char* row, bool typeTexts)
{
    const std::string type = std::string(row) + ".type";
    if (typeTexts) return type;
    // A row whose type was never given an id (which a repair does for every
    // row it saves) shows what it holds.
    return "coalesce((SELECT text FROM entry_types WHERE id = " + type + "), " + type + ")";
}
