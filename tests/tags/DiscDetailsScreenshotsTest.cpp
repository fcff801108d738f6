// Screenshots of the snapshot and label dialogs, for review.
#include "CDiscLabelDlg.h"
#include "CSnapshotDlg.h"
#include "DiscDetailsScreenshots.h"
#include "EngineTestSupport.h"
#include "FakeVideoCapture.h"
#include "ModalSeam.h"
#include "PictureFiles.h"
#include "TestEnvironment.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(DiscDetailsScreenshots, SnapshotDialogWithACameraFrameAndItsCapture)
{
    FakeVideoCapture* fake = nullptr;
    CSnapshotDlg::SetCaptureFactory([&fake] {
        auto capture = std::make_unique<FakeVideoCapture>();
        capture->devices = {QStringLiteral("USB 2.0 Camera"), QStringLiteral("Integrated Webcam")};
        fake = capture.get();
        return capture;
    });
    CSnapshotDlg dialog(nullptr, 0, nullptr);
    ASSERT_EQ(S_OK, dialog.prepare());
    ASSERT_TRUE(dialog.CreateModeless());
    fake->Feed(DiscDetailsScreenshots::Cover(640, 480));
    ASSERT_TRUE(dialog.Capture());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(DiscDetailsScreenshots::Save(dialog, QStringLiteral("snapshot-camera.png")));
    CSnapshotDlg::SetCaptureFactory({});
    ModalSeam::Reset();
}

TEST(DiscDetailsScreenshots, SnapshotDialogWithoutACamera)
{
    CSnapshotDlg::SetCaptureFactory([] { return std::make_unique<FakeVideoCapture>(); });
    CSnapshotDlg dialog(nullptr, 0, nullptr);
    ModalSeam::QueueAnswer(IDOK);
    dialog.prepare();
    ASSERT_TRUE(dialog.CreateModeless());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(DiscDetailsScreenshots::Save(dialog, QStringLiteral("snapshot-no-camera.png")));
    CSnapshotDlg::SetCaptureFactory({});
    ModalSeam::Reset();
}

TEST(DiscDetailsScreenshots, DiscLabelDialog)
{
    UseFreshDatabase();
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("label-shot"));
    const QString path = folder + "/label.png";
    ASSERT_TRUE(DiscDetailsScreenshots::Cover(360, 360).save(path));
    ASSERT_EQ(S_OK, engine->AddLabel(W(path), W(path), W(path)));
    LONG labelId = 0;
    ASSERT_EQ(S_OK, engine->GetLastLabelId(&labelId));
    CDiscLabelDlg dialog(labelId, engine.get());
    ASSERT_TRUE(dialog.CreateModeless());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(DiscDetailsScreenshots::Save(dialog, QStringLiteral("disclabel.png")));
}

} // namespace
