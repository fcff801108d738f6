// The tables of the library database, created on first open.
//
//   discs(id, identity, name, name_fold, tag_ids, label_id, media_class,
//         format_code, date_text, total_size, the properties AddDisc was
//         given, owner, import_id)
//   folders(id, disc_id, parent_id, path_id, name, size, type, time)
//   files  (id, disc_id, folder_id, path_id, name, size, type, time)
//         type is an id into entry_types(id, text UNIQUE); a library made
//         before version 5 keeps the text there, and a label_id after path_id
//   file_spans(disc_id, folder_id, first_id, last_id): the lowest and highest
//         id of a folder's files (FileSpans); a library made before version
//         6 has the index files_by_folder(disc_id, folder_id) instead
//   file_name_blocks(first_id, last_id, disc_id, entries): the files' ids,
//         paths and names packed for scans (NameBlocks), from version 7;
//         name_blocks_missing(disc_id), name_blocks_next(next_id, last_id):
//         a library of an earlier version while its blocks are being made
//   folder_names, file_names: FTS5 trigram indexes of the case-folded names,
//         without content; in a library made before version 4 their content
//         is folder_folds, file_folds(id, disc_id, fold), narrow for scanning
//   name_index_progress(import_id, kind, last_id): rows of an open import's
//         discs up to last_id are in the name index (of files 0, folders 1)
//   paths(id, text UNIQUE); disc_paths(path_id, disc_id): which disc uses which path
//   imports(id, owner): the import slot, held by at most one open import;
//   import_paths(import_id, path_id): paths an open import created or found
//   tags(id, name, fold UNIQUE, visible); labels(id, picture32, picture128, picture360)
//   name_grams(gram, kind, disc_id, hits): see NameGrams; name_grams_uncounted(disc_id):
//         discs whose counts are still to be made
//   library_changes(generation): one row, raised by every write that changed something
//
// Ids of folders, files and paths are library-wide and come with the rows.
// An import's rows get their folded names and index entries when it closes,
// in bulk (one index update per batch would cost more than the rows
// themselves). A row of a finished import is in the index; a row of an
// import still open is when name_index_progress reaches its id (with stored
// folds: exactly when it has a folded name).
// A disc whose import_id is set is being imported: it and its rows are not
// listed until the import closes. A disc whose owner is set was added by a
// process that has not finished with it; if that process dies, the disc
// goes at the next Initialize.
#pragma once

class SqliteConnection;

namespace LibrarySchema {

// Creates what is missing (nothing is written when the library is
// complete, so a full disk does not stop it from opening); SQLite's result.
int Create(SqliteConnection& db);
// Whether the library keeps its folded names in tables (made before
// version 4); otherwise they are folded from the names when needed.
bool StoresFolds(SqliteConnection& db);
// Whether the rows keep their type texts and label ids (made before
// version 5); otherwise a type id and no label id.
bool StoresTypeTexts(SqliteConnection& db);
// Whether a folder's and a disc's files are found by the range of their ids
// (made from version 6); otherwise through the index of the files by folder.
bool KeepsFileSpans(SqliteConnection& db);
// Whether the files' names are kept in blocks as well (version 7): imports
// write them, deletions remove them.
bool KeepsNameBlocks(SqliteConnection& db);
// Whether the blocks of a library of an earlier version are still being
// made (NameBlocks::ConvertNext).
bool ConvertsNameBlocks(SqliteConnection& db);
// Whether every finished disc's files are in the blocks, which a scan then reads.
bool ReadsNameBlocks(SqliteConnection& db);

} // namespace LibrarySchema
