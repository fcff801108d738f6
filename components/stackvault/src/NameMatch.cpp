#include "NameMatch.h"

#include "SqliteStatement.h"
#include "Utf16Text.h"

#include <QList>
#include <QString>
#include <cstring>
#include <sqlite3.h>

namespace {
void ContainsFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    const auto* haystack = static_cast<const char*>(sqlite3_value_blob(values[0]));
    const int haystackLength = sqlite3_value_bytes(values[0]);
    const auto* needle = static_cast<const char*>(sqlite3_value_blob(values[1]));
    const int needleLength = sqlite3_value_bytes(values[1]);
    const bool found = needleLength == 0 ||
                       (haystack && needle && memmem(haystack, haystackLength, needle, needleLength) != nullptr);
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
