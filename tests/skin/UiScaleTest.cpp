#include "DwordReg.h"
#include "Registry.h"
#include "TestEnvironment.h"
#include "UiScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

TEST(UiScale, ScaleIsOneAndAHalfOnlyFromOneAndAHalfWhenAware)
{
    EXPECT_DOUBLE_EQ(UiScaleRules::DpiFactor(true, false, 144), 1.5);
    EXPECT_DOUBLE_EQ(UiScaleRules::UiScale(true, 1.5), 1.5);
    EXPECT_DOUBLE_EQ(UiScaleRules::DpiFactor(true, false, 120), 1.25);
    EXPECT_DOUBLE_EQ(UiScaleRules::UiScale(true, 1.25), 1.0);
    EXPECT_DOUBLE_EQ(UiScaleRules::UiScale(true, 2.0), 1.5);
    EXPECT_DOUBLE_EQ(UiScaleRules::DpiFactor(false, false, 144), 1.0);
    EXPECT_DOUBLE_EQ(UiScaleRules::DpiFactor(false, true, 144), 1.5);
    EXPECT_DOUBLE_EQ(UiScaleRules::UiScale(false, 1.5), 1.0);
}

TEST(UiScale, FollowsTheMachineSettingReadOncePerProcess)
{
    TestEnvironment::ResetRegistry();
    UiScaleRules::ForgetSetting();
    const double screen = QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 96.0;
    EXPECT_DOUBLE_EQ(GetDpiFactor(false), 1.0);
    EXPECT_DOUBLE_EQ(GetDpiFactor(true), screen);

    DwordReg aware(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13", u"EnableDPIAware");
    aware = 1;
    ASSERT_TRUE(aware.Write());
    EXPECT_DOUBLE_EQ(GetDpiFactor(false), 1.0) << "the setting was read already";
    UiScaleRules::ForgetSetting();
    EXPECT_DOUBLE_EQ(GetDpiFactor(false), screen);
    EXPECT_DOUBLE_EQ(GetUiScale(), UiScaleRules::UiScale(true, screen));
    UiScaleRules::ForgetSetting();
}
