// All-or-nothing imports. Rows are written in short transactions (one per
// batch, and the name index in slices when the import closes) so other
// connections never wait long; until the import closes its discs are
// marked (discs.import_id) and neither they nor their rows are listed or
// found. Closing links the paths to the discs and clears the
// mark. An import whose process died is undone by the next Initialize,
// with its discs, their rows and the paths it created.
#pragma once
#include "DiscStore.h"
#include "EntryWriter.h"
#include "ILibraryEngine.h"
#include "ParsedBatch.h"
#include "SqliteConnection.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

struct ImportSession {
    int64_t importId = 0;
    IdRange files;   // rows written, to be indexed on closing
    IdRange folders;
    std::set<LONG> createdPaths;
    std::set<LONG> foundPaths; // looked up, created by others
};

class ImportTracker {
public:
    ImportTracker(SqliteConnection& db, DiscStore& discs) : m_db(db), m_discs(discs) {}

    // Writers: call inside a write transaction.
    HRESULT CreateImport(const QByteArray& owner, int64_t* importId);
    // Marks the discs the rows belong to as written by this import; refuses
    // rows of a disc that does not exist or that another import writes.
    HRESULT Claim(const ImportSession& session, const ParsedBatch& batch);
    HRESULT ClaimDisc(const ImportSession& session, LONG discId);
    HRESULT NoteCreatedPaths(const ImportSession& session, const std::vector<LONG>& pathIds);
    // Makes the import's discs and rows visible; its rows must have been
    // indexed before (EntryWriter::IndexNames).
    HRESULT Finish(const ImportSession& session);
    // Removes what the import wrote.
    HRESULT Undo(int64_t importId);
    // Imports and added discs whose process is gone.
    HRESULT Abandoned(std::vector<int64_t>& importIds, std::vector<LONG>& discIds);

    // Sessions of this engine instance, by handle.
    LibraryImportHandle AddSession(int64_t importId);
    ImportSession* Session(LibraryImportHandle handle);
    void RemoveSession(LibraryImportHandle handle);
    std::vector<LibraryImportHandle> Handles() const;
    // Remembers paths the import uses: ones it created (after their batch
    // was committed) and ones others created, linked to its discs on close.
    void AdoptCreatedPaths(ImportSession& session, const std::vector<LONG>& pathIds);
    void NoteFoundPath(ImportSession& session, LONG pathId);

private:
    HRESULT Run(const char* sql, int64_t first, int64_t second = 0);

    SqliteConnection& m_db;
    DiscStore& m_discs;
    std::map<LibraryImportHandle, std::unique_ptr<ImportSession>> m_sessions;
};
