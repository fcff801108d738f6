// The window at 144 logical pixels per inch with "EnableDPIAware" set: the
// fixed sizes of the layout grow by half, and the texts with them. On dense
// screens (a desktop scaled to 150 % or 200 %: run at QT_SCALE_FACTOR by
// the app_dense_screen tests) the layout stays as it is and every picture
// comes at least as dense as the screen.
#include "CAlbCommandView.h"
#include "CAlbListCtrl.h"
#include "CAlbireoApp.h"
#include "CAlphaStatic.h"
#include "CArcEditWrapper.h"
#include "CFileListView.h"
#include "CGButton.h"
#include "CGEdit.h"
#include "CMainFrame.h"
#include "CTagView.h"
#include "CatalogueFixture.h"
#include "EventualAssert.h"
#include "LayoutScale.h"
#include "PowerNotices.h"
#include "ScreenshotDir.h"
#include "SkinImage.h"
#include "TestEnvironment.h"
#include "UiScale.h"
#include "WindowPlacement.h"

#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// The list's column that shows `text` in some row, or -1.
int ColumnShowing(const CAlbListCtrl* list, const QString& text)
{
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->index(row, column).data().toString() == text) return column;
    return -1;
}

// How many pixel rows of a column title carry its text's ink, as drawn.
int InkRowsOfTitle(QHeaderView* header, int section)
{
    const QImage drawn = header->grab().toImage();
    const int left = header->sectionViewportPosition(section);
    int rows = 0;
    for (int y = 2; y < drawn.height() - 2; ++y) {
        bool inked = false;
        for (int x = left + 2; x < left + header->sectionSize(section) - 2 && !inked; ++x)
            inked = qGray(drawn.pixel(x, y)) < 128;
        rows += inked;
    }
    return rows;
}

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
    // The texts grow with the layout: the list, its header, the location and the search box.
    const CAlbListCtrl* list = frame->FileListView()->List();
    EXPECT_EQ(list->font().pixelSize(), 18);
    EXPECT_EQ(list->horizontalHeader()->font().pixelSize(), 18);
    // Drawn at that size too: no style sheet above the list keeps its 1.0 face.
    EXPECT_GE(InkRowsOfTitle(list->horizontalHeader(), 0), 12) << "the 12-pixel face inks about 9 rows";
    EXPECT_GE(list->verticalHeader()->defaultSectionSize(), QFontMetrics(list->font()).height());
    EXPECT_EQ(frame->LocationLabel()->font().pixelSize(), 18);
    EXPECT_GE(frame->LocationLabel()->height(), 24);
    const CArcEditWrapper* search = frame->SearchBox();
    EXPECT_EQ(search->size(), QSize(354, 30)) << "236 x 20 grown by half";
    EXPECT_GE(search->Edit()->font().pixelSize(), 15);
    EXPECT_GE(search->Edit()->height(), 24);
    EXPECT_LE(search->geometry().bottom(), frame->CommandView()->height()) << "the box stays inside its bar";
    EXPECT_TRUE(search->mask().contains(QPoint(177, 15)));
    EXPECT_FALSE(search->mask().contains(QPoint(0, 0))) << "the rounded end is cut at its grown size";
    EXPECT_GE(search->Button()->Picture().devicePixelRatio(), 1.5) << "grown by half, drawn from a denser picture";
    ScreenshotDir::Save(frame, "main-window-150");
    app.ExitInstance();
}


TEST(WindowScaleTest, APlacementTakenAtAnotherDesktopScaleIsFittedToTheScreen)
{
    const QRect screen(0, 0, 960, 540);
    const QSize minimum(450, 320);
    EXPECT_EQ(WindowPlacement::FitTo(QRect(100, 50, 800, 400), screen, minimum), QRect(100, 50, 800, 400))
        << "a rectangle that fits stays";
    EXPECT_EQ(WindowPlacement::FitTo(QRect(200, 100, 1800, 1000), screen, minimum), QRect(0, 0, 960, 540))
        << "taken at 100 %, opened at 200 %: the screen, no more";
    EXPECT_EQ(WindowPlacement::FitTo(QRect(900, 500, 500, 400), screen, minimum), QRect(460, 140, 500, 400))
        << "moved back onto the screen";
    EXPECT_EQ(WindowPlacement::FitTo(QRect(-3000, 40, 600, 400), QRect(1920, 0, 300, 200), minimum),
              QRect(1920, 0, 450, 320))
        << "never below the minimum, on the screen's corner";
    EXPECT_EQ(WindowPlacement::DefaultSize(1.0, QRect(0, 0, 2560, 1440)), QSize(1024, 668));
    EXPECT_EQ(WindowPlacement::DefaultSize(1.5, QRect(0, 0, 2560, 1410)), QSize(1536, 1002)) << "grown with the layout";
    EXPECT_EQ(WindowPlacement::DefaultSize(1.5, QRect(0, 0, 1280, 770)), QSize(1280, 770)) << "as far as the screen allows";
    EXPECT_EQ(WindowPlacement::DefaultSize(1.5, QRect(0, 0, 800, 600)), QSize(1024, 668)) << "never below the standard size";

    CatalogueFixture catalogue;
    CatalogueFixture::ResetProgramState();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect larger(available.x() + 30, available.y() + 20, available.width() + 400, available.height() + 300);
    const int percent = qRound(QGuiApplication::primaryScreen()->devicePixelRatio() * 100);
    for (const int stored : {percent, percent + 100}) {
        ASSERT_TRUE((WindowPlacement{larger, false, stored}.Write()));
        auto app = std::make_unique<CAlbireoApp>(QStringList{QStringLiteral("albireo")});
        app->SetPowerNotices(std::make_unique<PowerNotices>());
        ASSERT_TRUE(app->InitInstance());
        CMainFrame* frame = app->MainFrame();
        if (stored == percent) {
            EXPECT_EQ(frame->geometry(), larger) << "the desktop's scale is the same: the rectangle as stored";
        } else {
            EXPECT_EQ(frame->geometry(), WindowPlacement::FitTo(larger, available, frame->minimumSize()));
            EXPECT_TRUE(available.contains(frame->geometry()));
        }
        frame->close();
        app->ExitInstance();
        EXPECT_EQ(WindowPlacement::Read()->scalePercent, percent) << "saved with the scale it was taken at";
    }
}

TEST(DenseScreenTest, EveryPaneDrawsFromPicturesAtLeastAsDenseAsTheScreenAndTheLayoutStays)
{
    const qreal screen = QGuiApplication::primaryScreen()->devicePixelRatio();
    if (screen <= 1.0) GTEST_SKIP() << "a dense screen is needed: app_dense_screen_150 and _200 run this";
    CatalogueFixture catalogue;
    catalogue.Import("Recovery Disc 2019", {{"track01.flac", 9000}}, {"Music"});
    catalogue.Import("Holiday 2024", {{"DCIM/IMG_4001.JPG", 2048}}, {"Photo"});
    auto app = CatalogueFixture::StartProgram();
    ASSERT_TRUE(app);
    CMainFrame* frame = app->MainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    EXPECT_EQ(frame->devicePixelRatio(), screen);

    // The layout in logical pixels, as on a plain screen.
    EXPECT_DOUBLE_EQ(GetUiScale(), 1.0);
    EXPECT_EQ(frame->CommandView()->height(), 26);
    EXPECT_EQ(frame->TagView()->width(), 210);
    EXPECT_EQ(frame->minimumSize(), QSize(450, 320));
    EXPECT_EQ(frame->SearchBox()->size(), QSize(236, 20));
    EXPECT_EQ(frame->CommandView()->GetButton(0)->size(), QSize(23, 23));
    EXPECT_EQ(frame->ButtonRect(CGXTFrameWnd::HitClose).size(), QSize(30, 24));

    // Every picture the window reads for its panes is at least as dense as the screen.
    const auto pictures = SkinImage::LoadedForScreens();
    EXPECT_GE(pictures.size(), 15) << "the frame, the bar, the search box, the tag pane and the list";
    for (const auto& [path, ratio] : pictures) EXPECT_GE(ratio, screen) << qPrintable(path);

    // The disc names read whole, the columns filling the list as on a plain screen.
    frame->resize(1024, 668);
    const CAlbListCtrl* list = frame->FileListView()->List();
    const QString name = QStringLiteral("Recovery Disc 2019");
    ASSERT_EVENTUALLY(ColumnShowing(list, name) >= 0);
    EXPECT_GE(list->columnWidth(ColumnShowing(list, name)), QFontMetrics(list->font()).horizontalAdvance(name) + 8);
    int columns = 0;
    for (int column = 0; column < list->model()->columnCount(); ++column) columns += list->columnWidth(column);
    EXPECT_LE(std::abs(list->viewport()->width() - columns), 4);

    const QPixmap shot = frame->grab();
    EXPECT_EQ(shot.devicePixelRatio(), screen);
    EXPECT_EQ(shot.size(), frame->size() * screen);
    ScreenshotDir::Save(frame, QStringLiteral("main-window-dense-%1").arg(qRound(screen * 100)));
    frame->close();
    app->ExitInstance();
}

} // namespace
