// libFuzzer target for the library engine's record batch parser. The first
// byte picks the row kind and whether rows carry ids; the rest is the batch
// as UTF-16. A batch that parses must come out the same after writing its
// rows back in the row format and parsing them again.
#include "BatchParser.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
std::u16string Quoted(std::u16string_view text)
{
    std::u16string quoted = u"'";
    for (char16_t c : text) {
        quoted += c;
        if (c == u'\'') quoted += u'\'';
    }
    return quoted + u"'";
}

std::u16string Number(int64_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string Rewrite(const ParsedBatch& batch, bool entries, bool hasIds)
{
    std::u16string text;
    const size_t rows = entries ? batch.entries.size() : batch.paths.size();
    for (size_t i = 0; i < rows; ++i) {
        text += i == 0 ? u" SELECT " : u" UNION SELECT ";
        if (!entries) {
            const PathRow& row = batch.paths[i];
            text += (hasIds ? Number(row.id) + u", " : u"") + Quoted(batch.Text(row.text));
            continue;
        }
        const EntryRow& row = batch.entries[i];
        if (hasIds) text += Number(row.id) + u", ";
        text += Quoted(batch.Text(row.name)) + u", " + Number(row.size) + u", " + Quoted(batch.Text(row.type)) + u", " +
                Number(row.time) + u", " + Number(row.discId) + u", " + Number(row.labelId) + u", " +
                Number(row.parentId) + u", " + Number(row.pathId);
    }
    return text;
}

bool SameEntries(const ParsedBatch& a, const ParsedBatch& b)
{
    if (a.entries.size() != b.entries.size()) return false;
    for (size_t i = 0; i < a.entries.size(); ++i) {
        const EntryRow& x = a.entries[i];
        const EntryRow& y = b.entries[i];
        if (x.id != y.id || x.size != y.size || x.time != y.time || x.discId != y.discId || x.labelId != y.labelId ||
            x.parentId != y.parentId || x.pathId != y.pathId || a.Text(x.name) != b.Text(y.name) ||
            a.Text(x.type) != b.Text(y.type))
            return false;
    }
    return true;
}

bool SamePaths(const ParsedBatch& a, const ParsedBatch& b)
{
    if (a.paths.size() != b.paths.size()) return false;
    for (size_t i = 0; i < a.paths.size(); ++i)
        if (a.paths[i].id != b.paths[i].id || a.Text(a.paths[i].text) != b.Text(b.paths[i].text)) return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const bool entries = data[0] & 1;
    const bool hasIds = data[0] & 2;
    std::u16string text((size - 1) / 2, u'\0');
    std::memcpy(text.data(), data + 1, text.size() * sizeof(char16_t));

    ParsedBatch first;
    BatchParser parser(text);
    const bool parsed = entries ? parser.ParseEntries(hasIds, first) : parser.ParsePaths(hasIds, first);
    if (!parsed) {
        if (parser.Error().empty()) std::abort(); // a refusal always says why
        return 0;
    }
    const std::u16string rewritten = Rewrite(first, entries, hasIds);
    ParsedBatch second;
    BatchParser again(rewritten);
    const bool reparsed = entries ? again.ParseEntries(hasIds, second) : again.ParsePaths(hasIds, second);
    if (!reparsed || !(entries ? SameEntries(first, second) : SamePaths(first, second))) std::abort();
    return 0;
}
