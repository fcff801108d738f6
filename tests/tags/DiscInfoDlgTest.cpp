#include "CDiscInfoDlg.h"

#include "CAlphaStatic.h"
#include "CGButton.h"
#include "CGStatic.h"
#include "CSnapshotDlg.h"
#include "DiscDetailsScreenshots.h"
#include "DiscInfoCommand.h"
#include "EngineTestSupport.h"
#include "FakeVideoCapture.h"
#include "LibrarySeed.h"
#include "ModalSeam.h"
#include "PictureFiles.h"
#include "PrivateTempFolder.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "TestEnvironment.h"
#include "WinMessage.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr UINT kDeleteTagMessage = WM_USER + 2000;

// A library with the category tags, two user tags, the default label sets
// and one disc tagged "Photo, Holiday" with a label of its own.
class DiscInfoDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ModalSeam::Reset();
        UseFreshDatabase();
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
        for (const char16_t* name : {u"Video", u"Photo", u"Music", u"Document", u"Holiday", u"Family"})
            ASSERT_EQ(S_OK, e()->AddTag(name, nullptr));
        ASSERT_EQ(5, LibrarySeed::EnsureDefaultLabels(e(), TestEnvironment::ProgramFolder()));
        folder = TestEnvironment::MakeFolder(QStringLiteral("discinfo"));
        const QString red = WritePicture(folder, "red.png", 360, 0xFF0000);
        ASSERT_EQ(S_OK, e()->AddLabel(W(red), W(red), W(red)));
        ASSERT_EQ(S_OK, e()->GetLastLabelId(&ownLabel));
        disc = AddTestDisc(e(), "Holiday 2024", "0123456789abcdef0123456789abcdef", TagId("Photo") + "::" + TagId("Holiday"));
        ASSERT_EQ(S_OK, e()->SetDiscLabelId(disc, ownLabel));
        CSnapshotDlg::SetCaptureFactory([] { return std::make_unique<FakeVideoCapture>(); });
    }
    void TearDown() override
    {
        CSnapshotDlg::SetCaptureFactory({});
        ModalSeam::Reset();
    }

    ILibraryEngine* e() const { return engine->get(); }
    QString TagId(const QString& name) const
    {
        for (const TagRecord& tag : Tags(e()))
            if (FromW(tag.name) == name) return QString::number(tag.id);
        return {};
    }
    DiscRecord Disc() const
    {
        for (const DiscRecord& record : Discs(e()))
            if (record.discId == disc) return record;
        return {};
    }
    DiscInfoInput Input() const
    {
        DiscInfoInput input;
        input.discId = disc;
        input.name = QStringLiteral("Holiday 2024");
        input.typeText = QStringLiteral("DVD-ROM, UDF 1.02");
        input.sizeText = QStringLiteral("4.37 GB");
        input.dateText = QStringLiteral("17/08/2024 10:20");
        input.labelId = Disc().labelId;
        input.tagIds = FromW(Disc().tagIds);
        return input;
    }
    std::unique_ptr<CDiscInfoDlg> Dialog(const DiscInfoInput& input) const
    {
        return std::make_unique<CDiscInfoDlg>(input.name, input.typeText, input.sizeText, input.dateText, input.labelId,
                                              input.tagIds, input.alternateRowLabel, input.newDiscForm ? 1 : 0, e());
    }
    static QStringList Texts(QWidget* dialog)
    {
        QStringList texts;
        for (const CAlphaStatic* text : dialog->findChildren<CAlphaStatic*>()) texts << text->text();
        return texts;
    }
    // Takes a label from a picture file inside the running disc information
    // dialog: no camera (message 3256, the first time only), the picture
    // chosen and captured.
    void QueueLabelFromPictureFile(const QString& picture)
    {
        if (!noCameraTold) ModalSeam::QueueAnswer(IDOK); // message 3256
        noCameraTold = true;
        ModalSeam::QueueAction([picture](QDialog* window) {
            auto* snapshot = qobject_cast<CSnapshotDlg*>(window);
            if (!snapshot || !snapshot->UsePictureFile(picture) || !snapshot->Capture()) return int(IDCANCEL);
            return int(IDOK);
        });
    }
    QString Cover(const QString& name)
    {
        const QString path = folder + "/" + name;
        EXPECT_TRUE(DiscDetailsScreenshots::Cover(800, 800).save(path));
        return path;
    }

    std::unique_ptr<EngineInstance> engine;
    QString folder;
    LONG ownLabel = 0;
    int disc = 0;
    bool noCameraTold = false;
};

TEST_F(DiscInfoDlgTest, EnterAtOnceFinishesWithImportOrOkInBothForms)
{
    for (bool newDisc : {true, false}) {
        DiscInfoInput input = Input();
        input.newDiscForm = newDisc;
        const auto dialog = Dialog(input);
        const size_t shownBefore = ModalSeam::Shown().size();
        ModalSeam::QueueAction([](QDialog*) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            return ModalSeam::kWindowDecides;
        });
        // Whatever a wrongly focused button would open is answered, not waited for.
        ModalSeam::QueueAnswer(IDCANCEL);
        ModalSeam::QueueAnswer(IDCANCEL);
        EXPECT_EQ(IDOK, dialog->DoModal()) << newDisc;
        EXPECT_EQ(shownBefore + 1, ModalSeam::Shown().size()) << "only the details dialog was shown";
        ModalSeam::Reset();
    }
}

TEST_F(DiscInfoDlgTest, ShowsTheDiscsValuesTagsAndLabelInBothForms)
{
    auto dialog = Dialog(Input());
    ASSERT_TRUE(dialog->CreateModeless());
    const QStringList texts = Texts(dialog.get());
    for (const QString& value : {"Holiday 2024", "DVD-ROM, UDF 1.02", "4.37 GB", "17/08/2024 10:20"})
        EXPECT_TRUE(texts.contains(value)) << value.toStdString();
    EXPECT_TRUE(texts.contains(LoadString(IDS_LABEL_DATE)));
    EXPECT_EQ(QStringLiteral("Photo, Holiday"), dialog->TagsValue()->Text());
    EXPECT_EQ(QSize(116, 116), dialog->LabelBitmap().size());
    EXPECT_EQ(QColor(Qt::red), dialog->LabelBitmap().pixelColor(58, 58));
    EXPECT_EQ(LoadString(IDS_BTN_OK), dialog->BottomButton(IDOK)->text());
    EXPECT_EQ(LoadString(IDS_BTN_CANCEL), dialog->BottomButton(IDCANCEL)->text());

    DiscInfoInput fresh = Input();
    fresh.newDiscForm = true;
    fresh.alternateRowLabel = true;
    fresh.labelId = 0;
    fresh.tagIds.clear();
    auto newDisc = Dialog(fresh);
    ASSERT_TRUE(newDisc->CreateModeless());
    EXPECT_EQ(LoadString(IDS_BTN_IMPORT), newDisc->BottomButton(IDOK)->text());
    EXPECT_TRUE(Texts(newDisc.get()).contains(LoadString(IDS_LABEL_DATE_ALTERNATE)));
    EXPECT_TRUE(newDisc->LabelBitmap().isNull()) << "the cover picture stays";
    EXPECT_TRUE(newDisc->TagsValue()->Text().isEmpty());
}

TEST_F(DiscInfoDlgTest, ALongTagListIsShortenedAndItsTooltipHoldsAllOfIt)
{
    QStringList ids{TagId("Video"), TagId("Photo"), TagId("Music"), TagId("Document"), TagId("Holiday"), TagId("Family")};
    DiscInfoInput input = Input();
    input.tagIds = ids.join("::");
    auto dialog = Dialog(input);
    ASSERT_TRUE(dialog->CreateModeless());
    const QString full = QStringLiteral("Video, Photo, Music, Document, Holiday, Family");
    EXPECT_EQ(full, dialog->TagsValue()->toolTip());
    const QString shown = dialog->TagsValue()->Text();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(QFontMetrics(dialog->TagsValue()->font()).horizontalAdvance(shown), dialog->TagsValue()->width() - 6);
}

TEST_F(DiscInfoDlgTest, DeletingATagAndCancellingTheTagDialogStillTakesTheTagOffTheDisc)
{
    auto dialog = Dialog(Input());
    ASSERT_TRUE(dialog->CreateModeless());
    ModalSeam::QueueAction([](QDialog* tags) {
        SendMessage(tags, kDeleteTagMessage, 4, 0); // "Holiday", row 4
        return int(IDCANCEL);
    });
    ModalSeam::QueueAnswer(IDYES); // the delete question
    QTest::mouseClick(dialog->TagsButton(), Qt::LeftButton);
    EXPECT_EQ(0u, ModalSeam::PendingAnswers());
    EXPECT_TRUE(dialog->TagsDeleted());
    EXPECT_EQ(TagId("Photo"), dialog->TagIds());
    EXPECT_EQ(QStringLiteral("Photo"), dialog->TagNames());
    EXPECT_EQ(QStringLiteral("Photo"), dialog->TagsValue()->Text());

    // Cancelling without a delete changes nothing.
    ModalSeam::QueueAnswer(IDCANCEL);
    dialog->EditTags();
    EXPECT_EQ(TagId("Photo"), dialog->TagIds());
}

TEST_F(DiscInfoDlgTest, ALabelFromAPictureFileIsStoredInThreeSizesAndReplacesTheDiscsOwnSet)
{
    // A file row of the disc, to see the label reach the files too.
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch({EntryRow({1, "beach.jpg", 10, "JPEG", 0, disc, int(ownLabel), 0, 0})})), 1));
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));

    QString small, medium, large;
    ModalSeam::QueueAction([&](QDialog* window) {
        auto* info = qobject_cast<CDiscInfoDlg*>(window);
        info->CaptureLabel();
        small = info->SmallLabelPath();
        medium = info->MediumLabelPath();
        large = info->LargeLabelPath();
        return int(IDOK);
    });
    QueueLabelFromPictureFile(Cover("cover.png"));
    const DiscInfoOutcome outcome = DiscInfoCommand::Run(nullptr, e(), Input());
    ASSERT_TRUE(outcome.accepted);
    ASSERT_TRUE(outcome.HasNewLabel());
    EXPECT_EQ(small, outcome.label32Path);
    const std::pair<QString, int> files[] = {{small, 32}, {medium, 128}, {large, 360}};
    for (const auto& [path, size] : files) {
        EXPECT_EQ(QSize(size, size), QImage(path).size()) << path.toStdString();
        EXPECT_EQ(QFileInfo(PrivateTempFolder::Path()).absolutePath(), QFileInfo(path).absolutePath());
    }
    EXPECT_TRUE(QFileInfo(small).fileName() == "SnapShot_S.png");
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(small).absolutePath() + "/SnapShot.png")) << "the snapshot is used up";

    ASSERT_EQ(S_OK, DiscInfoCommand::Store(e(), disc, ownLabel, outcome));
    LONG newLabel = 0;
    ASSERT_EQ(S_OK, e()->GetLastLabelId(&newLabel));
    EXPECT_GT(newLabel, ownLabel);
    EXPECT_EQ(newLabel, Disc().labelId);
    const auto found = FoundFiles(e(), "beach");
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(newLabel, found[0].labelId);
    QImage* old = nullptr;
    EXPECT_TRUE(FAILED(e()->GetLabelImage(ownLabel, &old)) || !old) << "the replaced own set is deleted";
    delete old;
    for (const auto& [path, size] : files) EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(DiscInfoDlgTest, ADefaultLabelSetIsNeverDeletedWhenReplaced)
{
    for (const LONG defaultSet : {LONG(1), LONG(3), LONG(5)}) {
        ASSERT_EQ(S_OK, e()->SetDiscLabelId(disc, defaultSet));
        ModalSeam::QueueAction([](QDialog* window) {
            qobject_cast<CDiscInfoDlg*>(window)->CaptureLabel();
            return int(IDOK);
        });
        QueueLabelFromPictureFile(Cover("cover.jpg"));
        const DiscInfoOutcome outcome = DiscInfoCommand::Run(nullptr, e(), Input());
        ASSERT_TRUE(outcome.HasNewLabel());
        ASSERT_EQ(S_OK, DiscInfoCommand::Store(e(), disc, defaultSet, outcome));
        QImage* kept = nullptr;
        EXPECT_EQ(S_OK, e()->GetLabelImage(defaultSet, &kept)) << defaultSet;
        delete kept;
        EXPECT_NE(defaultSet, Disc().labelId);
    }
}

TEST_F(DiscInfoDlgTest, CancelRemovesTheLabelFilesAndTheirFolder)
{
    QString large, tempFolder;
    ModalSeam::QueueAction([&](QDialog* window) {
        auto* info = qobject_cast<CDiscInfoDlg*>(window);
        info->CaptureLabel();
        large = info->LargeLabelPath();
        tempFolder = info->TempFolder();
        return int(IDCANCEL);
    });
    QueueLabelFromPictureFile(Cover("cover.bmp"));
    const DiscInfoOutcome outcome = DiscInfoCommand::Run(nullptr, e(), Input());
    EXPECT_FALSE(outcome.accepted);
    ASSERT_FALSE(large.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(large));
    EXPECT_FALSE(QFileInfo::exists(tempFolder));
    EXPECT_FALSE(outcome.HasNewLabel());
    EXPECT_EQ(ownLabel, Disc().labelId);
}

TEST_F(DiscInfoDlgTest, CapturingTwiceShowsTheFirstCaptureToTheSnapshotDialog)
{
    auto dialog = Dialog(Input());
    ASSERT_TRUE(dialog->CreateModeless());
    QueueLabelFromPictureFile(Cover("first.png"));
    dialog->CaptureLabel();
    const QString firstLarge = dialog->LargeLabelPath();
    ASSERT_TRUE(QFileInfo::exists(firstLarge));

    QImage thumbnail;
    ModalSeam::QueueAction([&](QDialog* window) {
        thumbnail = qobject_cast<CSnapshotDlg*>(window)->Thumbnail()->Image();
        return int(IDCANCEL);
    });
    dialog->CaptureLabel();
    EXPECT_EQ(QImage(firstLarge).convertToFormat(QImage::Format_ARGB32), thumbnail.convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(firstLarge, dialog->LargeLabelPath()) << "a cancelled snapshot changes nothing";
    ModalSeam::QueueAnswer(IDCANCEL);
    dialog->DoModal();
}

TEST_F(DiscInfoDlgTest, AnUnreadablePictureChangesNothing)
{
    auto dialog = Dialog(Input());
    ASSERT_TRUE(dialog->CreateModeless());
    const QByteArray jpeg = PictureFiles::Encoded(PictureFiles::Banded(400, 400), "jpeg");
    ModalSeam::QueueAnswer(IDOK); // message 3256
    ModalSeam::QueueAction([&](QDialog* window) {
        auto* snapshot = qobject_cast<CSnapshotDlg*>(window);
        ModalSeam::QueueAnswer(IDOK); // the picture's message
        snapshot->UsePictureFile(PictureFiles::Write(folder + "/cut.jpg", jpeg.left(jpeg.size() / 2)));
        snapshot->Capture();
        return int(IDOK);
    });
    const QImage before = dialog->LabelBitmap();
    dialog->CaptureLabel();
    EXPECT_TRUE(dialog->LargeLabelPath().isEmpty());
    EXPECT_EQ(before, dialog->LabelBitmap());
}

} // namespace
