#include "LayoutScale.h"

#include "Registry.h"
#include "TestEnvironment.h"
#include "UiScale.h"

#include <gtest/gtest.h>

LayoutScale::LayoutScale(bool oneAndAHalf)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13", 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const DWORD aware = oneAndAHalf ? 1 : 0;
    RegSetValueExW(key, u"EnableDPIAware", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&aware), sizeof aware);
    RegCloseKey(key);
    UiScaleRules::ForgetSetting();
    UiScaleRules::OverrideLogicalDpi(oneAndAHalf ? 144 : 96);
    EXPECT_DOUBLE_EQ(GetUiScale(), oneAndAHalf ? 1.5 : 1.0);
}

LayoutScale::~LayoutScale()
{
    UiScaleRules::OverrideLogicalDpi(0);
    TestEnvironment::ResetRegistry();
    UiScaleRules::ForgetSetting();
}
