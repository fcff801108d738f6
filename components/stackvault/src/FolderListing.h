// The entries of one folder of a disc (folder 0 is the disc's root):
// folders first, then files, each in the order they were stored. A disc
// that is being imported shows no entries yet.
#pragma once
#include "EntryWriter.h"
#include "LibraryRecords.h"
#include "SqliteConnection.h"
#include "wintypes.h"

class FolderListing {
public:
    explicit FolderListing(SqliteConnection& db) : m_db(db) {}

    HRESULT Count(LONG discId, LONG folderId, LONG* count);
    HRESULT Fill(LONG discId, LONG folderId, FolderItemRecord* records, LONG count);
    // The ids of the folders or the files Fill lists, in its order, with
    // the disc bound as ?1 and the folder as ?2, in a library that keeps
    // file spans or not (LibrarySchema::KeepsFileSpans).
    static const char* IdsSql(EntryKind kind, bool spans);

private:
    HRESULT FillFrom(const char* sql, LONG discId, LONG folderId, FolderItemRecord* records, LONG count, LONG* filled);

    SqliteConnection& m_db;
};
