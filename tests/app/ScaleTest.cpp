// The window at 144 logical pixels per inch with "EnableDPIAware" set: the
// fixed sizes of the layout grow by half.
#include "CAlbCommandView.h"
#include "CAlbireoApp.h"
#include "CGButton.h"
#include "CMainFrame.h"
#include "CTagView.h"
#include "CatalogueFixture.h"
#include "LayoutScale.h"
#include "PowerNotices.h"
#include "ScreenshotDir.h"
#include "TestEnvironment.h"
#include "UiScale.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(WindowScaleTest, AtOneAndAHalfTheBarIs39HighTheTagPane315WideAndTheMinimumWidth675)
{
    CatalogueFixture catalogue;
    catalogue.Import("Holiday 2024", {{"DCIM/IMG_4001.JPG", 2048}}, {"Photo"});
    catalogue.Import("Backup March", {{"docs/report.pdf", 70000}}, {"Document"});
    CatalogueFixture::ResetProgramState();
    const LayoutScale scale(true);
    UiScaleRules::OverrideLogicalDpi(120);
    EXPECT_DOUBLE_EQ(GetDpiFactor(false), 1.25);
    EXPECT_DOUBLE_EQ(GetUiScale(), 1.0) << "120 dpi keeps the layout as it is";
    UiScaleRules::OverrideLogicalDpi(144);
    ASSERT_DOUBLE_EQ(GetUiScale(), 1.5);

    CAlbireoApp app({"albireo"});
    app.SetPowerNotices(std::make_unique<PowerNotices>());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    EXPECT_EQ(frame->CommandView()->height(), 39);
    EXPECT_EQ(frame->TagView()->width(), 315);
    EXPECT_EQ(frame->minimumWidth(), 675);
    EXPECT_EQ(frame->CommandView()->GetButton(0)->height(), 34) << "23 x 1.5, cut to whole pixels";
    ScreenshotDir::Save(frame, "main-window-150");
    app.ExitInstance();
}

} // namespace
