// The CUE sheet parser on its own: what it accepts and what it refuses.
#include "CueSheet.h"
#include "TrellisInterfaces.h"

#include <gtest/gtest.h>

TEST(TrellisCueSheet, ReadsFilesTracksModesAndSessions)
{
    CueSheet sheet;
    std::string error;
    const char* text = "\xEF\xBB\xBF" "CATALOG 0000000000000\r\n"
                       "FILE \"name with blanks.bin\" BINARY\r\n"
                       "  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n"
                       "  track 02 audio\r\n    PREGAP 00:02:00\r\n    INDEX 01 01:02:03\r\n"
                       "REM SESSION 02\r\n"
                       "FILE second.bin BINARY\r\n  TRACK 03 MODE2/2336\r\n    INDEX 01 00:00:10\r\n";
    ASSERT_TRUE(CueSheet::Parse(text, sheet, &error)) << error;
    ASSERT_EQ(sheet.files.size(), 2u);
    EXPECT_EQ(sheet.files[0], "name with blanks.bin");
    EXPECT_EQ(sheet.files[1], "second.bin");
    ASSERT_EQ(sheet.tracks.size(), 3u);
    EXPECT_EQ(sheet.tracks[0].format, TRELLIS_TRACK_DATA_MODE1);
    EXPECT_EQ(sheet.tracks[0].dataOffset, 16u);
    EXPECT_TRUE(sheet.tracks[1].audio);
    EXPECT_EQ(sheet.tracks[1].pregap, 150u);
    EXPECT_EQ(sheet.tracks[1].index1, (1 * 60 + 2) * 75 + 3);
    EXPECT_EQ(sheet.tracks[2].file, 1u);
    EXPECT_EQ(sheet.tracks[2].sectorSize, 2336u);
    EXPECT_EQ(sheet.tracks[2].session, 2u);
}

TEST(TrellisCueSheet, RefusesSheetsThatDoNotFormADisc)
{
    const char* bad[] = {
        "",
        "REM only a remark\n",
        "TRACK 01 AUDIO\n INDEX 01 00:00:00\n",                                   // no FILE
        "FILE a.bin BINARY\n TRACK 01 AUDIO\n",                                    // no INDEX 01
        "FILE a.bin BINARY\n TRACK 01 WAVE/1234\n INDEX 01 00:00:00\n",            // unknown mode
        "FILE a.bin BINARY\n TRACK 00 AUDIO\n INDEX 01 00:00:00\n",                // track 0
        "FILE a.bin BINARY\n TRACK 100 AUDIO\n INDEX 01 00:00:00\n",               // track 100
        "FILE a.bin BINARY\n TRACK 01 AUDIO\n INDEX 01 00:60:00\n",                // 60 seconds
        "FILE a.bin BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:75\n",                // 75 frames
        "FILE a.bin BINARY\n TRACK 01 AUDIO\n INDEX 01 99999999999:00:00\n",       // absurd minutes
        "FILE a.bin BINARY\n TRACK 02 AUDIO\n INDEX 01 00:00:00\n TRACK 01 AUDIO\n INDEX 01 00:01:00\n",
        "FILE a.bin BINARY\n TRACK 01 AUDIO\n INDEX 01 00:02:00\n TRACK 02 AUDIO\n INDEX 01 00:01:00\n",
        "FILE\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n",
    };
    for (const char* text : bad) {
        CueSheet sheet;
        std::string error;
        EXPECT_FALSE(CueSheet::Parse(text, sheet, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    std::string many = "FILE a.bin BINARY\n";
    for (int i = 1; i <= 100; ++i) many += " TRACK " + std::to_string(i) + " AUDIO\n INDEX 01 00:00:00\n";
    CueSheet sheet;
    EXPECT_FALSE(CueSheet::Parse(many, sheet, nullptr));
}
