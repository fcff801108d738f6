// Identity texts from fixed inputs, in each of the three formats, and the
// failures for missing inputs.
#include "CDiscIdentity.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class DiscIdentityTest : public ::testing::Test {
protected:
    void SetUp() override { CDiscIdentity::SetTraceStream(nullptr); }
    void TearDown() override { CDiscIdentity::SetTraceStream(stdout); }

    static VolumeTimeStamp Time(WORD typeAndZone)
    {
        VolumeTimeStamp t{};
        t.typeAndZone = typeAndZone;
        t.year = 2024;
        t.month = 3;
        t.day = 5;
        t.hour = 6;
        t.minute = 7;
        t.second = 8;
        return t;
    }
    static std::string Identity(CDiscIdentity& identity, HRESULT expected = S_OK)
    {
        char buffer[33] = {};
        EXPECT_EQ(identity.GetIdentity(buffer, sizeof buffer), expected);
        return buffer;
    }
};

TEST_F(DiscIdentityTest, DataDiscFormatCarriesTimePartitionAndSessions)
{
    CDiscIdentity identity;
    identity.SetUsedType(CDiscIdentity::DataDisc);
    identity.SetTrkCnt(1);
    identity.SetDiscType(0x10); // DVD-ROM: bit length 5
    identity.SetFSType(3);
    identity.SetTimeStamp(Time(0x1000 | 60));
    identity.SetPartSize(0x12345);
    identity.SetSessionCnt(1);
    EXPECT_EQ(Identity(identity), "10105303C202403050607080012345" "01");
}

TEST_F(DiscIdentityTest, AudioDiscDependsOnlyOnTrackLayout)
{
    const DWORD starts[] = {150, 20000, 41000};
    CDiscIdentity a;
    a.SetTrackStarts(starts, 3);
    a.SetUsedType(CDiscIdentity::AudioDisc);
    a.SetDiscType(0x1);
    // Bit length 1, then the keyed digest of "150F20000F41000".
    EXPECT_EQ(Identity(a), "40301vWl7M5PW1NnlKFR6f6BhfGSFg9c");
    EXPECT_EQ(CDiscIdentity::TrackText({150, 20000, 41000}), "150F20000F41000");

    CDiscIdentity b; // a different drive reading the same disc, other inputs set too
    b.SetUsedType(CDiscIdentity::AudioDisc);
    b.SetDiscType(0x1);
    b.SetSessionCnt(7);
    b.SetTrackStarts(starts, 3);
    EXPECT_EQ(Identity(b), Identity(a));

    const DWORD moved[] = {150, 20001, 41000};
    b.SetTrackStarts(moved, 3);
    EXPECT_NE(Identity(b), Identity(a));
}

TEST_F(DiscIdentityTest, ModeTwoCdUsesTimeAndNineDigestCharacters)
{
    const DWORD starts[] = {150, 20000, 41000};
    CDiscIdentity identity;
    identity.SetTrackStarts(starts, 3);
    identity.SetUsedType(CDiscIdentity::CdMode2);
    identity.SetDiscType(0x2);
    identity.SetFSType(1);
    identity.SetTimeStamp(Time(0x1001));
    identity.SetPartSize(1000);
    EXPECT_EQ(Identity(identity), "20302100120240305060708vWl7M5PW1");
}

TEST_F(DiscIdentityTest, MissingInputsFail)
{
    CDiscIdentity none;
    EXPECT_EQ(Identity(none, E_NOTIMPL), "");
    none.SetUsedType(5);
    EXPECT_EQ(Identity(none, E_NOTIMPL), "");

    CDiscIdentity noTime;
    noTime.SetUsedType(CDiscIdentity::DataDisc);
    noTime.SetDiscType(0x10);
    noTime.SetFSType(1);
    noTime.SetTimeStamp(Time(0)); // a disc without time has no identity
    EXPECT_EQ(Identity(noTime, E_FAIL), "");
    EXPECT_EQ(noTime.GetIdentity(nullptr, 33), E_POINTER);

    CDiscIdentity noPartition;
    noPartition.SetUsedType(CDiscIdentity::CdInteractive);
    noPartition.SetTrkCnt(1);
    noPartition.SetDiscType(0x1);
    noPartition.SetFSType(1);
    noPartition.SetTimeStamp(Time(0x1000));
    EXPECT_EQ(Identity(noPartition, E_FAIL), "");

    CDiscIdentity audioWithoutType;
    audioWithoutType.SetUsedType(CDiscIdentity::AudioDisc);
    audioWithoutType.SetTrkCnt(2);
    EXPECT_EQ(Identity(audioWithoutType, E_FAIL), "");
}

TEST_F(DiscIdentityTest, SettersTraceOneLineEach)
{
    char* text = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&text, &size);
    CDiscIdentity::SetTraceStream(stream);
    CDiscIdentity identity;
    identity.SetUsedType(4);
    identity.SetTimeStamp(Time(1));
    CDiscIdentity::SetTraceStream(nullptr);
    std::fclose(stream);
    EXPECT_STREQ(text, "SetUsedType = 00000004\nSetTimeStamp = 2024\n");
    std::free(text);
}

} // namespace
