#include "ListingFieldsReader.h"

#include <algorithm>

namespace {
// Records per engine call: the engine is held for a few milliseconds at a
// time, so the window's own calls never wait long.
constexpr LONG kRecordBlock = 256;
// Compact entries per call, and room for their names and types (each far
// more than one name or type needs). Each call has a cost of its own (a
// read transaction, a few statements) that a thousand entries do not
// repay; 4,096 hold the engine for two or three milliseconds.
constexpr LONG kCompactBlock = 4096;
constexpr size_t kNameBytes = 256 * 1024;
constexpr size_t kTypeBytes = 128 * 1024;

QStringView ViewOf(const QString& text) { return QStringView(text.constData(), text.size()); }
} // namespace

ListingFieldsReader::ListingFieldsReader(Source source, LibraryListing listing, AddEntry addEntry)
    : m_source(source), m_listing(listing), m_addEntry(std::move(addEntry))
{
}

HRESULT ListingFieldsReader::Read(LONG kind, LONG first, LONG count, SortEntries& entries, LONG* read)
{
    *read = 0;
    const HRESULT hr = Fetch(kind, first, count, m_block);
    if (FAILED(hr)) return hr;
    Keep(m_block, entries);
    *read = m_block.filled;
    return hr;
}

HRESULT ListingFieldsReader::Fetch(LONG kind, LONG first, LONG count, Block& block) const
{
    block.filled = 0;
    if (count <= 0) return S_OK;
    const HRESULT hr = m_source.typedEntries ? FetchCompact(kind, first, count, block)
                                             : FetchRecords(kind, first, count, block);
    return SUCCEEDED(hr) && block.filled == 0 ? E_FAIL : hr;
}

void ListingFieldsReader::Keep(const Block& block, SortEntries& entries)
{
    if (m_source.typedEntries) {
        KeepCompact(block, entries);
        return;
    }
    for (LONG i = 0; i < block.filled; ++i) {
        const ItemRecord& record = block.records[size_t(i)];
        m_addEntry({QStringView(record.name), QStringView(record.type), record.time, record.size}, entries);
    }
}

HRESULT ListingFieldsReader::FetchRecords(LONG kind, LONG first, LONG count, Block& block) const
{
    const LONG wanted = std::min(kRecordBlock, count);
    block.records.resize(size_t(wanted));
    LONG filled = 0;
    const HRESULT hr = m_source.listings->GetListingItems(m_listing, kind, first, block.records.data(), wanted, &filled);
    if (FAILED(hr)) return hr;
    if (filled != wanted) return E_FAIL;
    block.filled = filled;
    return S_OK;
}

HRESULT ListingFieldsReader::FetchCompact(LONG kind, LONG first, LONG count, Block& block) const
{
    const LONG wanted = std::min(kCompactBlock, count);
    block.entries.resize(size_t(wanted));
    block.names.resize(kNameBytes);
    block.typeEnds.resize(size_t(wanted));
    block.types.resize(kTypeBytes);
    return m_source.typedEntries->GetTypedEntries(m_listing, kind, first, wanted, block.entries.data(),
                                                  block.names.data(), LONG(block.names.size()), block.typeEnds.data(),
                                                  block.types.data(), LONG(block.types.size()), &block.filled);
}

void ListingFieldsReader::KeepCompact(const Block& block, SortEntries& entries)
{
    for (LONG i = 0; i < block.filled; ++i) {
        const ListedEntry& entry = block.entries[size_t(i)];
        const uint32_t typeBegin = i == 0 ? 0 : block.typeEnds[size_t(i) - 1];
        const std::string_view type(block.types.data() + typeBegin, block.typeEnds[size_t(i)] - typeBegin);
        const std::string_view name(block.names.data() + entry.nameOffset, entry.nameBytes);
        m_addEntry({RecordName(name), TypeText(type), entry.time, entry.size}, entries);
    }
}

// A record holds at most kLibraryTextLength - 1 characters of a name and
// never half of a surrogate pair.
QStringView ListingFieldsReader::RecordName(std::string_view utf8)
{
    // ASCII names (nearly all) are widened as they are checked.
    m_name.resize(qsizetype(utf8.size()));
    QChar* chars = m_name.data();
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            m_name = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
            break;
        }
        *chars++ = QLatin1Char(c);
    }
    qsizetype length = std::min<qsizetype>(m_name.size(), kLibraryTextLength - 1);
    if (length > 0 && length < m_name.size() && m_name[length - 1].isHighSurrogate()) --length;
    return ViewOf(m_name).first(length);
}

QStringView ListingFieldsReader::TypeText(std::string_view utf8)
{
    auto found = m_typeTexts.find(utf8);
    if (found == m_typeTexts.end())
        found = m_typeTexts.emplace(std::string(utf8), QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))).first;
    return ViewOf(found->second);
}
