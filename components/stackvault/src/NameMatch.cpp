#include "NameMatch.h"

#include "SqliteStatement.h"
#include "Utf16Text.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <sqlite3.h>

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

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Case folding of an ASCII text is its ASCII lower case, so most names are
// matched without converting them; the others are folded first.
void NameHasFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    const std::string_view needle = Utf8Of(values[1]);
    const std::string_view name = Utf8Of(values[0]);
    bool found = false;
    if (IsAscii(name)) {
        thread_local std::string lowered;
        lowered.assign(name);
        for (char& c : lowered)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        found = Contains(lowered, needle);
    } else {
        const QByteArray folded = Utf16Text::Folded(QString::fromUtf8(name.data(), qsizetype(name.size())));
        found = Contains(std::string_view(folded.constData(), size_t(folded.size())), needle);
    }
    sqlite3_result_int(context, found ? 1 : 0);
}

void FoldFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    const auto* text = static_cast<const char16_t*>(sqlite3_value_text16(values[0]));
    const int bytes = sqlite3_value_bytes16(values[0]);
    const QByteArray folded = Utf16Text::Folded(std::u16string_view(text ? text : u"", text ? bytes / 2 : 0));
    sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
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
} // namespace

namespace NameMatch {

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
    return rc;
}

bool UsesIndex(const QByteArray& foldedQuery) { return QString::fromUtf8(foldedQuery).toUcs4().size() >= 3; }

int BindListed(SqliteStatement& statement, int index, ListedIds* listed)
{
    return statement.BindPointer(index, listed, kListedType);
}

QByteArray PhraseQuery(const QByteArray& foldedQuery)
{
    QByteArray phrase = foldedQuery;
    phrase.replace('"', "\"\"");
    return '"' + phrase + '"';
}

} // namespace NameMatch
