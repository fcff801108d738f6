// Reads what a sort needs of a listing's entries (name, type, time, size)
// a block at a time: from the engine's compact entries with their types,
// read together in one pass (tens of bytes per entry), when it offers them,
// else from whole records (1.6 KB each). Either way each entry's fields are handed on as the
// record would give them, names cut to a record's length as the rows show
// them. A block is fetched from the engine and then kept (its fields handed
// on): one thread may fetch the next block while another keeps the last.
#pragma once
#include "ILibraryListedTypes.h"
#include "ILibraryListings.h"
#include "wintypes.h"

#include <QString>
#include <QStringView>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class SortEntries;

class ListingFieldsReader {
public:
    // The engine's interfaces a listing is read through; without
    // `typedEntries` records are read.
    struct Source {
        ILibraryListings* listings = nullptr;
        ILibraryListedTypes* typedEntries = nullptr;
    };
    // One entry's fields, valid during the call they are handed to.
    struct Fields {
        QStringView name;
        QStringView type; // "Folder", the file's type name, empty for an entry gone meanwhile
        INT64 time;
        INT64 size;
    };
    using AddEntry = std::function<void(const Fields& fields, SortEntries& entries)>;
    // Entries as the engine gave them: records, or compact entries with
    // their names and types.
    struct Block {
        std::vector<ItemRecord> records;
        std::vector<ListedEntry> entries;
        std::vector<char> names;
        std::vector<uint32_t> typeEnds;
        std::vector<char> types;
        LONG filled = 0;
    };

    ListingFieldsReader(Source source, LibraryListing listing, AddEntry addEntry);

    // Fetches entries first .. first + count - 1 of `kind` into `block`, or
    // as many as fit one block (at least one; block.filled says how many).
    // Fails when an entry asked for is not there. Touches nothing Keep
    // uses.
    HRESULT Fetch(LONG kind, LONG first, LONG count, Block& block) const;
    // Appends the fields of the entries of a block fetched.
    void Keep(const Block& block, SortEntries& entries);
    // Fetches and keeps one block; *read says how many entries it held.
    HRESULT Read(LONG kind, LONG first, LONG count, SortEntries& entries, LONG* read);

private:
    HRESULT FetchRecords(LONG kind, LONG first, LONG count, Block& block) const;
    HRESULT FetchCompact(LONG kind, LONG first, LONG count, Block& block) const;
    void KeepCompact(const Block& block, SortEntries& entries);
    // The name as a record holds it, in m_name.
    QStringView RecordName(std::string_view utf8);
    // The type's text, converted once per distinct type.
    QStringView TypeText(std::string_view utf8);

    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };

    Source m_source;
    LibraryListing m_listing;
    AddEntry m_addEntry;
    Block m_block; // for Read
    QString m_name;
    std::unordered_map<std::string, QString, TextHash, std::equal_to<>> m_typeTexts;
};
