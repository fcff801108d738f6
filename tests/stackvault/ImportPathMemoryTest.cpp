// What an import remembers of the library's paths, and what of it is
// answered without reading the library.
#include "ImportPathMemory.h"

#include <gtest/gtest.h>

namespace {

using Answer = ImportPathMemory::Answer;

TEST(ImportPathMemory, KnownAnswersOnlyWhatNeedsNoReadOfTheLibrary)
{
    ImportPathMemory memory;
    EXPECT_EQ(Answer::Unknown, memory.Known(u"\\A").answer);
    memory.Referenced(u"\\A", 7);
    EXPECT_EQ(Answer::Referenced, memory.Known(u"\\A").answer);
    EXPECT_EQ(7, memory.Known(u"\\A").id);

    // Below a folder whose stored paths were not read, even a path noted
    // as missing waits for that read.
    memory.Missing(u"\\A\\B");
    EXPECT_EQ(Answer::Missing, memory.Find(u"\\A\\B").answer);
    EXPECT_EQ(Answer::Unknown, memory.Known(u"\\A\\B").answer);
    memory.Stored(u"\\A\\C", 9);
    memory.FolderRead(u"\\A");
    EXPECT_EQ(Answer::Missing, memory.Known(u"\\A\\B").answer);
    EXPECT_EQ(Answer::Missing, memory.Known(u"\\A\\X\\Y").answer);
    EXPECT_EQ(Answer::Stored, memory.Known(u"\\A\\C").answer);
    memory.Referenced(u"\\A\\C", 9);
    EXPECT_EQ(Answer::Referenced, memory.Known(u"\\A\\C").answer);

    memory.Forget();
    EXPECT_EQ(Answer::Unknown, memory.Known(u"\\A").answer);
    EXPECT_EQ(Answer::Unknown, memory.Known(u"\\A\\C").answer);
}

} // namespace
