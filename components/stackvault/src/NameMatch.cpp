#include "NameMatch.h"

#include <QList>
#include <QString>
#include <cstring>
#include <sqlite3.h>

namespace {
constexpr int kMaxTrigrams = 6;

void ContainsFunction(sqlite3_context* context, int, sqlite3_value** values)
{
    const auto* haystack = static_cast<const char*>(sqlite3_value_blob(values[0]));
    const int haystackLength = sqlite3_value_bytes(values[0]);
    const auto* needle = static_cast<const char*>(sqlite3_value_blob(values[1]));
    const int needleLength = sqlite3_value_bytes(values[1]);
    if (needleLength == 0) {
        sqlite3_result_int(context, 1);
        return;
    }
    const bool found = haystack && needle && memmem(haystack, haystackLength, needle, needleLength) != nullptr;
    sqlite3_result_int(context, found ? 1 : 0);
}

QByteArray Quoted(const QString& trigram)
{
    QByteArray text = trigram.toUtf8();
    text.replace('"', "\"\"");
    return '"' + text + '"';
}
} // namespace

namespace NameMatch {

int Register(sqlite3* db)
{
    return sqlite3_create_function(db, "sv_contains", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                   nullptr, ContainsFunction, nullptr, nullptr);
}

bool UsesIndex(const QByteArray& foldedQuery) { return QString::fromUtf8(foldedQuery).toUcs4().size() >= 3; }

QByteArray TrigramQuery(const QByteArray& foldedQuery)
{
    const QList<uint> codePoints = QString::fromUtf8(foldedQuery).toUcs4();
    const qsizetype trigramCount = codePoints.size() - 2;
    const qsizetype used = std::min<qsizetype>(trigramCount, kMaxTrigrams);
    QByteArray query;
    for (qsizetype i = 0; i < used; ++i) {
        // Spread the chosen trigrams from the first to the last.
        const qsizetype start = used == 1 ? 0 : i * (trigramCount - 1) / (used - 1);
        const QString trigram = QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData() + start), 3);
        if (!query.isEmpty()) query += ' ';
        query += Quoted(trigram);
    }
    return query;
}

} // namespace NameMatch
