// Printing a search's hits from the listing's compact entries, in this
// process over stand-in engines: the lines printed reach the reader before
// the printer waits for more hits, a reader that went away ends the
// printing without a failure, and folder paths read by ranges of ids give
// the texts their own look-ups give.
#include "CliOutput.h"
#include "FakeEngines.h"
#include "LibraryReader.h"
#include "ListedHitWriter.h"
#include "ListedPathTexts.h"
#include "ListingReader.h"
#include "Utf16Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kDisc = 3;

// One disc, "Photos", whose paths are "\Folder <id>" unless set in `paths`;
// an id set to an empty text has no path.
class OneDiscLibrary : public FakeLibrary {
public:
    std::map<LONG, QString> paths;
    int pathLookups = 0;

    QString PathOf(LONG pathId) const
    {
        const auto set = paths.find(pathId);
        return set != paths.end() ? set->second : QStringLiteral("\\Folder %1").arg(pathId);
    }
    HRESULT GetDiscCount(LONG* count) override { return *count = 1, S_OK; }
    HRESULT GetDiscs(DiscRecord* records, LONG) override
    {
        records[0].discId = kDisc;
        Utf16Text::CopyToField(records[0].name, kLibraryTextLength, QStringLiteral("Photos"));
        return S_OK;
    }
    HRESULT GetPathText(LONG pathId, char16_t* text) override
    {
        ++pathLookups;
        const QString path = PathOf(pathId);
        if (path.isEmpty()) return E_INVALIDARG;
        Utf16Text::CopyToField(text, kLibraryTextLength, path);
        return S_OK;
    }
};

// A search's listing of `total` files in folders of a hundred, of which the
// first `ready` are found at once and the rest only once the printer waits
// for them; at that wait it notes how many lines the reader had been given.
class LateHitsListing final : public ILibraryListings, public ILibraryListedEntries {
public:
    LateHitsListing(int ready, int total, std::function<int()> linesGiven)
        : m_found(ready), m_total(total), m_linesGiven(std::move(linesGiven))
    {
    }
    std::vector<int> linesAtWait;

    static std::string NameOf(int index) { return "hit-" + std::to_string(index) + ".jpg"; }
    static int PathOf(int index) { return 1 + index / 100; }

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT OpenSearchListing(const char16_t*, LibraryListing*) override { return E_NOTIMPL; }
    HRESULT OpenFolderListing(LONG, LONG, LibraryListing*) override { return E_NOTIMPL; }
    HRESULT OpenSearchEntries(const char16_t*, LONG, LibraryListing*) override { return E_NOTIMPL; }
    HRESULT GetListingItems(LibraryListing, LONG, LONG, ItemRecord*, LONG, LONG*) override { return E_NOTIMPL; }
    HRESULT CloseListing(LibraryListing) override { return S_OK; }

    HRESULT WaitListing(LibraryListing, LONG rows, LONG timeoutMs, LibraryListingCounts* counts) override
    {
        if (timeoutMs > 0 && rows > m_found && m_found < m_total) {
            linesAtWait.push_back(m_linesGiven());
            m_found = m_total;
        }
        *counts = {};
        counts->files = m_total; // counted ahead, as a short query is
        counts->counted = 1;
        counts->complete = m_found == m_total ? 1 : 0;
        return counts->complete ? S_OK : S_FALSE;
    }
    HRESULT GetListedEntries(LibraryListing, LONG kind, LONG first, ListedEntry* entries, LONG count, char* names,
                             LONG namesCapacity, LONG* filled) override
    {
        *filled = 0;
        uint32_t used = 0;
        for (int index = first; kind == kListingFiles && index < std::min(m_found, first + count); ++index) {
            const std::string name = NameOf(index);
            if (used + name.size() > uint32_t(namesCapacity)) break;
            std::memcpy(names + used, name.data(), name.size());
            entries[(*filled)++] = ListedEntry{index + 1, 0, kDisc, PathOf(index), 0, 0, used, uint32_t(name.size())};
            used += uint32_t(name.size());
        }
        return S_OK;
    }

private:
    int m_found;
    const int m_total;
    std::function<int()> m_linesGiven;
};

// The lines written to a file so far.
std::string Written(FILE* file)
{
    struct stat status {};
    fstat(fileno(file), &status);
    std::string bytes(size_t(status.st_size), '\0');
    return pread(fileno(file), bytes.data(), bytes.size(), 0) == ssize_t(bytes.size()) ? bytes : std::string();
}

int LineCount(const std::string& bytes) { return int(std::count(bytes.begin(), bytes.end(), '\n')); }

// Prints the hits of a LateHitsListing to `file` (a temporary file by default).
struct PrintRun {
    OneDiscLibrary library;
    LibraryReader reader{&library};
    FILE* file;
    CliOutput output{false, file};
    LateHitsListing listing;
    ListingReader found{&listing, &listing};
    qint64 printed = 0;
    HRESULT failure = S_OK;

    PrintRun(int ready, int total, FILE* to = std::tmpfile())
        : file(to), listing(ready, total, [this] { return LineCount(Written(file)); })
    {
    }
    ~PrintRun() { std::fclose(file); }

    bool Print()
    {
        ListedHitWriter writer(output, reader, found, &listing, nullptr, 0,
                               [](const ItemRecord&, bool) { return false; });
        return writer.PrintKind(kListingFiles, std::numeric_limits<qint64>::max(), printed, failure);
    }
};

TEST(ListedHitWriter, LinesPrintedReachTheReaderBeforeThePrinterWaitsForMoreHits)
{
    // A full block of hits, then nothing for a while: the last of them
    // must not wait in the output's buffer until the scan finds more.
    const int ready = ListingReader::kListedBlock;
    PrintRun run(ready, ready + 150);
    EXPECT_TRUE(run.Print());
    EXPECT_EQ(S_OK, run.failure);
    EXPECT_EQ(std::vector<int>{ready}, run.listing.linesAtWait);
    EXPECT_EQ(ready + 150, run.printed);
    ASSERT_TRUE(run.output.Flush());
    const std::string lines = Written(run.file);
    EXPECT_EQ(ready + 150, LineCount(lines));
    EXPECT_TRUE(lines.starts_with("file\tPhotos\t\\\\Folder 1\\\\hit-0.jpg\n"));
    EXPECT_TRUE(lines.ends_with("file\tPhotos\t\\\\Folder 43\\\\hit-4245.jpg\n"));
}

TEST(ListedHitWriter, AReaderGoneEndsThePrintingBeforeItWaitsAndIsNoFailure)
{
    std::signal(SIGPIPE, SIG_IGN);
    int ends[2] = {-1, -1};
    ASSERT_EQ(0, pipe(ends));
    close(ends[0]);
    PrintRun run(100, 200, fdopen(ends[1], "w"));
    EXPECT_FALSE(run.Print());
    EXPECT_EQ(S_OK, run.failure);
    EXPECT_TRUE(run.output.ReaderGone());
    EXPECT_TRUE(run.listing.linesAtWait.empty());
}

// Path texts by ranges of ids as the library engine gives them: ids
// without a path and texts longer than a record's field left out, texts
// in UTF-8 as stored (`stored` where that is not plain UTF-8).
class PathRanges final : public ILibraryPathTexts {
public:
    explicit PathRanges(const OneDiscLibrary& library) : m_library(library) {}
    std::map<LONG, std::string> stored;
    int requests = 0;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetPathTexts(LONG firstId, LONG count, LibraryPathText* paths, char* texts, LONG, LONG* filled) override
    {
        ++requests;
        *filled = 0;
        uint32_t used = 0;
        for (LONG id = firstId; id < firstId + count; ++id) {
            const auto odd = stored.find(id);
            const std::string text = odd != stored.end() ? odd->second : m_library.PathOf(id).toStdString();
            if (text.empty() || text.size() > size_t(kLibraryPathTextBytes)) continue;
            std::memcpy(texts + used, text.data(), text.size());
            paths[(*filled)++] = LibraryPathText{int32_t(id), used, uint32_t(text.size())};
            used += uint32_t(text.size());
        }
        return S_OK;
    }

private:
    const OneDiscLibrary& m_library;
};

TEST(ListedPathTexts, PathsReadByRangesAreThoseOfTheirOwnLookUps)
{
    OneDiscLibrary library;
    library.paths[5] = QStringLiteral("\\Caf\u00E9 \u65E5\u672C");
    library.paths[6] = QStringLiteral("\\A") + QChar(0xD800); // a lone surrogate
    library.paths[7] = QStringLiteral("\\") + QString(300, QLatin1Char('x')); // longer than a record's field
    library.paths[8] = QString(); // no such path
    library.paths[9] = QStringLiteral("\\Song ") + QChar(0xD83C) + QChar(0xDFB5); // a pair: one character
    LibraryReader reader(&library);
    PathRanges ranges(library);
    ranges.stored[6] = "\\A\xED\xA0\x80"; // as SQLite stores it
    ListedPathTexts byRanges(reader, &ranges);

    // Hits come folder by folder: ids mostly one after another, some again.
    std::vector<int> ids;
    for (int id = 0; id <= 200; ++id) ids.push_back(id);
    for (int id : {3, 150, 64, 65, 66, 1000, 999, 9})
        ids.push_back(id);
    std::vector<ListedPathTexts::Text> texts;
    for (const int id : ids) texts.push_back(byRanges.Of(id));
    // Ranges from ids 1, 65, 129, 193, 1000 and 999; alone, the paths the
    // ranges leave out or give in a form of their own (6, 7, 8).
    EXPECT_EQ(6, ranges.requests);
    EXPECT_EQ(3, library.pathLookups);
    EXPECT_EQ(E_INVALIDARG, reader.Failure()); // path 8, as its own look-up tells

    LibraryReader alone(&library);
    ListedPathTexts oneByOne(alone, nullptr);
    for (size_t i = 0; i < ids.size(); ++i) {
        const ListedPathTexts::Text& expected = oneByOne.Of(ids[i]);
        EXPECT_EQ(expected.utf8, texts[i].utf8) << ids[i];
        EXPECT_EQ(expected.exact, texts[i].exact) << ids[i];
    }
    EXPECT_FALSE(byRanges.Of(6).exact);
    EXPECT_EQ(size_t(kLibraryTextLength - 1), byRanges.Of(7).utf8.size()); // cut as a record's field is
}

} // namespace
