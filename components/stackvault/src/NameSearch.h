// Case-insensitive substring search over disc, folder and file names.
// Queries of three or more characters go through the trigram index; shorter
// ones scan the names. Discs being imported, and their rows, are
// left out. Results come in the order they were stored.
#pragma once
#include "EntryWriter.h"
#include "ILibraryListedEntries.h"
#include "ILibraryListedTypes.h"
#include "LibraryRecords.h"
#include "SqliteConnection.h"
#include "wintypes.h"

#include <QHash>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

class NameSearch {
public:
    explicit NameSearch(SqliteConnection& db) : m_db(db) {}

    HRESULT CountDiscs(std::u16string_view text, LONG* count);
    HRESULT FillDiscs(std::u16string_view text, DiscRecord* records, LONG count, const QHash<int, QString>& tagNames);
    HRESULT CountEntries(EntryKind kind, std::u16string_view text, LONG* count);
    HRESULT FillEntries(EntryKind kind, std::u16string_view text, ItemRecord* records, LONG count);
    // One folder or file by its id, as FillEntries fills it; an id that is
    // gone gives an empty record.
    HRESULT FillById(EntryKind kind, int64_t id, ItemRecord& record);
    // The records of `ids`, as FillById fills them. Ascending ids close
    // together (a listing's block) are read by one scan of their range.
    HRESULT FillByIds(EntryKind kind, const std::vector<int32_t>& ids, ItemRecord* records);
    // Where the types of compact entries go (ILibraryListedTypes): one after
    // another in `text`, ends[i] where the i-th ends.
    struct ListedTypes {
        uint32_t* ends;
        char* text;
        size_t capacity;
    };
    // The compact entries of `ids` (ILibraryListedEntries), names one after
    // another in `names`, and with `types` their types, read in the same
    // pass; stops before the first name or type that does not fit.
    // *filled: how many entries were filled.
    HRESULT FillListedByIds(EntryKind kind, const std::vector<int32_t>& ids, ListedEntry* entries, char* names,
                            size_t namesCapacity, size_t* filled, const ListedTypes* types = nullptr);
    // Whether some disc is being imported (and must be left out).
    HRESULT SomeDiscHidden(bool* someHidden);

    // The ids FillEntries would fill, in its order, for a folded query bound
    // by BindFolded; discs being imported left out when someHidden.
    // BindFolded binds the folded query (?2) and, for the index, its
    // trigrams (?1).
    std::string IdsSql(EntryKind kind, const QByteArray& folded, bool someHidden);
    static void BindFolded(SqliteStatement& statement, const QByteArray& folded);
    // Hands the compact entries FillEntries would find, in its order, in
    // one pass over the rows, to the receiver bound to ?kFoundParameter
    // (NameMatch::BindFound); bound by BindFolded like IdsSql. It yields a
    // row only when the receiver ends the scan. `placesOnly`: the entries
    // carry id, name, disc and path only (kListedPlacesOnly).
    static constexpr int kFoundParameter = 3;
    static std::string ListedEntriesSql(EntryKind kind, const QByteArray& folded, bool someHidden,
                                        bool placesOnly = false);
    // ListedEntriesSql of a query that scans the rows (UsesIndex false), over
    // the ids from ?kSliceFirstParameter to ?kSliceLastParameter only (it
    // may yield a row past the last id, where it ends); the first and last
    // id of what it scans come from SlicedIdRangeSql.
    static constexpr int kSliceFirstParameter = 4;
    static constexpr int kSliceLastParameter = 5;
    static std::string SlicedEntriesSql(EntryKind kind, const QByteArray& folded, bool someHidden,
                                        bool placesOnly = false);
    static const char* SlicedIdRangeSql(EntryKind kind);
    // SlicedEntriesSql of the files' places from their name blocks
    // (NameBlocks), in slices of the blocks' first ids (NameBlocks::
    // kFirstIdRangeSql); empty for a query the index answers.
    static std::string SlicedBlocksSql(const QByteArray& folded, bool someHidden);
    // A row of ListedEntriesSql (or of the compact range reads) into `entry`,
    // but for the name's place; gives the name, valid until the next step.
    static std::string_view ReadListed(const SqliteStatement& row, ListedEntry& entry);

private:
    // ListedEntriesSql through the index or a scan, over an id range when `sliced`.
    static std::string FoundEntriesSql(EntryKind kind, bool useIndex, bool someHidden, bool sliced, bool placesOnly);
    HRESULT FillRange(EntryKind kind, const std::vector<int32_t>& ids, ItemRecord* records);
    // Runs a range statement (?1 .. ?2, sv_listed ?3 unless ?4) over ascending ids and
    // calls fill(row, i) for each id in turn (row null when the id has no
    // row) until it returns false; *done: how many ids were filled.
    template <class Fill>
    HRESULT ScanRange(const std::string& sql, const std::vector<int32_t>& ids, Fill&& fill, size_t* done = nullptr);
    // ScanRange over `ids` when they are close together, else a short scan
    // per id; *filled: how many ids were filled before fill returned false.
    template <class Fill>
    HRESULT ScanIds(const std::string& sql, const std::vector<int32_t>& ids, Fill&& fill, size_t* filled);
    HRESULT CountWith(const std::string& sql, const QByteArray& folded, LONG* count);

    SqliteConnection& m_db;
};
