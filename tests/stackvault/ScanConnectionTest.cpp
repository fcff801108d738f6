// A connection opened for scans (its file read ahead in blocks) reads what
// a plain connection reads, and never what a block kept from before a
// change: a table larger than many blocks, rows deleted, changed and added
// by another connection between two of its read transactions.
#include "ReadAheadVfs.h"
#include "SqliteConnection.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace {

class ScanConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("scan.db"));
        ASSERT_EQ(S_OK, writer.Open(path, true));
        ASSERT_EQ(0, writer.Execute("CREATE TABLE rows(id INTEGER PRIMARY KEY, text TEXT NOT NULL)"));
        // Rows of other tables between, as a library's import leaves them.
        ASSERT_EQ(0, writer.Execute("CREATE TABLE other(text TEXT NOT NULL)"));
        ASSERT_EQ(0, writer.Execute("BEGIN"));
        for (int id = 1; id <= kRows; ++id) {
            const std::string text = "row " + std::to_string(id) + std::string(size_t(id % 200), 'x');
            ASSERT_EQ(0, writer.Execute(("INSERT INTO rows VALUES(" + std::to_string(id) + ",'" + text + "')").c_str()));
            if (id % 97 == 0) {
                ASSERT_EQ(0, writer.Execute("INSERT INTO other VALUES(hex(randomblob(300)))"));
            }
        }
        ASSERT_EQ(0, writer.Execute("COMMIT"));
        ASSERT_GT(QFileInfo(path).size(), 8 * ReadAheadVfs::kBlockBytes);
    }

    // Every row in id order, one text (compared whole: a failure prints no
    // difference of 40,000 lines); through `connection` in one read transaction.
    static std::string Scan(SqliteConnection& connection)
    {
        std::string all;
        auto query = connection.Statement("SELECT id, text FROM rows ORDER BY id");
        EXPECT_TRUE(query);
        if (!query) return all;
        while (query->Step() == 100) // SQLITE_ROW
            all.append(std::to_string(query->Int64(0))).append(query->TextView(1)).append("\n");
        return all;
    }

    static constexpr int kRows = 40000;
    QTemporaryDir folder;
    QString path;
    SqliteConnection writer;
};

TEST_F(ScanConnectionTest, ReadsWhatAPlainConnectionReadsBeforeAndAfterChanges)
{
    ASSERT_NE(nullptr, ReadAheadVfs::Name());
    SqliteConnection scanning, plain;
    ASSERT_EQ(S_OK, scanning.OpenForScans(path));
    ASSERT_EQ(S_OK, plain.OpenReadOnly(path));
    const std::string before = Scan(plain);
    EXPECT_TRUE(before == Scan(scanning));

    // The last row changed in place in the file: the block the scan read
    // last holds its page as it was.
    ASSERT_EQ(0, writer.Execute("UPDATE rows SET text = 'the last' WHERE id = (SELECT max(id) FROM rows)"));
    ASSERT_EQ(0, writer.Execute("PRAGMA wal_checkpoint(TRUNCATE)"));
    {
        auto last = scanning.Statement("SELECT text FROM rows ORDER BY id DESC LIMIT 1");
        ASSERT_TRUE(last);
        ASSERT_EQ(100, last->Step());
        EXPECT_EQ("the last", last->TextView(0));
    }

    // Changes spread over the file, some of them checkpointed into it.
    ASSERT_EQ(0, writer.Execute("DELETE FROM rows WHERE id % 7 = 0"));
    ASSERT_EQ(0, writer.Execute("UPDATE rows SET text = 'changed ' || text WHERE id % 11 = 0"));
    ASSERT_EQ(0, writer.Execute("PRAGMA wal_checkpoint(TRUNCATE)"));
    ASSERT_EQ(0, writer.Execute("UPDATE rows SET text = 'again' WHERE id % 13 = 0"));
    ASSERT_EQ(0, writer.Execute("INSERT INTO rows SELECT id + 100000, text FROM rows WHERE id < 5000"));
    const std::string after = Scan(plain);
    EXPECT_TRUE(before != after);
    EXPECT_TRUE(after == Scan(scanning));

    // A read transaction keeps its snapshot while another connection
    // writes and checkpoints; the next one sees the change.
    ASSERT_EQ(0, scanning.Execute("BEGIN"));
    EXPECT_TRUE(after == Scan(scanning));
    ASSERT_EQ(0, writer.Execute("DELETE FROM rows WHERE id % 3 = 0"));
    ASSERT_EQ(0, writer.Execute("PRAGMA wal_checkpoint(PASSIVE)"));
    EXPECT_TRUE(after == Scan(scanning));
    ASSERT_EQ(0, scanning.Execute("COMMIT"));
    const std::string last = Scan(plain);
    EXPECT_TRUE(after != last);
    EXPECT_TRUE(last == Scan(scanning));
}

} // namespace
