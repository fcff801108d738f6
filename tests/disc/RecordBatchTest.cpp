// Row texts and batch joints as the library engine receives them.
#include "RecordBatch.h"

#include <gtest/gtest.h>

TEST(RecordBatch, RowsQuoteTextsAndKeepPlaceholdersLiteral)
{
    EXPECT_EQ(RecordBatch::FileRow(7, "it's %1.txt", 1234567890123, "Plain 'text'", -5, 2, 3, 4, 5),
              "7, 'it''s %1.txt', 1234567890123, 'Plain ''text''', -5, 2, 3, 4, 5");
    EXPECT_EQ(RecordBatch::FolderRow(1, "DIR", 0, 99, 2, 3, 0, 0), "1, 'DIR', 0, 'Folder', 99, 2, 3, 0, 0");
    // The widest numbers, texts of apostrophes only, nothing, and beyond the first plane.
    EXPECT_EQ(RecordBatch::FileRow(2147483647, "''", INT64_MIN, "", INT64_MAX, -2147483647 - 1, 0, -1, 2147483647),
              "2147483647, '''''', -9223372036854775808, '', 9223372036854775807, -2147483648, 0, -1, 2147483647");
    EXPECT_EQ(RecordBatch::FileRow(1, QString::fromUtf8("'\xC3\x84 \xF0\x9F\x98\x80'"), 0, "t", 0, 1, 1, 1, 1),
              QString::fromUtf8("1, '''\xC3\x84 \xF0\x9F\x98\x80''', 0, 't', 0, 1, 1, 1, 1"));
    EXPECT_EQ(RecordBatch::Quote(""), "''");
    EXPECT_EQ(RecordBatch::PathRow(12, "\\A\\it's"), "12, '\\A\\it''s'");
    EXPECT_EQ(RecordBatch::TrackRow(3, 130000000000000000, 9, 1),
              "'Track03.cda', 1000, 'CDA File', 130000000000000000, 9, 1, 0, 0");
}

TEST(RecordBatch, JointsAndFullness)
{
    RecordBatch files, folders(true);
    files.Append("1");
    files.Append("2");
    EXPECT_EQ(files.Text(), " SELECT 1 UNION SELECT 2");
    folders.Append("1");
    EXPECT_EQ(folders.Text(), "  SELECT 1");
    for (int i = 3; i < RecordBatch::kMaxRows; ++i) files.Append("x");
    EXPECT_FALSE(files.IsFull()); // 599 rows
    files.Append("x");
    EXPECT_TRUE(files.IsFull());
    files.Clear();
    EXPECT_TRUE(files.IsEmpty());
    files.Append("y");
    EXPECT_EQ(files.Text(), " SELECT y");
}
