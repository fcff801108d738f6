#include "CDiscLabelDlg.h"

#include "CGStatic.h"
#include "EngineTestSupport.h"
#include "ModalSeam.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(DiscLabelDlg, ShowsTheDiscsLabelAtFullSizeOrNothing)
{
    UseFreshDatabase();
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("disclabel"));
    const QString teal = WritePicture(folder, "teal.png", 100, 0x008080);
    ASSERT_EQ(S_OK, engine->AddLabel(W(teal), W(teal), W(teal)));
    LONG labelId = 0;
    ASSERT_EQ(S_OK, engine->GetLastLabelId(&labelId));

    CDiscLabelDlg dialog(labelId, engine.get());
    ASSERT_TRUE(dialog.CreateModeless());
    const QImage shown = dialog.LabelControl()->Image();
    EXPECT_EQ(QSize(360, 360), shown.size());
    EXPECT_EQ(QColor(0x00, 0x80, 0x80), shown.pixelColor(180, 180));
    EXPECT_EQ(QRect(30, 60, 360, 360), dialog.LabelControl()->geometry());

    for (const LONG none : {LONG(0), LONG(-1), labelId + 10}) {
        CDiscLabelDlg empty(none, engine.get());
        ASSERT_TRUE(empty.CreateModeless());
        EXPECT_TRUE(empty.LabelControl()->Image().isNull()) << none;
    }
}

TEST(DiscLabelDlg, Command6044AndTheButtonsCloseIt)
{
    for (const auto& [command, result] : {std::pair{UINT(6044), int(IDCANCEL)}, std::pair{UINT(IDOK), int(IDOK)}}) {
        CDiscLabelDlg dialog(0, nullptr);
        ModalSeam::QueueAction([command = command](QDialog* window) {
            SendMessage(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            return ModalSeam::kWindowDecides;
        });
        EXPECT_EQ(result, dialog.DoModal()) << command;
    }
}

} // namespace
