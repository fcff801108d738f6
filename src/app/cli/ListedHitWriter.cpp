#include "ListedHitWriter.h"

#include "LibraryReader.h"

#include <QStringEncoder>
#include <cstring>

ListedHitWriter::ListedHitWriter(CliOutput& output, const LibraryReader& library, ListingReader& listing,
                                 ILibraryListedEntries* compact, int discId, WholeRecordPrinter printWhole)
    : m_output(output),
      m_library(library),
      m_listing(listing),
      m_pCompact(compact),
      m_discId(discId),
      m_printWhole(std::move(printWhole))
{
}

bool ListedHitWriter::PrintKind(LONG kind, qint64 limit, qint64& printed, HRESULT& failure)
{
    HRESULT hr = S_OK;
    while ((hr = m_listing.Next(m_pCompact, kind, m_block)) == S_OK)
        if (!PrintBlock(kind, m_block, limit, printed, failure)) return false;
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
    // A block short of full: the listing has no more yet, so what was found
    // so far reaches the reader now (and a reader that went away is noticed
    // here). After a full one the next block follows at once, and output
    // goes on in whole blocks of the pipe's size.
    if (block.entries.size() >= size_t(ListingReader::kListedBlock)) return true;
    return m_output.Flush();
}

const ListedHitWriter::LineStart& ListedHitWriter::NewLineStart(LONG kind, int discId, int pathId)
{
    LineStart& start = m_lineStart;
    const Encoded& disc = DiscName(discId);
    const Encoded& path = PathText(pathId);
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
    if (known == m_discNames.end()) {
        DiscRecord record{};
        const bool found = m_library.DiscById(discId, &record);
        known = m_discNames.emplace(discId, EncodedOf(LibraryReader::Text(record.name), found)).first;
    }
    return known->second;
}

const ListedHitWriter::Encoded& ListedHitWriter::PathText(int pathId)
{
    auto known = m_paths.find(pathId);
    if (known == m_paths.end()) {
        if (m_paths.size() >= kRememberedPaths) m_paths.clear(); // hits come folder by folder
        known = m_paths.emplace(pathId, EncodedOf(m_library.PathText(pathId), true)).first;
    }
    return known->second;
}

ListedHitWriter::Encoded ListedHitWriter::EncodedOf(const QString& text, bool found)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray utf8 = encoder.encode(text);
    return Encoded{utf8.toStdString(), found && text.isValidUtf16()};
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
