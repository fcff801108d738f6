// Diagnostic lines: prefix, the 520-character buffer, and the DumpMsg switch.
#include "Diagnostics.h"
#include "Registry.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <string>

TEST(Diagnostics, FormatsIntoFiveHundredTwentyCharactersWithPrefix)
{
    char line[520];
    FormatDiagLine(line, "UpgradeDlg", "%s %d", "code", 7);
    EXPECT_STREQ(line, "[UpgradeDlg] code 7");
    const std::string longText(2000, 'x');
    FormatDiagLine(line, "C", "%s", longText.c_str());
    EXPECT_EQ(std::string(line).size(), 519u);
}

TEST(Diagnostics, WritesOnlyWhenTheMachineSettingIsTrue)
{
    TestEnvironment::ResetRegistry();
    qunsetenv("ALBIREO_DUMPMSG");
    testing::internal::CaptureStderr();
    DumpMsg("Quiet", "not shown");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13", 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const DWORD on = 1;
    RegSetValueExW(key, u"DumpMsg", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), 4);
    RegCloseKey(key);
    ResetDumpMsgSetting();
    testing::internal::CaptureStderr();
    DumpMsg("Loud", "shown %d", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Loud] shown 1\n");
    ResetDumpMsgSetting();
}
