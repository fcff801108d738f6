#include "ListingFieldsReader.h"

#include <algorithm>

namespace {
// Records per engine call: the engine is held for a few milliseconds at a
// time, so the window's own calls never wait long.
constexpr LONG kRecordBlock = 256;
// Compact entries per call, and room for their names and types (each far
// more than one name or type needs).
constexpr LONG kCompactBlock = 1024;
constexpr size_t kNameBytes = 64 * 1024;
constexpr size_t kTypeBytes = 32 * 1024;

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QStringView ViewOf(const QString& text) { return QStringView(text.constData(), text.size()); }
} // namespace

ListingFieldsReader::ListingFieldsReader(Source source, LibraryListing listing, AddEntry addEntry)
    : m_source(source), m_listing(listing), m_addEntry(std::move(addEntry))
{
}

HRESULT ListingFieldsReader::Read(LONG kind, LONG first, LONG count, SortEntries& entries, LONG* read)
{
    *read = 0;
    if (count <= 0) return S_OK;
    const HRESULT hr = m_source.typedEntries ? ReadCompact(kind, first, count, entries, read)
                                             : ReadRecords(kind, first, count, entries, read);
    return SUCCEEDED(hr) && *read == 0 ? E_FAIL : hr;
}

HRESULT ListingFieldsReader::ReadRecords(LONG kind, LONG first, LONG count, SortEntries& entries, LONG* read)
{
    const LONG wanted = std::min(kRecordBlock, count);
    m_records.resize(size_t(wanted));
    LONG filled = 0;
    const HRESULT hr = m_source.listings->GetListingItems(m_listing, kind, first, m_records.data(), wanted, &filled);
    if (FAILED(hr)) return hr;
    if (filled != wanted) return E_FAIL;
    for (const ItemRecord& record : m_records)
        m_addEntry({QStringView(record.name), QStringView(record.type), record.time, record.size}, entries);
    *read = filled;
    return S_OK;
}

HRESULT ListingFieldsReader::ReadCompact(LONG kind, LONG first, LONG count, SortEntries& entries, LONG* read)
{
    const LONG wanted = std::min(kCompactBlock, count);
    m_entries.resize(size_t(wanted));
    m_names.resize(kNameBytes);
    m_typeEnds.resize(size_t(wanted));
    m_types.resize(kTypeBytes);
    LONG filled = 0;
    const HRESULT hr = m_source.typedEntries->GetTypedEntries(m_listing, kind, first, wanted, m_entries.data(),
                                                              m_names.data(), LONG(m_names.size()), m_typeEnds.data(),
                                                              m_types.data(), LONG(m_types.size()), &filled);
    if (FAILED(hr)) return hr;
    for (LONG i = 0; i < filled; ++i) {
        const ListedEntry& entry = m_entries[size_t(i)];
        const uint32_t typeBegin = i == 0 ? 0 : m_typeEnds[size_t(i) - 1];
        const std::string_view type(m_types.data() + typeBegin, m_typeEnds[size_t(i)] - typeBegin);
        const std::string_view name(m_names.data() + entry.nameOffset, entry.nameBytes);
        m_addEntry({RecordName(name), TypeText(type), entry.time, entry.size}, entries);
    }
    *read = filled;
    return S_OK;
}

// A record holds at most kLibraryTextLength - 1 characters of a name and
// never half of a surrogate pair.
QStringView ListingFieldsReader::RecordName(std::string_view utf8)
{
    if (IsAscii(utf8)) {
        m_name.resize(qsizetype(utf8.size()));
        QChar* chars = m_name.data();
        for (const char c : utf8) *chars++ = QLatin1Char(c);
    } else {
        m_name = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
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
