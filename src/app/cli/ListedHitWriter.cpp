#include "ListedHitWriter.h"

#include "LibraryReader.h"

#include <cstring>

ListedHitWriter::ListedHitWriter(CliOutput& output, const LibraryReader& library, ListingReader& listing,
                                 ILibraryListedEntries* compact, ILibraryPathTexts* pathTexts, int discId,
                                 WholeRecordPrinter printWhole)
    : m_output(output),
      m_library(library),
      m_listing(listing),
      m_pCompact(compact),
      m_discId(discId),
      m_printWhole(std::move(printWhole)),
      m_paths(library, pathTexts)
{
}

bool ListedHitWriter::PrintKind(LONG kind, qint64 limit, qint64& printed, HRESULT& failure)
{
    // Output goes on in whole blocks of the pipe's size while hits come;
    // before the listing makes the printer wait for more, what was printed
    // so far reaches the reader (and a reader that went away is noticed).
    const auto handOver = [this] { return m_output.Flush(); };
    HRESULT hr = S_OK;
    while ((hr = m_listing.Next(m_pCompact, kind, m_block, handOver)) == S_OK)
        if (!PrintBlock(kind, m_block, limit, printed, failure)) return false;
    if (hr == E_ABORT && m_output.Broken()) return false; // the reader went away
    if (FAILED(hr)) failure = hr;
    return SUCCEEDED(hr);
}

bool ListedHitWriter::PrintBlock(LONG kind, const ListedBlock& block, qint64 limit, qint64& printed, HRESULT& failure)
{
    const bool folder = kind == kListingFolders;
    for (size_t i = 0; i < block.entries.size(); ++i) {
        const ListedEntry& entry = block.entries[i];
        if (entry.id == 0 || (m_discId && entry.discId != m_discId)) continue;
        const std::string_view name = block.Name(entry);
        const LineStart& start = LineStartOf(kind, entry.discId, entry.pathId);
        bool written = false;
        // Most files: a name that needs no escape, written as it is copied.
        const auto plain = start.exact && !folder ? m_output.WritePlainRecord(start.opened, name)
                                                  : CliOutput::PlainWrite::NotPlain;
        if (plain != CliOutput::PlainWrite::NotPlain) {
            written = plain == CliOutput::PlainWrite::Written;
        } else if (start.exact && !HasLoneSurrogate(name)) {
            written = m_output.WriteRecord(start.opened, folder ? std::string_view() : name);
        } else {
            ItemRecord record{};
            const HRESULT hr = m_listing.Item(kind, block.first + LONG(i), &record);
            if (FAILED(hr)) {
                failure = hr;
                return false;
            }
            if (record.id == 0) continue; // its disc was deleted meanwhile
            written = m_printWhole(record, folder);
        }
        if (!written || ++printed >= limit) return false;
    }
    return true;
}

const ListedHitWriter::LineStart& ListedHitWriter::NewLineStart(LONG kind, int discId, int pathId)
{
    LineStart& start = m_lineStart;
    const Encoded& disc = DiscName(discId);
    const Encoded& path = m_paths.Of(pathId);
    m_path.assign(path.utf8);
    m_path += '\\';
    start.kind = kind;
    start.discId = discId;
    start.pathId = pathId;
    start.exact = disc.exact && path.exact;
    start.opened = m_output.OpenRecord(
        {{"kind", kind == kListingFolders ? "folder" : "file"}, {"disc", disc.utf8}, {"path", m_path}});
    return start;
}

const ListedHitWriter::Encoded& ListedHitWriter::DiscName(int discId)
{
    auto known = m_discNames.find(discId);
    if (known != m_discNames.end()) return known->second;
    // Every disc's name at once: hits come from many discs, and the library
    // gives its discs' records in one list.
    for (const DiscRecord& disc : m_library.Discs())
        m_discNames.try_emplace(disc.discId, ListedPathTexts::EncodedOf(LibraryReader::Text(disc.name), true));
    known = m_discNames.find(discId);
    if (known != m_discNames.end()) return known->second;
    return m_discNames.emplace(discId, ListedPathTexts::EncodedOf(QString(), false)).first->second;
}

// SQLite stores a lone surrogate of a UTF-16 name as its three-byte form
// (ED A0..BF xx), which the whole-record path reads back as UTF-16 and
// writes as a replacement character or a JSON \u escape.
bool ListedHitWriter::HasLoneSurrogate(std::string_view utf8)
{
    for (const char* at = utf8.data(), *end = at + utf8.size();
         (at = static_cast<const char*>(std::memchr(at, 0xED, size_t(end - at)))) != nullptr && at + 1 < end; ++at)
        if (uint8_t(at[1]) >= 0xA0) return true;
    return false;
}
