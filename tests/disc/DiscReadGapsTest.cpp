// The texts of an incomplete read, from the English resource module as the
// program shows them, and what an import records with an engine that
// cannot keep it.
#include "DiscReadGaps.h"
#include "FakeEngines.h"
#include "ImportRecord.h"
#include "StringResources.h"

#include <gtest/gtest.h>

namespace {

class DiscReadGapsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceHandle(ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll")));
        ASSERT_NE(GetResourceHandle(), nullptr);
    }
    void TearDown() override { SetResourceHandle(nullptr); }
};

} // namespace

TEST_F(DiscReadGapsTest, ACutImageSaysHowMuchWasMissedAndWhy)
{
    const DiscReadGaps gaps(DiscGapRecord{4600, 93160, int32_t(TRELLIS_GAP_SHORT_IMAGE | TRELLIS_GAP_BEYOND_END), 0,
                                          1572864, 33554432});
    EXPECT_TRUE(gaps.IsIncomplete());
    const QString message = gaps.ImportMessage();
    EXPECT_TRUE(message.contains("Folders that could not be read: 4600")) << qPrintable(message);
    EXPECT_TRUE(message.contains("Files that could not be read: 93160"));
    EXPECT_TRUE(message.contains("catalogued without what could not be read"));
    EXPECT_TRUE(message.endsWith("The image file is shorter than the disc it describes: 1.5 MB of 32 MB."));
    EXPECT_FALSE(message.contains("beyond the end")) << "the cut image explains it";
    const QString reason = gaps.ReasonText();
    EXPECT_TRUE(reason.contains("4600") && reason.contains("93160"));
    EXPECT_TRUE(reason.endsWith("1.5 MB of 32 MB."));
}

TEST_F(DiscReadGapsTest, EveryCauseHasItsLineAndACompleteReadNone)
{
    const DiscReadGaps damaged(DiscGapRecord{2, 0,
                                             int32_t(TRELLIS_GAP_BEYOND_END | TRELLIS_GAP_READ_ERROR |
                                                     TRELLIS_GAP_DAMAGED | TRELLIS_GAP_LOOP | TRELLIS_GAP_LIMIT),
                                             0, 0, 0});
    EXPECT_EQ(damaged.ReasonText().count('\n'), 2 + 5);
    EXPECT_TRUE(damaged.ReasonText().contains("beyond the end of the disc"));

    // A cut image whose missing end held nothing catalogued is complete.
    const DiscReadGaps padding(DiscGapRecord{0, 0, int32_t(TRELLIS_GAP_SHORT_IMAGE), 0, 1000 * 2048, 1150 * 2048});
    EXPECT_FALSE(padding.IsIncomplete());
    EXPECT_FALSE(DiscReadGaps().IsIncomplete());
}

TEST_F(DiscReadGapsTest, SizesReadAsPeopleWriteThem)
{
    EXPECT_EQ(DiscReadGaps::SizeText(0), "0 KB");
    EXPECT_EQ(DiscReadGaps::SizeText(700 * 1024), "700 KB");
    EXPECT_EQ(DiscReadGaps::SizeText(1536 * 1024), "1.5 MB");
    EXPECT_EQ(DiscReadGaps::SizeText(32LL << 20), "32 MB");
    EXPECT_EQ(DiscReadGaps::SizeText(4700LL << 20), "4.6 GB");
    EXPECT_EQ(DiscReadGaps::SizeText(25LL << 30), "25 GB");
}

TEST_F(DiscReadGapsTest, AnEngineWithoutTheRecordCannotReplaceButStillImports)
{
    FakeLibrary library;
    const DiscReadGaps gaps(DiscGapRecord{1, 1, int32_t(TRELLIS_GAP_DAMAGED), 0, 0, 0});
    EXPECT_EQ(ImportRecord::Note(&library, reinterpret_cast<LibraryImportHandle>(1), 7, 0, gaps), S_OK);
    EXPECT_EQ(ImportRecord::Note(&library, reinterpret_cast<LibraryImportHandle>(1), 7, 3, gaps), E_NOINTERFACE);
    FakeReader reader; // a reader that cannot tell reports nothing
    EXPECT_FALSE(DiscReadGaps::OfReader(&reader).IsIncomplete());
    EXPECT_FALSE(DiscReadGaps::OfDisc(&library, 7).IsIncomplete());
}
