// The entries of one folder of a disc (folder 0 is the disc's root):
// folders first, then files, each in the order they were stored. A disc
// that is being imported shows no entries yet.
#pragma once
#include "LibraryRecords.h"
#include "PgConnection.h"
#include "PgEntryWriter.h"
#include "wintypes.h"

namespace PgFolderListing {

HRESULT Count(PgConnection& db, LONG discId, LONG folderId, LONG* count);
HRESULT Fill(PgConnection& db, LONG discId, LONG folderId, FolderItemRecord* records, LONG count);
// The folders and files stored for a whole disc, its import done or not.
HRESULT DiscCounts(PgConnection& db, LONG discId, LONG* folders, LONG* files);
// The ids of the folders or files Fill lists, in its order; disc $1, folder $2.
const char* IdsSql(PgEntryKind kind);

} // namespace PgFolderListing
