// Stores parsed file and folder rows through prepared statements, and
// gives an import's rows their name index entries (and, in a library that
// keeps them, their folded names).
#pragma once
#include "IdRange.h"
#include "ParsedBatch.h"
#include "SqliteConnection.h"
#include "wintypes.h"

class NameBlocks;

enum class EntryKind { Files = 0, Folders = 1 };

// How a library keeps its rows (LibrarySchema), read once for an import:
// the schema is settled before an import claims the slot.
struct RowLayout {
    bool typeTexts = false; // rows hold their type's text (libraries before version 5)
    bool fileSpans = true;  // file_spans kept for the files (version 6 on)
};

class EntryWriter {
public:
    explicit EntryWriter(SqliteConnection& db) : m_db(db) {}

    static RowLayout LayoutOf(SqliteConnection& db);

    // Writers: call inside a write transaction.
    // Rows without ids (hasIds false) get the next free ids; `written`
    // grows by the ids stored.
    HRESULT Insert(EntryKind kind, const ParsedBatch& batch, bool hasIds, const RowLayout& layout, IdRange& written);
    // Indexes the names of the rows with ids first..last that belong to
    // discs of the import and are not indexed yet (their gram counts come
    // from the import's tallies, ImportTally).
    HRESULT IndexNames(EntryKind kind, int64_t importId, int64_t first, int64_t last);
    // Largest id in use, 0 when none.
    HRESULT MaxId(EntryKind kind, LONG* id);

private:
    // `blocks` bound as ?4 (NameMatch::BindPack), null when not given.
    HRESULT Run(const char* sql, int64_t first, int64_t second = 0, int64_t third = 0, NameBlocks* blocks = nullptr);
    // IndexNames in a library that keeps its folded names in tables.
    HRESULT IndexStoredFolds(EntryKind kind, int64_t importId, int64_t first, int64_t last);

    SqliteConnection& m_db;
};
