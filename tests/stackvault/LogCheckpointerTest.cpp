// The write-ahead log of a writing connection is copied into the database
// file by the checkpoint thread while it is attached, every row
// committed stays readable, and texts turned into UTF-8 for binding keep
// every character.
#include "LogCheckpointer.h"
#include "SqliteConnection.h"
#include "Utf16Text.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>

namespace {

constexpr int kPageBytes = 4096;

// One commit of four rows of a page each.
void CommitPages(SqliteConnection& writer, int commit)
{
    ASSERT_EQ(SQLITE_OK, writer.Execute("BEGIN"));
    for (int row = 0; row < 4; ++row) {
        auto insert = writer.Statement("INSERT INTO pages(id, text) VALUES(?1, ?2)");
        ASSERT_TRUE(insert);
        insert->Bind(1, commit * 4 + row);
        insert->BindUtf8(2, QByteArray(kPageBytes, char('a' + row)));
        ASSERT_EQ(SQLITE_DONE, insert->Run());
    }
    ASSERT_EQ(SQLITE_OK, writer.Execute("COMMIT"));
}

bool WaitForCheckpoints(const LogCheckpointer& checkpointer, int count)
{
    for (int wait = 0; wait < 3000 && checkpointer.CheckpointsDone() < count; ++wait) QThread::msleep(10);
    return checkpointer.CheckpointsDone() >= count;
}

TEST(LogCheckpointerTest, CopiesTheLogIntoTheDatabaseFileOnItsThreadWhileAttached)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("library.db"));
    SqliteConnection writer;
    ASSERT_EQ(S_OK, writer.Open(path, true));
    ASSERT_EQ(SQLITE_OK, writer.Execute("CREATE TABLE pages(id INTEGER PRIMARY KEY, text TEXT NOT NULL)"));
    constexpr int kCommits = LogCheckpointer::kStepPages / 4 + 50;
    {
        LogCheckpointer checkpointer(writer);
        ASSERT_TRUE(checkpointer.IsRunning());
        checkpointer.Attach();
        for (int commit = 0; commit < kCommits; ++commit) CommitPages(writer, commit);
        ASSERT_TRUE(WaitForCheckpoints(checkpointer, 1));
        // The pages of the first step are in the database file itself.
        EXPECT_GT(QFileInfo(path).size(), qint64(LogCheckpointer::kStepPages / 2) * kPageBytes);
        checkpointer.Detach();
        for (int commit = kCommits; commit < 2 * kCommits; ++commit) CommitPages(writer, commit);
    }
    // Whatever the thread and the writer copied, every row is there, also
    // for a connection opened after the writer closed.
    writer.Close();
    SqliteConnection reader;
    ASSERT_EQ(S_OK, reader.OpenReadOnly(path));
    auto count = reader.Statement("SELECT count(*), sum(length(text)) FROM pages");
    ASSERT_EQ(SQLITE_ROW, count->Step());
    EXPECT_EQ(8 * kCommits, count->Int64(0));
    EXPECT_EQ(int64_t(8) * kCommits * kPageBytes, count->Int64(1));
}

TEST(LogCheckpointerTest, WithoutItsConnectionTheWriterKeepsCheckpointingItself)
{
    SqliteConnection closed;
    LogCheckpointer checkpointer(closed);
    EXPECT_FALSE(checkpointer.IsRunning());
    checkpointer.Attach(); // nothing to attach to: no hook on a closed connection
    EXPECT_EQ(0, checkpointer.CheckpointsDone());
}

// ASCII, then a text whose first non-ASCII unit comes after ASCII ones, a
// pair of surrogates, and a shorter text into the same buffer.
TEST(Utf16TextTest, ToUtf8KeepsEveryCharacterAndReusesItsBuffer)
{
    std::string out;
    Utf16Text::ToUtf8(u"file10.dat", out);
    EXPECT_EQ("file10.dat", out);
    Utf16Text::ToUtf8(u"größe_Ä\U0001F600.txt", out);
    EXPECT_EQ(std::string("gr\xC3\xB6\xC3\x9F" "e_\xC3\x84\xF0\x9F\x98\x80.txt"), out);
    Utf16Text::ToUtf8(u"\u00E4", out);
    EXPECT_EQ(std::string("\xC3\xA4"), out);
    Utf16Text::ToUtf8(u"", out);
    EXPECT_TRUE(out.empty());
}

} // namespace
