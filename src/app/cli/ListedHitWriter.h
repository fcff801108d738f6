// Prints a search's folders or files as `search` does (kind, disc, path),
// from the engine's compact listing entries (ILibraryListedEntries): names
// stay in the UTF-8 the library stores, disc names and folder paths are
// looked up and encoded once each. An entry whose texts cannot be passed
// on byte for byte (a lone UTF-16 surrogate in a name or path, which the
// tool writes as the whole-record path does) is printed from its whole
// record by the caller's `printWhole`.
#pragma once
#include "CliOutput.h"
#include "ListedPathTexts.h"
#include "ListingReader.h"

#include <functional>
#include <string>
#include <unordered_map>

class LibraryReader;

class ListedHitWriter {
public:
    // Prints one entry from its whole record; false when printing must stop.
    using WholeRecordPrinter = std::function<bool(const ItemRecord&, bool folder)>;

    // `pathTexts`: the engine's path texts by ranges, or null.
    ListedHitWriter(CliOutput& output, const LibraryReader& library, ListingReader& listing,
                    ILibraryListedEntries* compact, ILibraryPathTexts* pathTexts, int discId,
                    WholeRecordPrinter printWhole);

    // Prints every hit of one kind, a block at a time; false when the output
    // ended, `limit` lines were printed in all (counted in `printed`) or a
    // read failed (its reason in `failure`).
    bool PrintKind(LONG kind, qint64 limit, qint64& printed, HRESULT& failure);

private:
    // False when the block's printing must stop.
    bool PrintBlock(LONG kind, const ListedBlock& block, qint64 limit, qint64& printed, HRESULT& failure);
    using Encoded = ListedPathTexts::Text;
    // The start of the lines of a kind's entries in one folder of a disc
    // (CliOutput::OpenRecord), the path left open for a file's name.
    struct LineStart {
        LONG kind = -1;
        int discId = 0;
        int pathId = 0;
        std::string opened;
        bool exact = false; // the disc's name and the path are exact
    };
    const LineStart& LineStartOf(LONG kind, int discId, int pathId)
    {
        const LineStart& start = m_lineStart;
        if (start.kind == kind && start.discId == discId && start.pathId == pathId) return start;
        return NewLineStart(kind, discId, pathId);
    }
    // The line start of an entry in another folder than the last one's.
    const LineStart& NewLineStart(LONG kind, int discId, int pathId);
    // The UTF-8 of a disc's name, looked up once.
    const Encoded& DiscName(int discId);
    // Whether stored UTF-8 holds an encoded lone surrogate.
    static bool HasLoneSurrogate(std::string_view utf8);

    CliOutput& m_output;
    const LibraryReader& m_library;
    ListingReader& m_listing;
    ILibraryListedEntries* m_pCompact;
    int m_discId; // 0: every disc
    WholeRecordPrinter m_printWhole;
    ListedBlock m_block;
    // Hits come disc by disc and folder by folder: most lines start as the last one did.
    LineStart m_lineStart;
    std::string m_path; // a line start's path, reused
    std::unordered_map<int, Encoded> m_discNames;
    ListedPathTexts m_paths;
};
