// All-or-nothing imports, one at a time per library. An import claims the
// library's import slot (its row in `imports`: owner process and handle);
// while the slot is held no other import writes, so the largest ids the
// scanner reads stay final. Rows are written in short transactions (one
// per batch, and the name index in slices when the import closes) so
// other connections never wait long; until the import closes its discs
// are marked (discs.import_id) and neither they nor their rows are listed
// or found. The paths the import uses are referenced (import_paths) from
// the moment it creates or finds them, so no one removes them under it.
// Closing links the paths to the discs and clears the marks. An import or
// added disc whose process died is undone by the next Initialize, or by
// the next import that finds the slot held by a dead process.
#pragma once
#include "ImportPathMemory.h"
#include "ImportTally.h"
#include "LogCheckpointer.h"
#include "DiscStore.h"
#include "EntryWriter.h"
#include "ILibraryEngine.h"
#include "ParsedBatch.h"
#include "SqliteConnection.h"

#include <map>
#include <mutex>
#include <memory>
#include <vector>

struct ImportSession {
    int64_t importId = 0;
    IdRange files;   // rows written, to be indexed on closing
    IdRange folders;
    ImportPathMemory paths;
    ImportTally grams; // of the rows written, stored on closing
    RowLayout layout;
};

class ImportTracker {
public:
    ImportTracker(SqliteConnection& db, DiscStore& discs) : m_db(db), m_discs(discs) {}

    // Writers: call inside a write transaction.
    // Undoes the work of dead processes, then takes the slot for `owner`
    // (S_OK and the new import) unless a living process holds it (S_FALSE
    // and that process's owner token).
    HRESULT ClaimSlot(const QByteArray& owner, int64_t* importId, QByteArray* holder);
    // Undoes the imports and removes the unfinished discs of dead processes;
    // rows already gone are no failure.
    HRESULT RecoverAbandoned();
    // Marks the discs the rows belong to as written by this import; refuses
    // rows of a disc that does not exist or that another import writes.
    HRESULT Claim(const ImportSession& session, const ParsedBatch& batch);
    HRESULT ClaimDisc(const ImportSession& session, LONG discId);
    // References paths the import created or found.
    HRESULT ReferencePaths(const ImportSession& session, const std::vector<LONG>& pathIds);
    // References the path with this text, when the library knows it.
    HRESULT ReferencePath(const ImportSession& session, std::u16string_view text);
    // Makes the import's discs and rows visible and final, together with
    // `addedDiscs` (discs that have nothing to write, such as an empty
    // disc); its rows must have been indexed before (EntryWriter::IndexNames).
    HRESULT Finish(const ImportSession& session, const std::vector<LONG>& addedDiscs);
    // Removes what the import wrote and frees the slot.
    HRESULT Undo(int64_t importId);
    // An import of this process that could not be undone (the library could
    // not be written): the next clean-up in any instance undoes it as if
    // its process had died, so it does not hold the slot for ever.
    static void Abandon(int64_t importId);

    // Sessions of this engine instance, by handle. While any is open, the
    // write-ahead log is copied into the database on a thread of its own
    // (LogCheckpointer).
    LibraryImportHandle AddSession(int64_t importId);
    ImportSession* Session(LibraryImportHandle handle);
    void RemoveSession(LibraryImportHandle handle);
    std::vector<LibraryImportHandle> Handles() const;
    // Every session asks the library again for its paths.
    void ForgetPaths();
    // What a session's memory knows of a path without reading the library
    // (ImportPathMemory::Known); Unknown for a handle of no session. The
    // one call here that needs no lock of the caller's.
    ImportPathMemory::Recall KnownPath(LibraryImportHandle handle, const std::u16string& text) const;
    // Ends the checkpoint thread; call before the connection closes.
    void StopCheckpoints();

private:
    HRESULT Run(const char* sql, int64_t first, int64_t second = 0);
    HRESULT DeadOwners(const char* sql, std::vector<int64_t>& ids);
    HRESULT AbandonedImports(std::vector<int64_t>& ids);

    SqliteConnection& m_db;
    DiscStore& m_discs;
    // Changed under the sessions lock (and the caller's), so that KnownPath
    // may read it under the sessions lock alone.
    mutable std::mutex m_sessionsMutex;
    std::map<LibraryImportHandle, std::unique_ptr<ImportSession>> m_sessions;
    std::unique_ptr<LogCheckpointer> m_checkpointer; // made by the first import, kept until StopCheckpoints
};
