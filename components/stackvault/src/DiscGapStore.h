// What each disc's read could not read: one row per incomplete disc in
// disc_gaps, none for a disc read completely.
#pragma once
#include "ILibraryDiscReads.h"
#include "SqliteConnection.h"

class DiscGapStore {
public:
    explicit DiscGapStore(SqliteConnection& db) : m_db(db) {}

    // Writer: call inside a write transaction. E_INVALIDARG for an unknown disc.
    HRESULT Set(LONG discId, const DiscGapRecord& gaps);
    // All zero when the disc has no row.
    HRESULT Get(LONG discId, DiscGapRecord& gaps);

private:
    SqliteConnection& m_db;
};
