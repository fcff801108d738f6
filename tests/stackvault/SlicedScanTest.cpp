// A listing's scan split into slices of ids that the worker and a helper
// thread scan at once: every hit once, in id order, from the worker's
// snapshot of the library even when the library changed before the helper
// opened its own connection (it then leaves every slice to the worker).
#include "ILibraryListings.h"
#include "ListingWorker.h"
#include "NameSearch.h"
#include "SqliteConnection.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 20000;
constexpr char kNothing[] = "SELECT 0 WHERE 0";

class SlicedScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("sliced.db"));
        ASSERT_EQ(S_OK, writer.Open(path, true));
        ASSERT_EQ(0, writer.Execute("CREATE TABLE library_changes(generation INTEGER NOT NULL)"));
        ASSERT_EQ(0, writer.Execute("INSERT INTO library_changes VALUES(1)"));
        ASSERT_EQ(0, writer.Execute("CREATE TABLE rows(id INTEGER PRIMARY KEY, name TEXT NOT NULL)"));
        ASSERT_EQ(0, writer.Execute("BEGIN"));
        for (int id = 1; id <= kRows; ++id)
            ASSERT_EQ(0, writer.Execute(("INSERT INTO rows VALUES(" + std::to_string(id) + ",'Row " +
                                         std::to_string(id) + "')").c_str()));
        ASSERT_EQ(0, writer.Execute("COMMIT"));
    }

    // The rows whose name holds "5", found in slices of 16 ids up to 4,096;
    // `changeFirst` runs as the worker binds its statement, after it took
    // its snapshot and before its helper starts.
    std::array<ListingStep, ListingWorker::kKinds> Steps(std::function<void()> changeFirst)
    {
        auto bind = [changeFirst, bound = false](SqliteStatement& query) mutable {
            if (!bound && changeFirst) changeFirst();
            bound = true;
            query.BindUtf8(2, QByteArrayLiteral("5"));
        };
        // As the engine scans: each slice ends at the first row past it.
        ListingStep files{"SELECT 1 FROM rows f WHERE f.id >= ?4 AND sv_found_if(?3, ?2, ?5, f.id, f.name, 0, 0) "
                          "ORDER BY f.id",
                          bind, true, "SELECT (SELECT id FROM rows ORDER BY id LIMIT 1), "
                                      "(SELECT id FROM rows ORDER BY id DESC LIMIT 1)",
                          16, 4096};
        return {ListingStep{kNothing, {}}, files};
    }

    // Every entry in listing order, as a reader that takes them in turn gets them.
    static std::vector<int32_t> ReadAll(ListingWorker& worker)
    {
        std::vector<int32_t> ids;
        std::vector<ListedEntry> entries(1000);
        std::vector<char> names(1 << 16);
        for (;;) {
            LibraryListingCounts counts{};
            const HRESULT waited = worker.Wait(int(ids.size()) + 1, 10000, &counts);
            EXPECT_TRUE(SUCCEEDED(waited));
            const size_t taken = worker.Listed()->Take(1, int(ids.size()), entries.data(), entries.size(),
                                                       names.data(), names.size());
            for (size_t i = 0; i < taken; ++i) {
                const std::string_view name(names.data() + entries[i].nameOffset, entries[i].nameBytes);
                EXPECT_EQ("Row " + std::to_string(entries[i].id), name);
                ids.push_back(entries[i].id);
            }
            if (taken == 0 && waited != S_FALSE) return ids;
        }
    }

    static std::vector<int32_t> Expected()
    {
        std::vector<int32_t> ids;
        for (int id = 1; id <= kRows; ++id)
            if (std::to_string(id).find('5') != std::string::npos) ids.push_back(id);
        return ids;
    }

    QTemporaryDir folder;
    QString path;
    SqliteConnection writer;
};

TEST_F(SlicedScanTest, AHelperNeverScansALaterSnapshotThanTheWorkers)
{
    // Rows deleted (and the change count raised) once the worker's snapshot
    // is taken: the listing still holds them all.
    ListingWorker worker(path, Steps([&] {
                             EXPECT_EQ(0, writer.Execute("DELETE FROM rows WHERE id > 1000"));
                             EXPECT_EQ(0, writer.Execute("UPDATE library_changes SET generation = generation + 1"));
                         }),
                         {0, -1});
    EXPECT_EQ(Expected(), ReadAll(worker));
}

} // namespace
