#include "CSnapshotDlg.h"

#include "CFlwMessageBox.h"
#include "CGButton.h"
#include "CGComboBox.h"
#include "CGStatic.h"
#include "EngineTestSupport.h"
#include "FakeVideoCapture.h"
#include "ModalSeam.h"
#include "PictureFileReader.h"
#include "PictureFiles.h"
#include "PrivateTempFolder.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Runs the snapshot dialog with a fake capture facility and answers the
// modal runs it starts.
class SnapshotDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ModalSeam::Reset();
        folder = TestEnvironment::MakeFolder(QStringLiteral("snapshot"));
        CSnapshotDlg::SetCaptureFactory([this] {
            auto capture = std::make_unique<FakeVideoCapture>();
            capture->devices = cameras;
            fake = capture.get();
            return capture;
        });
    }
    void TearDown() override
    {
        CSnapshotDlg::SetCaptureFactory({});
        QFile::remove(PrivateTempFolder::Path() + "SnapShot.png");
        ModalSeam::Reset();
    }

    QString Picture(const QString& name, const QByteArray& data) { return PictureFiles::Write(folder + "/" + name, data); }
    static std::vector<UINT> MessagesShown()
    {
        std::vector<UINT> ids;
        for (const ModalRecord& record : ModalSeam::Shown())
            if (record.kind == QLatin1String("MessageBox")) ids.push_back(record.textId);
        return ids;
    }
    // The next file chooser picks `path`.
    static void ChooseFile(const QString& path)
    {
        ModalSeam::QueueAction([path](QDialog* window) {
            auto* chooser = qobject_cast<QFileDialog*>(window);
            if (!chooser) return int(IDCANCEL);
            // The path typed as a user would; ended as accepted directly, as
            // accept() checks the name against the folder model, which
            // fills in the background.
            auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) return int(IDCANCEL);
            name->setText(path);
            static_cast<QDialog*>(chooser)->done(QDialog::Accepted);
            return ModalSeam::kWindowDecides;
        });
    }

    QStringList cameras;
    FakeVideoCapture* fake = nullptr;
    QString folder;
};

TEST_F(SnapshotDlgTest, WithoutACameraItSaysSoAndAPictureFileBecomesTheSnapshot)
{
    CSnapshotDlg dialog(nullptr, 0, nullptr);
    ModalSeam::QueueAnswer(IDOK);
    EXPECT_EQ(S_FALSE, dialog.prepare()) << "the picture file still serves";
    EXPECT_EQ(std::vector<UINT>{IDS_MSG_NO_CAPTURE_DEVICE}, MessagesShown());
    EXPECT_EQ(QString::fromLatin1(CFlwMessageBox::kWarningIcon), ModalSeam::Shown().back().iconPath);
    ASSERT_TRUE(dialog.CreateModeless());
    EXPECT_EQ(QStringList{LoadString(IDS_SOURCE_PICTURE_FILE)}, dialog.DeviceEntries());
    EXPECT_TRUE(dialog.IsPictureFileChosen());

    // The capture button asks for the picture first, then captures it.
    ChooseFile(Picture("cover.jpg", PictureFiles::Encoded(PictureFiles::Banded(800, 600), "jpeg")));
    QTest::mouseClick(dialog.CaptureButton(), Qt::LeftButton);
    const QString snapshot = dialog.snapshotPath();
    ASSERT_TRUE(QFileInfo::exists(snapshot));
    EXPECT_EQ(QStringLiteral("SnapShot.png"), QFileInfo(snapshot).fileName());
    EXPECT_EQ(QFileInfo(PrivateTempFolder::Path()).absolutePath(), QFileInfo(snapshot).absolutePath());
    const QImage saved(snapshot);
    ASSERT_EQ(QSize(380, 380), saved.size());
    EXPECT_EQ(0, qAlpha(saved.pixel(190, 190))) << "the centre hole of the mask";
    EXPECT_EQ(0, qAlpha(saved.pixel(2, 2))) << "outside the disc";
    const QColor side = saved.pixelColor(30, 190);
    EXPECT_EQ(255, side.alpha());
    EXPECT_GT(side.green(), 200) << "the picture's centred square, not its red band";
    EXPECT_LT(side.red(), 60);
    EXPECT_EQ(QSize(380, 380), dialog.Thumbnail()->Image().size());
}

TEST_F(SnapshotDlgTest, APictureCutShortOrTooLargeGivesAMessageAndChangesNothing)
{
    CSnapshotDlg dialog(nullptr, 0, nullptr);
    ModalSeam::QueueAnswer(IDOK);
    dialog.prepare();
    ASSERT_TRUE(dialog.CreateModeless());
    ModalSeam::TakeShown();

    const QByteArray png = PictureFiles::Encoded(PictureFiles::Banded(300, 300), "png");
    ModalSeam::QueueAnswer(IDOK);
    EXPECT_FALSE(dialog.UsePictureFile(Picture("cut.png", png.left(png.size() / 2))));
    ModalSeam::QueueAnswer(IDOK);
    EXPECT_FALSE(dialog.UsePictureFile(Picture("huge.png", PictureFiles::PngAnnouncing(30000, 30000))));

    const auto shown = ModalSeam::Shown();
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(UINT(IDS_MSG_PICTURE_UNREADABLE), shown[0].textId);
    // The message states the limits the picture broke.
    EXPECT_TRUE(shown[1].text.contains(QString::number(PictureFileReader::kMaxSide))) << shown[1].text.toStdString();
    EXPECT_TRUE(dialog.CurrentFrame().isNull());
    EXPECT_FALSE(dialog.Capture());
    EXPECT_FALSE(QFileInfo::exists(dialog.snapshotPath()));
}

TEST_F(SnapshotDlgTest, ACameraFrameFedThroughThePreviewIsCroppedMaskedAndSaved)
{
    cameras = {QStringLiteral("Front camera"), QStringLiteral("USB camera")};
    CSnapshotDlg dialog(nullptr, 0, nullptr);
    EXPECT_EQ(S_OK, dialog.prepare());
    ASSERT_TRUE(dialog.CreateModeless());
    EXPECT_TRUE(MessagesShown().empty());
    EXPECT_EQ(0, fake->previewing);
    EXPECT_EQ(QStringLiteral("EncorderSetting"), fake->settingsName);
    EXPECT_EQ(3, dialog.DeviceCombo()->GetCount());

    fake->Feed(PictureFiles::Banded(640, 480));
    const QImage preview = dialog.PreviewArea()->Image();
    ASSERT_EQ(QSize(536, 402), preview.size());
    const QColor side = preview.pixelColor(40, 201);
    EXPECT_GT(side.red(), 60) << "the frame's red side, dimmed by the mask";
    EXPECT_LT(side.red(), 200);
    EXPECT_LT(side.green(), 40);

    ASSERT_TRUE(dialog.Capture());
    const QImage saved(dialog.snapshotPath());
    ASSERT_EQ(QSize(380, 380), saved.size());
    EXPECT_EQ(qRgba(0, 255, 0, 255), saved.pixel(30, 190));
    EXPECT_EQ(qRgba(0, 255, 0, 255), saved.pixel(350, 190));
}

TEST_F(SnapshotDlgTest, DevicesArrivingAndLeavingAreListedAgainAndThePreviewRestarts)
{
    cameras = {QStringLiteral("Front camera"), QStringLiteral("USB camera")};
    CSnapshotDlg dialog(nullptr, 0, nullptr);
    ASSERT_EQ(S_OK, dialog.prepare());
    ASSERT_TRUE(dialog.CreateModeless());
    dialog.DeviceCombo()->SetCurSel(1);
    SendCommandToParent(dialog.DeviceCombo(), CBN_SELCHANGE);
    EXPECT_EQ(1, fake->previewing);

    fake->ChangeDevices({QStringLiteral("Document camera"), QStringLiteral("USB camera")});
    EXPECT_EQ((QStringList{"Document camera", "USB camera", LoadString(IDS_SOURCE_PICTURE_FILE)}), dialog.DeviceEntries());
    EXPECT_EQ(QStringLiteral("USB camera"), dialog.DeviceCombo()->currentText()) << "the chosen device stays chosen";
    EXPECT_EQ(1, fake->previewing);

    fake->ChangeDevices({});
    EXPECT_EQ(QStringList{LoadString(IDS_SOURCE_PICTURE_FILE)}, dialog.DeviceEntries());
    EXPECT_TRUE(dialog.IsPictureFileChosen());
}

TEST_F(SnapshotDlgTest, SettingsThatCannotBeUsedOrAPreviewThatFailsGiveMessage3259)
{
    cameras = {QStringLiteral("Front camera")};
    for (const bool settingsFail : {true, false}) {
        ModalSeam::Reset();
        CSnapshotDlg::SetCaptureFactory([&] {
            auto capture = std::make_unique<FakeVideoCapture>();
            capture->devices = cameras;
            (settingsFail ? capture->settingsResult : capture->startResult) = E_FAIL;
            return capture;
        });
        CSnapshotDlg dialog(nullptr, 0, nullptr);
        ASSERT_EQ(S_OK, dialog.prepare());
        ModalSeam::QueueAnswer(IDOK);
        ASSERT_TRUE(dialog.CreateModeless());
        EXPECT_EQ(std::vector<UINT>{IDS_MSG_PREVIEW_FAILED}, MessagesShown());
    }
}

TEST_F(SnapshotDlgTest, CancelDeletesTheSnapshotAndDoneKeepsIt)
{
    for (const int answer : {IDCANCEL, IDOK}) {
        CSnapshotDlg dialog(nullptr, 0, nullptr);
        if (answer == IDCANCEL) ModalSeam::QueueAnswer(IDOK); // no camera: told once
        dialog.prepare();
        const QString cover = Picture("cover.png", PictureFiles::Encoded(PictureFiles::Banded(400, 400), "png"));
        QString taken;
        ModalSeam::QueueAction([&](QDialog*) {
            EXPECT_TRUE(dialog.UsePictureFile(cover));
            EXPECT_TRUE(dialog.Capture());
            taken = dialog.snapshotPath();
            EXPECT_TRUE(QFileInfo::exists(taken));
            return answer;
        });
        EXPECT_EQ(answer, dialog.DoModal());
        EXPECT_EQ(answer == IDOK, QFileInfo::exists(taken));
    }
}

TEST_F(SnapshotDlgTest, TheThumbnailShowsAnEarlierCaptureElseTheDiscsLabel)
{
    UseFreshDatabase();
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    const QString red = WritePicture(folder, "red", 360, 0xFF0000);
    ASSERT_EQ(S_OK, engine->AddLabel(W(red), W(red), W(red)));
    LONG labelId = 0;
    ASSERT_EQ(S_OK, engine->GetLastLabelId(&labelId));

    CSnapshotDlg fromEngine(nullptr, labelId, engine.get());
    ModalSeam::QueueAnswer(IDOK);
    fromEngine.prepare();
    ASSERT_TRUE(fromEngine.CreateModeless());
    EXPECT_EQ(QColor(Qt::red), fromEngine.Thumbnail()->Image().pixelColor(10, 10));

    CSnapshotDlg fromEarlier(nullptr, labelId, engine.get());
    fromEarlier.setSourcePicture(WritePicture(folder, "blue", 360, 0x0000FF));
    fromEarlier.prepare(); // the missing camera was told once already
    EXPECT_EQ(std::vector<UINT>{IDS_MSG_NO_CAPTURE_DEVICE}, MessagesShown());
    ASSERT_TRUE(fromEarlier.CreateModeless());
    EXPECT_EQ(QColor(Qt::blue), fromEarlier.Thumbnail()->Image().pixelColor(10, 10));

    CSnapshotDlg none(nullptr, 0, engine.get());
    none.prepare();
    ASSERT_TRUE(none.CreateModeless());
    EXPECT_TRUE(none.Thumbnail()->Image().isNull());
}

} // namespace
