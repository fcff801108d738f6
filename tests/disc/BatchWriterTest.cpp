// The walk's batch writer: batches reach the library in the order handed
// over, failures are reported by the next drain, and nothing queued is lost.
#include "BatchWriter.h"
#include "FakeEngines.h"

#include <gtest/gtest.h>

namespace {

LibraryImportHandle Handle() { return reinterpret_cast<LibraryImportHandle>(uintptr_t(7)); }

TEST(BatchWriter, StoresEveryBatchInOrderAndReportsFailuresOnce)
{
    FakeLibrary library;
    library.failing << "folders";
    BatchWriter writer(&library, Handle());
    for (int i = 0; i < 12; ++i) writer.Submit(&ILibraryEngine::InsertFileRows, QStringLiteral(" SELECT %1").arg(i));
    writer.Submit(&ILibraryEngine::InsertFolderRows, QStringLiteral("  SELECT 99"));
    writer.Submit(&ILibraryEngine::InsertPathRows, QStringLiteral(" SELECT 1, '\\A'"));
    EXPECT_EQ(writer.Drain(), E_FAIL); // the folder batch, though later ones went well
    ASSERT_EQ(library.calls.size(), 14u);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(library.calls[size_t(i)].batch, QStringLiteral(" SELECT %1").arg(i));
    EXPECT_EQ(library.calls[12].operation, QStringLiteral("folders"));
    EXPECT_EQ(library.knownPaths.value(QStringLiteral("\\A")), 1);
    EXPECT_EQ(writer.Drain(), S_OK);
}

TEST(BatchWriter, WhatIsQueuedIsStoredBeforeTheWriterGoes)
{
    FakeLibrary library;
    {
        BatchWriter writer(&library, Handle());
        for (int i = 0; i < 9; ++i) writer.Submit(&ILibraryEngine::InsertFileRows, QStringLiteral(" SELECT %1").arg(i));
    }
    EXPECT_EQ(library.CallsOf(QStringLiteral("files")).size(), 9u);
}

} // namespace
