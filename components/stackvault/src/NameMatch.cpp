#include "NameMatch.h"

#include "ByteVectors.h"
#include "NameBlockFormat.h"
#include "NameBlocks.h"
#include "SqliteStatement.h"
#include "Utf16Text.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <sqlite3.h>
#include <utility>

namespace {
bool Contains(std::string_view haystack, std::string_view needle)
{
    return needle.empty() || memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

std::string_view Utf8Of(sqlite3_value* value)
{
    const auto* text = static_cast<const char*>(sqlite3_value_blob(value));
    return text ? std::string_view(text, size_t(sqlite3_value_bytes(value))) : std::string_view();
}

void ContainsFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    sqlite3_result_int(context, Contains(Utf8Of(values[0]), Utf8Of(values[1])) ? 1 : 0);
}

// A text value folded as Utf16Text::Folded folds it (from its UTF-16 form,
// as the library's names were folded when stored).
QByteArray FoldedValue(sqlite3_value* value)
{
    const auto* text = static_cast<const char16_t*>(sqlite3_value_text16(value));
    const int bytes = sqlite3_value_bytes16(value);
    return Utf16Text::Folded(std::u16string_view(text ? text : u"", text ? bytes / 2 : 0));
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }

// Sets `text` (NUL-terminated at `size`) as the result. Without an embedded
// NUL it is marked as ending in one, so that a reader asking for C text
// (FTS5's tokenizer does, for every name it indexes) takes it as it is
// instead of copying it into memory a byte longer; SQLite copies it into
// the result's own memory, which it keeps from row to row.
void ResultFolded(sqlite3_context* context, const char* text, size_t size)
{
    const bool ended = std::memchr(text, 0, size) == nullptr;
    sqlite3_result_text(context, text, ended ? -1 : static_cast<int>(size), SQLITE_TRANSIENT);
}

void FoldFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    const std::string_view name = Utf8Of(values[0]);
    if (NameMatch::IsAscii(name)) {
        thread_local std::string folded; // kept from call to call: no allocation per name
        folded.assign(name);
        NameMatch::LowerAscii(folded);
        ResultFolded(context, folded.c_str(), folded.size());
        return;
    }
    const QByteArray folded = FoldedValue(values[0]);
    ResultFolded(context, folded.constData(), size_t(folded.size()));
}

constexpr char kPackType[] = "sv_pack";

// sv_fold_packed(?, id, disc, path, name): sv_fold(name), the file packed
// into the name blocks bound to ? (NameMatch::BindPack) on the way, so
// that the rows an import's close indexes are read once for both.
void FoldPackedFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    if (auto* blocks = static_cast<NameBlocks*>(sqlite3_value_pointer(values[0], kPackType)))
        blocks->Pack(sqlite3_value_int64(values[1]), sqlite3_value_int64(values[2]), sqlite3_value_int64(values[3]),
                     Utf8Of(values[4]));
    FoldFunction(context, 1, values + 4);
}

constexpr uint64_t kHighBits = 0x8080808080808080ULL;

// Whether the name with A-Z lowered holds an ASCII folded query at `at`.
bool LoweredAt(std::string_view name, size_t at, std::string_view needle)
{
    if (at + needle.size() > name.size()) return false;
    for (size_t i = 0; i < needle.size(); ++i)
        if (AsciiLower(name[at + i]) != needle[i]) return false;
    return true;
}

// Whether a hit starts at a lane of `starts` (those where the query's first
// byte is) in the sixteen bytes from `at`.
bool HitStartsIn(std::string_view name, size_t at, ByteVectors::Lanes starts, std::string_view needle)
{
    const ByteVectors::Words words = ByteVectors::WordsOf(starts);
    for (const auto& [word, from] : {std::pair{words.low, at}, std::pair{words.high, at + 8}})
        for (uint64_t lanes = word & kHighBits; lanes != 0; lanes &= lanes - 1)
            if (LoweredAt(name, from + size_t(std::countr_zero(lanes) / 8), needle)) return true;
    return false;
}

enum class AsciiHit { Found, NotInAsciiName, NotFoundYet };

// Whether the name with A-Z lowered holds an ASCII folded query, sixteen
// bytes at a time. Folding lowers A-Z and turns no other character into
// these bytes but for a few (the Kelvin sign, the long s): a hit here is a
// hit in the folded name, a miss is one too when the name is ASCII; a name
// that is not must be folded to tell (NotFoundYet).
AsciiHit LoweredHas(std::string_view name, std::string_view needle)
{
    const uint8_t first = uint8_t(needle.front());
    // A byte that lowers to a letter differs from it in bit 0x20 at most.
    const uint8_t fold = first >= 'a' && first <= 'z' ? 0x20 : 0;
    // A query of one byte is found where its byte is: nothing more to
    // compare (the zero bytes after a short name are never that byte).
    const bool oneByte = needle.size() == 1 && first != 0;
    ByteVectors::Bytes bytesOr{};
    const bool found = ByteVectors::AnyOf(name, 0, [&](size_t at, ByteVectors::Bytes bytes) {
        bytesOr |= bytes;
        const ByteVectors::Lanes starts = (bytes | fold) == first;
        if (!ByteVectors::Any(starts)) return false;
        return oneByte || HitStartsIn(name, at, starts, needle);
    });
    if (found) return AsciiHit::Found;
    return ByteVectors::Any(bytesOr >= 0x80) ? AsciiHit::NotFoundYet : AsciiHit::NotInAsciiName;
}

// Folding reads the name as UTF-16, which SQLite turns the value itself
// into: a name still to be read as UTF-8 (`readAgain`) is folded from a copy.
bool FoldedHas(sqlite3_value* name, std::string_view needle, bool readAgain)
{
    sqlite3_value* copy = readAgain ? sqlite3_value_dup(name) : nullptr;
    if (readAgain && !copy) return false;
    const QByteArray folded = FoldedValue(readAgain ? copy : name);
    sqlite3_value_free(copy);
    return memmem(folded.constData(), size_t(folded.size()), needle.data(), needle.size()) != nullptr;
}

// The folded query of sv_name_has as its test needs it, worked out once per
// run of a statement: SQLite keeps it with the query, a constant argument,
// instead of it being read and looked at again for each of millions of rows.
struct Needle {
    std::string text;
    bool ascii = false;
};

constexpr int kNeedleArgument = 1;

Needle NeedleFrom(sqlite3_value* query)
{
    Needle needle{std::string(Utf8Of(query))};
    needle.ascii = NameMatch::IsAscii(needle.text);
    return needle;
}

// What a function works out once per run of its statement, kept by SQLite
// with the constant `argument`; made by make(), and returned from `unkept`
// when SQLite could not keep it.
template <class Run, class Make>
const Run& KeptPerRun(sqlite3_context* context, int argument, Run& unkept, Make&& make)
{
    if (const auto* kept = static_cast<const Run*>(sqlite3_get_auxdata(context, argument))) return *kept;
    unkept = make();
    sqlite3_set_auxdata(context, argument, new Run(unkept), [](void* run) { delete static_cast<Run*>(run); });
    return unkept;
}

const Needle& NeedleOf(sqlite3_context* context, sqlite3_value** values, Needle& unkept)
{
    return KeptPerRun(context, kNeedleArgument, unkept, [&] { return NeedleFrom(values[kNeedleArgument]); });
}

// Whether the name, folded as sv_fold folds it, holds the folded query;
// only names that are not ASCII are folded, by foldedHas(needle text).
template <class FoldedHas>
bool NameHasFolding(const Needle& needle, std::string_view name, FoldedHas&& foldedHas)
{
    if (needle.text.empty()) return true;
    if (needle.ascii) {
        const AsciiHit hit = LoweredHas(name, needle.text);
        if (hit != AsciiHit::NotFoundYet) return hit == AsciiHit::Found;
        return foldedHas(needle.text);
    }
    return !NameMatch::IsAscii(name) && foldedHas(needle.text);
}

// NameHasFolding of the UTF-8 of `nameValue`, folded from the value.
bool NameHas(const Needle& needle, sqlite3_value* nameValue, std::string_view name, bool readAgain = false)
{
    return NameHasFolding(needle, name,
                          [&](std::string_view text) { return FoldedHas(nameValue, text, readAgain); });
}

// NameHasFolding of a name as stored (valid UTF-8), folded from its bytes.
bool StoredNameHas(const Needle& needle, std::string_view name)
{
    return NameHasFolding(needle, name, [&](std::string_view text) {
        const QByteArray folded = Utf16Text::Folded(QString::fromUtf8(name.data(), qsizetype(name.size())));
        return memmem(folded.constData(), size_t(folded.size()), text.data(), text.size()) != nullptr;
    });
}

// sv_name_has(name, foldedQuery): a scan of names without their stored folds.
void NameHasFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    Needle unkept;
    sqlite3_result_int(context, NameHas(NeedleOf(context, values, unkept), values[0], Utf8Of(values[0])));
}

constexpr char kListedType[] = "sv_listed";

void ListedFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    auto* listed = static_cast<NameMatch::ListedIds*>(sqlite3_value_pointer(values[0], kListedType));
    const int64_t id = sqlite3_value_int64(values[1]);
    if (!listed) return sqlite3_result_int(context, 0);
    while (listed->next < listed->ids.size() && listed->ids[listed->next] < id) ++listed->next;
    sqlite3_result_int(context, listed->next < listed->ids.size() && listed->ids[listed->next] == id);
}
constexpr char kFoundType[] = "sv_found";
// An entry's arguments: id, name, parent, size, time, disc, path; its place
// alone: id, name, disc, path.
constexpr int kEntryArguments = 7;
constexpr int kPlaceArguments = 4;

constexpr int kReceiverArgument = 0;

NameMatch::FoundEntry* BoundReceiver(sqlite3_value* bound)
{
    return static_cast<NameMatch::FoundEntry*>(sqlite3_value_pointer(bound, kFoundType));
}

// The receiver bound for sv_found, looked up once per run of a statement
// (a lookup by its type's name costs as much as the rest of a hit's call).
NameMatch::FoundEntry* ReceiverOf(sqlite3_context* context, sqlite3_value* bound)
{
    if (void* kept = sqlite3_get_auxdata(context, kReceiverArgument)) return static_cast<NameMatch::FoundEntry*>(kept);
    NameMatch::FoundEntry* found = BoundReceiver(bound);
    if (found) sqlite3_set_auxdata(context, kReceiverArgument, found, nullptr);
    return found;
}

// The entry `id` named `name` with the rest of sv_found's arguments from
// `values` on (`count` of them, id and name first): parent, size, time,
// disc and path, or disc and path alone (an entry's place), handed to
// `found`; the receiver's answer as the function's result.
void HandOver(sqlite3_context* context, NameMatch::FoundEntry* found, int64_t id, std::string_view name,
              sqlite3_value** values, int count)
{
    if (!found) return sqlite3_result_int(context, 1);
    ListedEntry entry{};
    entry.id = static_cast<int32_t>(id);
    if (count == kEntryArguments) {
        entry.parentId = static_cast<int32_t>(sqlite3_value_int64(values[2]));
        entry.size = sqlite3_value_int64(values[3]);
        entry.time = sqlite3_value_int64(values[4]);
    }
    entry.discId = static_cast<int32_t>(sqlite3_value_int64(values[count - 2]));
    entry.pathId = static_cast<int32_t>(sqlite3_value_int64(values[count - 1]));
    sqlite3_result_int(context, (*found)(entry, name) ? 0 : 1);
}

// sv_found(?, entry...): hands the entry over.
void FoundFunction(sqlite3_context* context, int count, sqlite3_value** values)
{
    HandOver(context, ReceiverOf(context, values[0]), sqlite3_value_int64(values[1]), Utf8Of(values[2]), values + 1,
             count - 1);
}

// What sv_found_if keeps for a run of its statement: the receiver, the
// query and the last id, all found with one look-up per row.
struct FoundIfRun {
    NameMatch::FoundEntry* found = nullptr;
    Needle needle;
    int64_t lastId = 0;
};

constexpr int kLastIdArgument = 2;

const FoundIfRun& FoundIfRunOf(sqlite3_context* context, sqlite3_value** values, FoundIfRun& unkept)
{
    return KeptPerRun(context, kReceiverArgument, unkept, [&] {
        return FoundIfRun{BoundReceiver(values[kReceiverArgument]), NeedleFrom(values[kNeedleArgument]),
                          sqlite3_value_int64(values[kLastIdArgument])};
    });
}

// sv_found_if(?, foldedQuery, lastId, entry...): hands the entry over when
// its name holds the query (as sv_name_has tells), else gives 0; gives 1
// for an id past lastId, which ends a scan in id order there. A scan's
// test, hand-over and end in one call per row.
void FoundIfFunction(sqlite3_context* context, int count, sqlite3_value** values)
{
    constexpr int kEntryAt = 3;
    FoundIfRun unkept;
    const FoundIfRun& run = FoundIfRunOf(context, values, unkept);
    const int64_t id = sqlite3_value_int64(values[kEntryAt]);
    if (id > run.lastId) return sqlite3_result_int(context, 1);
    sqlite3_value* nameValue = values[kEntryAt + 1];
    const std::string_view name = Utf8Of(nameValue);
    if (!NameHas(run.needle, nameValue, name, true)) return sqlite3_result_int(context, 0);
    HandOver(context, run.found, id, name, values + kEntryAt, count - kEntryAt);
}
// What sv_found_in_block keeps for a run of its statement.
struct BlockRun {
    NameMatch::FoundEntry* found = nullptr;
    Needle needle;
};

const BlockRun& BlockRunOf(sqlite3_context* context, sqlite3_value** values, BlockRun& unkept)
{
    return KeptPerRun(context, kReceiverArgument, unkept, [&] {
        return BlockRun{BoundReceiver(values[kReceiverArgument]), NeedleFrom(values[kNeedleArgument])};
    });
}

// sv_found_in_block(?, foldedQuery, firstId, disc, entries): hands over
// the place of each file of the block whose name holds the query, in id
// order; gives 1 when the receiver ends the scan, else 0, and fails on a
// damaged block.
void FoundInBlockFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    BlockRun unkept;
    const BlockRun& run = BlockRunOf(context, values, unkept);
    if (!run.found) return sqlite3_result_int(context, 1);
    ListedEntry entry{};
    entry.discId = static_cast<int32_t>(sqlite3_value_int64(values[3]));
    NameBlockFormat::Reader reader(sqlite3_value_int64(values[2]), Utf8Of(values[4]));
    NameBlockFormat::Entry file;
    while (reader.Next(file)) {
        if (!StoredNameHas(run.needle, file.name)) continue;
        entry.id = static_cast<int32_t>(file.id);
        entry.pathId = static_cast<int32_t>(file.pathId);
        if (!(*run.found)(entry, file.name)) return sqlite3_result_int(context, 1);
    }
    if (reader.Damaged()) return sqlite3_result_error_code(context, SQLITE_CORRUPT);
    sqlite3_result_int(context, 0);
}
} // namespace

namespace NameMatch {

// Eight bytes at a time.
bool IsAscii(std::string_view text)
{
    size_t at = 0;
    for (uint64_t word = 0; at + sizeof word <= text.size(); at += sizeof word) {
        std::memcpy(&word, text.data() + at, sizeof word);
        if (word & kHighBits) return false;
    }
    return std::all_of(text.begin() + at, text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0x80) == 0; });
}

void LowerAscii(std::string& name) { std::transform(name.begin(), name.end(), name.begin(), AsciiLower); }

int Register(sqlite3* db)
{
    constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_function(db, "sv_contains", 2, kFlags, nullptr, ContainsFunction, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "sv_name_has", 2, kFlags, nullptr, NameHasFunction, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "sv_fold", 1, kFlags, nullptr, FoldFunction, nullptr, nullptr);
    // Not deterministic: it follows the rows it is asked about.
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "sv_listed", 2, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr, ListedFunction, nullptr,
                                     nullptr);
    // Not deterministic: it packs what it is given.
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "sv_fold_packed", 5, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr,
                                     FoldPackedFunction, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "sv_found_in_block", 5, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr,
                                     FoundInBlockFunction, nullptr, nullptr);
    for (const int entryArguments : {kEntryArguments, kPlaceArguments}) {
        if (rc == SQLITE_OK)
            rc = sqlite3_create_function(db, "sv_found", 1 + entryArguments, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr,
                                         FoundFunction, nullptr, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_create_function(db, "sv_found_if", 3 + entryArguments, SQLITE_UTF8 | SQLITE_INNOCUOUS,
                                         nullptr, FoundIfFunction, nullptr, nullptr);
    }
    return rc;
}

bool UsesIndex(const QByteArray& foldedQuery) { return QString::fromUtf8(foldedQuery).toUcs4().size() >= 3; }

int BindListed(SqliteStatement& statement, int index, ListedIds* listed)
{
    return statement.BindPointer(index, listed, kListedType);
}

int BindFound(SqliteStatement& statement, int index, FoundEntry* found)
{
    return statement.BindPointer(index, found, kFoundType);
}

int BindPack(SqliteStatement& statement, int index, NameBlocks* blocks)
{
    return statement.BindPointer(index, blocks, kPackType);
}

QByteArray PhraseQuery(const QByteArray& foldedQuery)
{
    QByteArray phrase = foldedQuery;
    phrase.replace('"', "\"\"");
    return '"' + phrase + '"';
}

} // namespace NameMatch
