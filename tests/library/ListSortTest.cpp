// The order of a list sorted by a column against the rules written out
// plainly (a stable sort comparing two rows at a time with the collator):
// names in the user's language without regard to case (ä, ß, digits,
// empty names), texts shared by many rows, sizes, dates that are only text
// and those that do not parse, folders and files mirrored, and rows of one
// key kept in the order given. Lists long enough to be keyed and sorted on
// two threads as well as short ones; names in plain ASCII, ordered by their
// bytes where the language allows it, in languages that join letters too;
// names split and sorted a run at a time as a folder's entries are read.
#include "AsciiNameKeys.h"
#include "FileTime.h"
#include "ListSort.h"
#include "ListTexts.h"
#include "SplitNames.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <array>
#include <optional>
#include <gtest/gtest.h>

namespace {

constexpr int kDiscList = 1;
constexpr int kFolder = 2;
constexpr DWORD kFolderFlags = CAlbDataItem::kContainer;
constexpr DWORD kFileFlags = CAlbDataItem::kFile;

struct Row {
    DWORD flags;
    QString name, tags, type, dateText;
    INT64 time;
    INT64 size;
};

// The rules, one comparison of two rows at a time.
std::vector<int> PlainOrder(const std::vector<Row>& rows, int mode, int column, int direction)
{
    const QCollator collator = ListSort::NameCollator();
    enum { Name, Tags, Type, Date, Size } key;
    if (mode == kDiscList) key = std::array{Name, Tags, Type, Date, Size}[size_t(column)];
    else key = std::array{Name, Size, Type, Date}[size_t(column)];
    auto date = [](const Row& row) -> std::optional<INT64> {
        if (row.time >= 0) return row.time;
        const QDateTime parsed = ListTexts::ParseDate(row.dateText);
        return parsed.isValid() ? std::optional<INT64>(parsed.toMSecsSinceEpoch()) : std::nullopt;
    };
    std::vector<int> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int left, int right) {
        const Row& a = rows[size_t(left)];
        const Row& b = rows[size_t(right)];
        if (a.flags != b.flags) return direction > 0 ? a.flags < b.flags : a.flags > b.flags;
        int compared = 0;
        if (key == Date) {
            const std::optional<INT64> da = date(a), db = date(b);
            if (da.has_value() != db.has_value()) return !da.has_value();
            if (da) compared = *da < *db ? -1 : *da > *db;
        } else if (key == Size) {
            compared = a.size < b.size ? -1 : a.size > b.size;
        } else {
            compared = collator.compare(key == Name ? a.name : key == Tags ? a.tags : a.type,
                                        key == Name ? b.name : key == Tags ? b.tags : b.type);
        }
        return direction > 0 ? compared < 0 : compared > 0;
    });
    return order;
}

SortEntries EntriesOf(const std::vector<Row>& rows)
{
    SortEntries entries;
    for (const Row& row : rows) entries.Add(row.flags, row.name, row.tags, row.type, row.dateText, row.time, row.size);
    return entries;
}

std::vector<QString> TrickyNames()
{
    return {QString(), " ", "a", "A", "ä", "Ä", "Äpfel", "apfel", "APFEL", "ß", "ss", "SS", "straße", "Strasse", "STRASSE",
            "1", "01", "9", "10", "file9.txt", "file10.txt", "File2.TXT", "é", "e", "E", "Ö", "o", "ø", "æ", "ae", "_x",
            "x_", "z", "Z", "ñ", "n", "İ", "i", "-", "~", "Ω", "日本", "😀", "a b", "a-b", "ab"};
}

std::vector<QString> TypeTexts() { return {"Folder", "File", "JPEG Image", "jpeg image", "Text Document", "Ähnlich", ""}; }

// `count` rows: tricky names, alone and joined, some repeated; a few sizes,
// types and times so that many rows share a key.
std::vector<Row> ManyRows(int count)
{
    const std::vector<QString> names = TrickyNames();
    const std::vector<QString> types = TypeTexts();
    const INT64 day = 24LL * 3600 * 10000000;
    const INT64 first = FileTime::FromDateTime(QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    std::vector<Row> rows;
    for (int n = 0; n < count; ++n) {
        const size_t a = size_t(n) % names.size(), b = size_t(n / 7) % names.size();
        const QString name = n % 3 == 0 ? names[a] : names[a] + names[b];
        rows.push_back({n % 5 == 0 ? kFolderFlags : kFileFlags, name, names[b], types[size_t(n) % types.size()], QString(),
                        first + (n % 37) * day, INT64(n % 113)});
    }
    return rows;
}

std::vector<Row> DatedAsText()
{
    const INT64 first = FileTime::FromDateTime(QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    const INT64 hour = 3600LL * 10000000;
    std::vector<Row> rows;
    for (int n = 0; n < 40; ++n) {
        const QString text = n % 4 == 0 ? QString() : n % 4 == 1 ? QStringLiteral(" not a date ") : ListTexts::DateText(first + (n % 9) * hour);
        rows.push_back({kFolderFlags, QString::number(n), QString(), QString(), text, -1, 0});
    }
    return rows;
}

void ExpectPlainOrder(const std::vector<Row>& rows, int mode, int columns)
{
    const SortEntries entries = EntriesOf(rows);
    for (int column = 0; column < columns; ++column) {
        for (int direction : {1, -1}) {
            EXPECT_EQ(ListSort::Order(entries, mode, column, direction), PlainOrder(rows, mode, column, direction))
                << "rows " << rows.size() << ", column " << column << ", direction " << direction;
        }
    }
}

TEST(ListSortTest, EveryColumnOfAShortListSortsByTheRules)
{
    std::vector<Row> rows;
    for (const QString& name : TrickyNames()) rows.push_back({kFileFlags, name, name, name, QString(), 0, 0});
    ExpectPlainOrder(rows, kFolder, 4);
    ExpectPlainOrder(ManyRows(300), kFolder, 4);
    ExpectPlainOrder(ManyRows(300), kDiscList, 5);
    ExpectPlainOrder(DatedAsText(), kDiscList, 5);
}

TEST(ListSortTest, AListSortedOnTwoThreadsKeepsTheRulesAndTheGivenOrderOfEqualRows)
{
    const std::vector<Row> rows = ManyRows(20000);
    ExpectPlainOrder(rows, kFolder, 4);
    ExpectPlainOrder(rows, kDiscList, 5);
}

TEST(ListSortTest, EntriesKeepEveryNameAndShareRepeatedTexts)
{
    const std::vector<Row> rows = ManyRows(500);
    const SortEntries entries = EntriesOf(rows);
    ASSERT_EQ(entries.Count(), rows.size());
    for (size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(entries.Name(row), rows[row].name);
        EXPECT_EQ(entries.Texts()[size_t(entries.TextIndex(SortEntries::Type, row))], rows[row].type);
    }
    EXPECT_LE(entries.Texts().size(), TrickyNames().size() + TypeTexts().size() + 1);

    // Texts made for one row and gone after it: another's characters may
    // take their place, with the same length.
    SortEntries made;
    auto typeOf = [](int n) { return QStringLiteral("type %1").arg(n % 7); };
    for (int n = 0; n < 300; ++n) made.Add(kFileFlags, QStringLiteral("x"), {}, typeOf(n), {}, 0, 0);
    for (size_t row = 0; row < made.Count(); ++row)
        EXPECT_EQ(made.Texts()[size_t(made.TextIndex(SortEntries::Type, row))], typeOf(int(row))) << row;
    EXPECT_EQ(made.Texts().size(), 8u) << "seven types and the empty text";
}

// Names in plain ASCII (most of a catalogue's), with the letters some
// languages join or weigh apart ("ch", "cs", "aa", "ij", "I" and "i"), and
// a few others among them.
std::vector<Row> AsciiRows(int count)
{
    const std::vector<QString> parts{"ch", "Ch", "CH", "c", "h", "cs", "ccs", "dzs", "dz", "aa", "AA", "a", "z", "ij", "y",
                                     "ll", "l", "v", "w", "I", "i", "o", "ö", "å", " ", "_", "-", ".", "0", "9", "10", "~"};
    std::vector<Row> rows;
    for (int n = 0; n < count; ++n) {
        const size_t a = size_t(n) % parts.size(), b = size_t(n / 5) % parts.size(), c = size_t(n / 37) % parts.size();
        const QString name = n % 4 == 0 ? parts[a] + parts[b] : parts[a] + parts[b] + parts[c] + QString::number(n % 11);
        rows.push_back({n % 9 == 0 ? kFolderFlags : kFileFlags, name, QString(), QString(), QString(), 0, INT64(n % 7)});
    }
    return rows;
}

TEST(ListSortTest, NamesInPlainAsciiSortAsTheCollatorSaysInLanguagesThatJoinLettersOrNot)
{
    const QLocale before;
    for (const char* language : {"en_US", "de_DE", "cs_CZ", "hu_HU", "da_DK", "tr_TR", "sv_SE", "nl_NL", "es_ES"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(language)));
        for (int count : {400, 12000}) {
            const std::vector<Row> rows = AsciiRows(count);
            const SortEntries entries = EntriesOf(rows);
            for (int direction : {1, -1})
                EXPECT_EQ(ListSort::Order(entries, kFolder, 0, direction), PlainOrder(rows, kFolder, 0, direction))
                    << language << ", rows " << count << ", direction " << direction;
        }
    }
    QLocale::setDefault(before);
}

// Long names that share their first sixteen characters or more, or end
// where another goes on, among ManyRows' tricky ones.
std::vector<Row> SharedPrefixRows(int count)
{
    std::vector<Row> rows = ManyRows(count / 2);
    const std::vector<QString> stems{"IMG_20240301_1015", "img_20240301_101", "IMG_20240301_10155", "Holiday photos 2024 - ",
                                     "holiday photos 2024 ", "a"};
    for (int n = 0; rows.size() < size_t(count); ++n) {
        const QString name = stems[size_t(n) % stems.size()] + (n % 3 ? QString::number(n % 97) : QString());
        rows.push_back({n % 11 == 0 ? kFolderFlags : kFileFlags, name, QString(), QString(), QString(), 0, 0});
    }
    return rows;
}

// The names split as a sort reading blocks of `block` rows splits them.
SplitNames SplitInRuns(const std::vector<Row>& rows, size_t block, SortEntries& entries)
{
    SplitNames split = std::move(*ListSort::NamesToSplit(kFolder, 0));
    for (size_t first = 0; first < rows.size(); first += block) {
        for (size_t row = first; row < std::min(rows.size(), first + block); ++row)
            entries.Add(rows[row].flags, rows[row].name, {}, {}, {}, 0, 0);
        split.Add(entries);
        split.SortAdded();
    }
    return split;
}

TEST(ListSortTest, NamesSplitAndSortedARunAtATimeGiveTheOrderOfTheWholeList)
{
    const std::vector<Row> rows = SharedPrefixRows(12000);
    for (size_t block : {size_t(1), size_t(7), size_t(1000), size_t(4096), rows.size()}) {
        for (int direction : {1, -1}) {
            SortEntries entries;
            SplitNames split = SplitInRuns(rows, block, entries);
            EXPECT_EQ(ListSort::Order(entries, kFolder, 0, direction, nullptr, &split), PlainOrder(rows, kFolder, 0, direction))
                << "runs of " << block << ", direction " << direction;
        }
    }
    EXPECT_EQ(ListSort::NamesToSplit(kFolder, 1), nullptr) << "a sort by size compares no names";
}

TEST(ListSortTest, NamesSplitInAnotherLanguageOrForFewerRowsAreSplitAgain)
{
    const QLocale before;
    const std::vector<Row> rows = AsciiRows(3000);
    SortEntries entries;
    SplitNames english = SplitInRuns(rows, 500, entries);
    QLocale::setDefault(QLocale(QStringLiteral("cs_CZ")));
    EXPECT_EQ(ListSort::Order(entries, kFolder, 0, 1, nullptr, &english), PlainOrder(rows, kFolder, 0, 1));
    QLocale::setDefault(before);
    std::vector<Row> more = rows;
    more.push_back({kFileFlags, QStringLiteral("aaa"), QString(), QString(), QString(), 0, 0});
    SortEntries fewer;
    SplitNames early = SplitInRuns(rows, 500, fewer);
    SortEntries all;
    SplitInRuns(more, more.size(), all);
    EXPECT_EQ(ListSort::Order(all, kFolder, 0, 1, nullptr, &early), PlainOrder(more, kFolder, 0, 1));
}

TEST(ListSortTest, AsciiKeysAreRefusedWhereTheLanguageJoinsLetters)
{
    auto keysFor = [](const char* language, Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive) {
        QCollator collator{QLocale(QString::fromLatin1(language))};
        collator.setCaseSensitivity(sensitivity);
        return AsciiNameKeys::For(collator);
    };
    EXPECT_NE(keysFor("en_US"), nullptr);
    EXPECT_EQ(keysFor("cs_CZ"), nullptr); // "ch" sorts after "h"
    EXPECT_EQ(keysFor("hu_HU"), nullptr); // "cs" after "c"
    // Case weighs only once the letters are equal: "Aa" before "ab".
    EXPECT_EQ(keysFor("en_US", Qt::CaseSensitive), nullptr);
    const std::shared_ptr<const AsciiNameKeys> english = keysFor("en_US");
    std::string key = "x";
    EXPECT_FALSE(english->Append(u"abcä", key));
    EXPECT_EQ(key, "x");
    EXPECT_TRUE(english->Append(u"aB", key));
    std::string upper;
    english->Append(u"Ab", upper);
    EXPECT_EQ(key.substr(1), upper);
}

} // namespace
